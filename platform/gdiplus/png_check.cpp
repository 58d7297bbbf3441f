#include "platform/gdiplus/gp_image.h"

namespace platform::gdiplus {

bool PngChunksFit(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t SIGNATURE = 8;
    constexpr std::size_t FRAME = 12; // length, type and CRC around each chunk's data
    std::size_t at = SIGNATURE;
    while (at < size) {
        if (size - at < FRAME) {
            return false;
        }
        const std::size_t length = (std::size_t{data[at]} << 24) |
                                   (std::size_t{data[at + 1]} << 16) |
                                   (std::size_t{data[at + 2]} << 8) | data[at + 3];
        if (length > size - at - FRAME) {
            return false;
        }
        const bool end = data[at + 4] == 'I' && data[at + 5] == 'E' && data[at + 6] == 'N' &&
                         data[at + 7] == 'D';
        at += FRAME + length;
        if (end) {
            return true;
        }
    }
    return true; // no end chunk: the decoder decides
}

} // namespace platform::gdiplus
