#include "runtime/text_convert.h"

#include <cstring>

namespace {

constexpr wchar_t REPLACEMENT = 0xFFFD;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes one character at text; *length receives the bytes it took (at least 1).
char32_t DecodeOne(const unsigned char* text, int* length) {
    unsigned char c = text[0];
    int need = 0;
    char32_t value = 0;
    if (c < 0x80) {
        *length = 1;
        return c;
    } else if (c >= 0xC2 && c <= 0xDF) {
        need = 1;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 2;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 3;
        value = c & 0x07;
    } else {
        *length = 1;
        return REPLACEMENT;
    }
    for (int i = 1; i <= need; ++i) {
        if (!IsContinuation(text[i])) {
            *length = i;
            return REPLACEMENT;
        }
        value = (value << 6) | (text[i] & 0x3F);
    }
    *length = need + 1;
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr char32_t SMALLEST[] = {0, 0x80, 0x800, 0x10000};
    if (value < SMALLEST[need] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        return REPLACEMENT;
    }
    return value;
}

int EncodeOne(char32_t c, char* out) {
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
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

} // namespace

int Utf8ToWide(const char* text, wchar_t* out, int capacity) {
    if (!out || capacity <= 0) {
        return 0;
    }
    int count = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*p && count < capacity - 1) {
        int length = 1;
        out[count++] = static_cast<wchar_t>(DecodeOne(p, &length));
        p += length;
    }
    out[count] = L'\0';
    return count;
}

int WideToUtf8(const wchar_t* text, char* out, int capacity) {
    if (!out || capacity <= 0) {
        return 0;
    }
    int used = 0;
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        char32_t c = static_cast<char32_t>(*p);
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = REPLACEMENT;
        }
        char bytes[4];
        int length = EncodeOne(c, bytes);
        if (used + length > capacity - 1) {
            break;
        }
        std::memcpy(out + used, bytes, static_cast<std::size_t>(length));
        used += length;
    }
    out[used] = '\0';
    return used;
}

std::size_t Utf8PrefixLength(const char* text, std::size_t maxBytes) {
    if (!text) {
        return 0;
    }
    std::size_t length = std::strlen(text);
    if (length <= maxBytes) {
        return length;
    }
    // Back up over the continuation bytes of a character cut by the limit; a character has
    // at most three, so stray continuation bytes beyond that are cut like single bytes.
    std::size_t cut = maxBytes;
    for (int i = 0; i < 3 && cut > 0; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[cut]))) {
            return cut;
        }
        --cut;
    }
    return IsContinuation(static_cast<unsigned char>(text[cut])) ? maxBytes : cut;
}
