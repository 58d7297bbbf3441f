// Paths cross between the framework's narrow strings (UTF-8) and the platform's wide ones.
#pragma once

#include "platform/win32_types.h"

// Converts text into out (capacity units with the terminator). False, with out empty, when the
// text does not fit: a cut path would name another file.
bool PathToWide(const char* text, WCHAR* out, int capacity);
bool PathToNarrow(const WCHAR* text, char* out, int capacity);
