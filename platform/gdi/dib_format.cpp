#include "platform/gdi/dib_format.h"

#include <bit>
#include <cstring>
#include <limits>

namespace platform::gdi {

namespace {

constexpr int MAX_SIDE = 1 << 20;
constexpr std::uint64_t MAX_IMAGE_BYTES = std::uint64_t{1} << 31;
constexpr std::size_t CORE_SIZE = 12;
constexpr std::size_t INFO_SIZE = 40;
constexpr std::size_t V5_SIZE = 124;

template <typename T>
T Load(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

bool MaskUsable(std::uint32_t mask, int bitCount) {
    if (mask == 0 || (bitCount < 32 && (mask >> bitCount) != 0)) {
        return false;
    }
    const std::uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0; // one run of set bits
}

std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) {
        return v >> (bits - 8);
    }
    return v * 255 / ((1u << bits) - 1);
}

} // namespace

bool ParseDibHeader(const void* info, std::size_t available, DibLayout* layout) {
    if (!info || available < 4) {
        return false;
    }
    const auto* p = static_cast<const std::uint8_t*>(info);
    const std::uint32_t headerSize = Load<std::uint32_t>(p);
    DibLayout l;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    std::uint32_t sizeImage = 0;
    std::int64_t height = 0;
    std::size_t tableOffset = headerSize;
    if (headerSize == CORE_SIZE) {
        if (available < CORE_SIZE) {
            return false;
        }
        BITMAPCOREHEADER h;
        std::memcpy(&h, p, sizeof h);
        if (h.bcPlanes != 1) {
            return false;
        }
        l.width = h.bcWidth;
        height = h.bcHeight;
        l.bitCount = h.bcBitCount;
        l.colorEntrySize = 3;
        if (l.bitCount != 1 && l.bitCount != 4 && l.bitCount != 8 && l.bitCount != 24) {
            return false;
        }
    } else if (headerSize >= INFO_SIZE && headerSize <= V5_SIZE) {
        if (available < headerSize) {
            return false;
        }
        BITMAPINFOHEADER h;
        std::memcpy(&h, p, sizeof h);
        if (h.biPlanes != 1) {
            return false;
        }
        l.width = h.biWidth;
        height = h.biHeight;
        l.bitCount = h.biBitCount;
        compression = h.biCompression;
        colorsUsed = h.biClrUsed;
        sizeImage = h.biSizeImage;
        if (l.bitCount != 1 && l.bitCount != 4 && l.bitCount != 8 && l.bitCount != 16 &&
            l.bitCount != 24 && l.bitCount != 32) {
            return false;
        }
        if (compression == BI_BITFIELDS) {
            if (l.bitCount != 16 && l.bitCount != 32) {
                return false;
            }
            // Masks follow a plain info header; later versions carry them inside.
            const std::size_t maskOffset = INFO_SIZE;
            if (headerSize == INFO_SIZE) {
                tableOffset += 12;
                if (available < tableOffset) {
                    return false;
                }
            } else if (headerSize < INFO_SIZE + 12) {
                return false;
            }
            for (int i = 0; i < 3; ++i) {
                l.masks[i] = Load<std::uint32_t>(p + maskOffset + 4 * i);
                if (!MaskUsable(l.masks[i], l.bitCount)) {
                    return false;
                }
            }
        } else if (compression != BI_RGB) {
            return false; // compressed rows are not supported
        }
    } else {
        return false;
    }
    if (compression == BI_RGB && l.bitCount == 16) {
        l.masks[0] = 0x7C00;
        l.masks[1] = 0x03E0;
        l.masks[2] = 0x001F;
    } else if (compression == BI_RGB && l.bitCount == 32) {
        l.masks[0] = 0x00FF0000;
        l.masks[1] = 0x0000FF00;
        l.masks[2] = 0x000000FF;
    }
    if (height == std::numeric_limits<std::int32_t>::min() || height == 0 || l.width <= 0 ||
        l.width > MAX_SIDE) {
        return false;
    }
    l.topDown = height < 0;
    if (l.topDown) {
        height = -height;
    }
    if (height > MAX_SIDE) {
        return false;
    }
    l.height = static_cast<int>(height);
    // Palette-less formats may still carry a table (to help palette devices); it is skipped.
    std::uint64_t entries = colorsUsed;
    if (l.bitCount <= 8) {
        const std::uint32_t full = 1u << l.bitCount;
        if (entries > full) {
            return false;
        }
        if (entries == 0) {
            entries = full;
        }
    } else if (entries > 256) {
        return false;
    }
    l.colorCount = l.bitCount <= 8 ? static_cast<int>(entries) : 0;
    l.tableOffset = tableOffset;
    const std::uint64_t tableEnd = tableOffset + entries * l.colorEntrySize;
    if (tableEnd > available) {
        return false;
    }
    l.colors = l.colorCount > 0 ? p + tableOffset : nullptr;
    const std::uint64_t stride =
        (std::uint64_t{static_cast<std::uint32_t>(l.width)} * l.bitCount + 31) / 32 * 4;
    const std::uint64_t image = stride * l.height;
    // Without a known block size, a declared image size too small for the rows means the
    // caller's data is short.
    const bool sizeUnknown = available == std::numeric_limits<std::size_t>::max();
    if (image > MAX_IMAGE_BYTES || (sizeUnknown && sizeImage != 0 && sizeImage < image)) {
        return false;
    }
    l.stride = static_cast<std::size_t>(stride);
    l.imageBytes = static_cast<std::size_t>(image);
    l.pixelOffset = static_cast<std::size_t>(tableEnd);
    *layout = l;
    return true;
}

bool ParsePackedDib(const void* data, std::size_t size, DibLayout* layout,
                    const std::uint8_t** pixels) {
    DibLayout l;
    if (!ParseDibHeader(data, size, &l) || l.pixelOffset > size ||
        size - l.pixelOffset < l.imageBytes) {
        return false;
    }
    *layout = l;
    *pixels = static_cast<const std::uint8_t*>(data) + l.pixelOffset;
    return true;
}

std::uint32_t DibColor(const DibLayout& layout, int i) {
    if (!layout.colors || i < 0 || i >= layout.colorCount) {
        return 0;
    }
    const std::uint8_t* e = layout.colors + static_cast<std::size_t>(i) * layout.colorEntrySize;
    return (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
}

void ReadDibRow(const DibLayout& layout, const std::uint8_t* pixels, int y, int count,
                std::uint32_t* out) {
    const int storedRow = layout.topDown ? y : layout.height - 1 - y;
    const std::uint8_t* row = pixels + static_cast<std::size_t>(storedRow) * layout.stride;
    switch (layout.bitCount) {
    case 1:
    case 4:
    case 8: {
        const int bits = layout.bitCount;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < count; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            out[x] = DibColor(layout, (row[x / perByte] >> shift) & mask);
        }
        break;
    }
    case 16:
        for (int x = 0; x < count; ++x) {
            const std::uint32_t v = Load<std::uint16_t>(row + 2 * x);
            out[x] = (Channel(v, layout.masks[0]) << 16) | (Channel(v, layout.masks[1]) << 8) |
                     Channel(v, layout.masks[2]);
        }
        break;
    case 24:
        for (int x = 0; x < count; ++x) {
            const std::uint8_t* px = row + 3 * x;
            out[x] = (std::uint32_t{px[2]} << 16) | (std::uint32_t{px[1]} << 8) | px[0];
        }
        break;
    default:
        for (int x = 0; x < count; ++x) {
            const std::uint32_t v = Load<std::uint32_t>(row + 4 * x);
            out[x] = (Channel(v, layout.masks[0]) << 16) | (Channel(v, layout.masks[1]) << 8) |
                     Channel(v, layout.masks[2]);
        }
        break;
    }
}

} // namespace platform::gdi
