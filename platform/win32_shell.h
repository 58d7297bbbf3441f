// Shell and common-dialog subset: dropped files, the command line, the file dialogs, the
// clipboard and global memory blocks.
#pragma once

#include "platform/win32_types.h"
