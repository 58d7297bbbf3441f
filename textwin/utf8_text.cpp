#include "textwin/utf8_text.h"

#include <cstdint>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

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
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes one character at text (not at its terminator); *used gets the bytes consumed.
char32_t DecodeOne(const unsigned char* text, int* used) {
    const int length = SequenceLength(text[0]);
    if (length == 0) {
        *used = 1;
        return REPLACEMENT;
    }
    if (length == 1) {
        *used = 1;
        return text[0];
    }
    char32_t c = text[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (!IsContinuation(text[i])) {
            // A truncated sequence: the bytes before the interruption become one U+FFFD.
            *used = i;
            return REPLACEMENT;
        }
        c = (c << 6) | (text[i] & 0x3F);
    }
    *used = length;
    // Overlong three- and four-byte forms, surrogates and values past U+10FFFF.
    if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000) || c > 0x10FFFF ||
        (c >= 0xD800 && c <= 0xDFFF)) {
        return REPLACEMENT;
    }
    return c;
}

} // namespace

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

int DecodeUtf8(const char* text, wchar_t* out, int capacity) {
    if (capacity <= 0) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int count = 0;
    while (*bytes != 0 && count < capacity - 1) {
        int used = 1;
        out[count++] = static_cast<wchar_t>(DecodeOne(bytes, &used));
        bytes += used;
    }
    out[count] = 0;
    return count;
}

int EncodeUtf8(const wchar_t* text, int count, char* out, int size) {
    if (size <= 0) {
        return 0;
    }
    int length = 0;
    for (int i = 0; i < count; ++i) {
        auto c = static_cast<std::uint32_t>(text[i]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = REPLACEMENT;
        }
        unsigned char bytes[4];
        int n;
        if (c < 0x80) {
            bytes[0] = static_cast<unsigned char>(c);
            n = 1;
        } else if (c < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            n = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            n = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            n = 4;
        }
        if (length + n > size - 1) {
            break;
        }
        for (int k = 0; k < n; ++k) {
            out[length++] = static_cast<char>(bytes[k]);
        }
    }
    out[length] = 0;
    return length;
}
