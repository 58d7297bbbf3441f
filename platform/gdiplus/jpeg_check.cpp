#include "platform/gdiplus/gp_image.h"

namespace platform::gdiplus {

bool JpegLooksComplete(const std::uint8_t* data, std::size_t size) {
    // Entropy-coded data stuffs every 0xFF with 0x00, so marker pairs found by a plain scan
    // are real markers (apart from odd bytes inside metadata, which come before the scan).
    std::size_t lastScan = 0, lastEnd = 0;
    bool scan = false, end = false;
    for (std::size_t i = 0; i + 1 < size; ++i) {
        if (data[i] != 0xFF) {
            continue;
        }
        if (data[i + 1] == 0xDA) {
            lastScan = i;
            scan = true;
        } else if (data[i + 1] == 0xD9) {
            lastEnd = i;
            end = true;
        }
    }
    return scan && end && lastEnd > lastScan;
}

} // namespace platform::gdiplus
