// UTF-8 and wide-string conversions used inside the platform layer (wchar_t is UTF-32 here).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Invalid or truncated UTF-8 sequences become U+FFFD; nothing is dropped silently.
std::wstring Utf8ToWide(std::string_view text);
// Surrogates and values past U+10FFFF become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
// Length of a wide string that may be null.
std::wstring SafeWide(const wchar_t* text);

} // namespace platform
