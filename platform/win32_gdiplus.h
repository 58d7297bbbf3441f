// GDI+ flat API subset: loading, drawing and saving images.
#pragma once

#include "platform/win32_types.h"
