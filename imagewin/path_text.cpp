#include "imagewin/path_text.h"

#include "runtime/text_convert.h"

bool PathToWide(const char* text, WCHAR* out, int capacity) {
    return Utf8ToWideIfFits(text, out, capacity);
}

bool PathToNarrow(const WCHAR* text, char* out, int capacity) {
    return WideToUtf8IfFits(text, out, capacity);
}
