#include "runtime/text_convert.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr wchar_t REPLACEMENT = 0xFFFD;

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the sequence a lead byte starts; 0 for a byte that cannot start one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// Decodes one character at text; *length receives the bytes it took (at least 1).
char32_t DecodeOne(const unsigned char* text, int* length) {
    const int sequence = SequenceLength(text[0]);
    *length = 1;
    if (sequence <= 1) {
        return sequence == 1 ? text[0] : REPLACEMENT;
    }
    const int need = sequence - 1;
    char32_t value = text[0] & (0x7F >> sequence);
    for (int i = 1; i <= need; ++i) {
        if (!IsContinuation(text[i])) {
            // The bytes before the interruption become one U+FFFD.
            *length = i;
            return REPLACEMENT;
        }
        value = (value << 6) | (text[i] & 0x3F);
    }
    *length = sequence;
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr char32_t SMALLEST[] = {0, 0x80, 0x800, 0x10000};
    if (value < SMALLEST[need] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
        return REPLACEMENT;
    }
    return value;
}

int EncodeOne(char32_t c, char* out) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        c = REPLACEMENT;
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
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// Decodes text into out while it fits with a terminator; returns the characters written and
// leaves *rest at the first byte not decoded.
int Decode(const char* text, wchar_t* out, int capacity, const unsigned char** rest) {
    int count = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*p && count < capacity - 1) {
        int length = 1;
        out[count++] = static_cast<wchar_t>(DecodeOne(p, &length));
        p += length;
    }
    out[count] = L'\0';
    *rest = p;
    return count;
}

// Encodes the first count characters of text while they fit whole with a terminator; returns
// the bytes written and sets *all when every character went in.
int Encode(const wchar_t* text, int count, char* out, int capacity, bool* all) {
    int used = 0;
    int i = 0;
    for (; i < count; ++i) {
        char bytes[4];
        const int length = EncodeOne(static_cast<char32_t>(text[i]), bytes);
        if (used + length > capacity - 1) {
            break;
        }
        std::memcpy(out + used, bytes, static_cast<std::size_t>(length));
        used += length;
    }
    out[used] = '\0';
    *all = i == count;
    return used;
}

int Length(const wchar_t* text) {
    return text ? static_cast<int>(std::wcslen(text)) : 0;
}

} // namespace

char32_t Utf8DecodeOne(const char* text, int* length) {
    return DecodeOne(reinterpret_cast<const unsigned char*>(text), length);
}

int Utf8ToWide(const char* text, wchar_t* out, int capacity) {
    if (!out || capacity <= 0) {
        return 0;
    }
    const unsigned char* rest = nullptr;
    return Decode(text, out, capacity, &rest);
}

int WideToUtf8(const wchar_t* text, char* out, int capacity) {
    return WideCharsToUtf8(text, Length(text), out, capacity);
}

int WideCharsToUtf8(const wchar_t* text, int count, char* out, int capacity) {
    if (!out || capacity <= 0) {
        return 0;
    }
    bool all = false;
    return Encode(text, text ? count : 0, out, capacity, &all);
}

bool Utf8ToWideIfFits(const char* text, wchar_t* out, int capacity) {
    if (!out || capacity <= 0) {
        return false;
    }
    const unsigned char* rest = nullptr;
    Decode(text, out, capacity, &rest);
    if (!text || *rest != 0) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

bool WideToUtf8IfFits(const wchar_t* text, char* out, int capacity) {
    if (!out || capacity <= 0) {
        return false;
    }
    bool all = false;
    Encode(text, Length(text), out, capacity, &all);
    if (!text || !all) {
        out[0] = '\0';
        return false;
    }
    return true;
}

int Utf8CharBoundary(const char* text, int length) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    // Step back over at most three continuation bytes to the sequence's lead byte.
    int lead = length;
    while (lead > 0 && length - lead < 4 && IsContinuation(bytes[lead - 1])) {
        --lead;
    }
    if (lead == 0 || length - lead >= 4) {
        return length; // no lead byte close enough: invalid bytes, kept as they are
    }
    const int needed = SequenceLength(bytes[lead - 1]);
    const int present = length - lead + 1;
    return needed > present ? lead - 1 : length;
}

std::size_t Utf8PrefixLength(const char* text, std::size_t maxBytes) {
    if (!text) {
        return 0;
    }
    const std::size_t length = std::strlen(text);
    if (length <= maxBytes) {
        return length;
    }
    return static_cast<std::size_t>(Utf8CharBoundary(text, static_cast<int>(maxBytes)));
}
