#include "imagewin/path_text.h"

#include <cstdint>
#include <cstring>

namespace {

// Decodes one UTF-8 sequence at text; malformed bytes read as U+FFFD, one byte each.
char32_t Decode(const unsigned char* text, int* length) {
    const unsigned char c = text[0];
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0) {
        *length = 1;
        return 0xFFFD;
    }
    char32_t value = n == 1 ? c : c & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
        if ((text[i] & 0xC0) != 0x80) {
            *length = 1;
            return 0xFFFD;
        }
        value = (value << 6) | (text[i] & 0x3F);
    }
    *length = n;
    return value;
}

int Encode(char32_t c, char* out) {
    if (c >= 0xD800 && c <= 0xDFFF) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    if (c > 0x10FFFF) {
        return Encode(0xFFFD, out);
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

} // namespace

bool PathToWide(const char* text, WCHAR* out, int capacity) {
    if (capacity <= 0) {
        return false;
    }
    out[0] = 0;
    if (text == nullptr) {
        return false;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    int written = 0;
    while (*p != 0) {
        if (written + 1 >= capacity) {
            out[0] = 0;
            return false;
        }
        int length = 1;
        out[written++] = static_cast<WCHAR>(Decode(p, &length));
        p += length;
    }
    out[written] = 0;
    return true;
}

bool PathToNarrow(const WCHAR* text, char* out, int capacity) {
    if (capacity <= 0) {
        return false;
    }
    out[0] = 0;
    if (text == nullptr) {
        return false;
    }
    int written = 0;
    for (; *text != 0; ++text) {
        char bytes[4];
        const int n = Encode(static_cast<char32_t>(*text), bytes);
        if (written + n >= capacity) {
            out[0] = 0;
            return false;
        }
        std::memcpy(out + written, bytes, static_cast<std::size_t>(n));
        written += n;
    }
    out[written] = 0;
    return true;
}
