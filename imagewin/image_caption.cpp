// Caption formatting of image windows.
#include "imagewin/image_caption.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int STRETCH_HALFTONE = 4;

// Narrow strings are UTF-8: a cut must not split a multi-byte sequence, or the conversion to
// the window's wide text would end in a broken character.
std::size_t CharacterBoundary(const char* text, std::size_t length) {
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    return length;
}

} // namespace

void FormatImageCaption(char (&caption)[IMAGE_CAPTION_BYTES], const char* title, int zoom, int bits,
                        int stretchMode) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "(%d%%)%s%s", zoom, bits == 8 ? "[8bit]" : "",
                  stretchMode == STRETCH_HALFTONE ? "*" : "");
    const std::size_t suffixLength = std::strlen(suffix);
    const std::size_t room = IMAGE_CAPTION_BYTES - 1 - suffixLength;

    if (title == nullptr) {
        title = "";
    }
    std::size_t titleLength = strnlen(title, room + 1);
    if (titleLength > room) {
        titleLength = CharacterBoundary(title, room);
    }
    std::memcpy(caption, title, titleLength);
    std::memcpy(caption + titleLength, suffix, suffixLength + 1);
}
