#include "platform/gdiplus/gp_image.h"

namespace platform::gdiplus {
namespace {

std::uint32_t Word32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

} // namespace

bool BmpRowsFit(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t FILE_HEADER = 14;
    constexpr std::uint32_t BI_RGB_ROWS = 0, BI_BITFIELDS_ROWS = 3;
    if (size < FILE_HEADER + 40 || Word32(data + FILE_HEADER) < 40) {
        return true; // core headers and short files: the decoder decides
    }
    const std::uint64_t pixels = Word32(data + 10);
    const auto width = static_cast<std::int32_t>(Word32(data + 18));
    const auto height = static_cast<std::int32_t>(Word32(data + 22));
    const std::uint32_t bits = data[28] | data[29] << 8;
    const std::uint32_t compression = Word32(data + 30);
    if (width <= 0 || height == 0 || height == INT32_MIN || bits == 0 || bits > 32 ||
        (compression != BI_RGB_ROWS && compression != BI_BITFIELDS_ROWS)) {
        return true; // refused by the decoder, or run-length rows it bounds itself
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    return pixels + stride * rows <= size;
}

} // namespace platform::gdiplus
