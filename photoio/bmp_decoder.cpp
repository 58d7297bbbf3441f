// BMP files, icons and packed DIBs: uncompressed 1/4/8/16/24/32-bit pixels, bit-field masks,
// and RLE4/RLE8. Every row read is checked against the data's end, so a short file is refused.
#include "photoio/photo_decoders.h"
#include "photoio/photo_limits.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t RGB_PLAIN = 0, RLE8 = 1, RLE4 = 2, BITFIELDS = 3;

std::uint32_t U16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}
std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Dib {
    std::int64_t width = 0, height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = RGB_PLAIN;
    std::uint32_t masks[3] = {};
    std::uint32_t colours[256] = {}; // 0x00RRGGBB
    int colourCount = 0;
};

std::uint8_t Channel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    return static_cast<std::uint8_t>(((value & mask) >> shift) * 255 / max);
}

void Put(Photo* photo, std::int64_t x, std::int64_t y, std::uint32_t rgb) {
    std::uint8_t* to = photo->rgb.data() + (static_cast<std::size_t>(y) * photo->width + x) * 3;
    to[0] = static_cast<std::uint8_t>(rgb >> 16);
    to[1] = static_cast<std::uint8_t>(rgb >> 8);
    to[2] = static_cast<std::uint8_t>(rgb);
}

int Damaged(std::string* detail) {
    SetDetail(detail, "the file is cut short or damaged");
    return PHOTO_DAMAGED;
}

// Run-length data: rows bottom-up; anything past the end of data is refused.
int DecodeRle(const Dib& dib, const std::uint8_t* p, const std::uint8_t* end, Photo* photo,
              std::string* detail) {
    std::int64_t x = 0, row = 0;
    auto put = [&](int index) {
        if (x < dib.width && row < dib.height) {
            const std::int64_t y = dib.topDown ? row : dib.height - 1 - row;
            Put(photo, x, y, index < dib.colourCount ? dib.colours[index] : 0);
        }
        ++x;
    };
    while (p + 2 <= end) {
        const int count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(dib.compression == RLE8 ? value : (i % 2 == 0 ? value >> 4 : value & 15));
            }
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            return PHOTO_OK;
        } else if (value == 2) {
            if (p + 2 > end) {
                return Damaged(detail);
            }
            x += p[0];
            row += p[1];
            p += 2;
        } else {
            const int bytes = dib.compression == RLE8 ? value : (value + 1) / 2;
            const int padded = (bytes + 1) & ~1;
            if (end - p < padded) {
                return Damaged(detail);
            }
            for (int i = 0; i < value; ++i) {
                put(dib.compression == RLE8 ? p[i] : (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 15));
            }
            p += padded;
        }
    }
    return Damaged(detail); // no end-of-bitmap mark
}

int DecodeRows(const Dib& dib, const std::uint8_t* p, const std::uint8_t* end, Photo* photo,
               std::string* detail) {
    const std::size_t stride = ((static_cast<std::size_t>(dib.width) * dib.bits + 31) / 32) * 4;
    if (static_cast<std::size_t>(end - p) / stride < static_cast<std::size_t>(dib.height)) {
        return Damaged(detail);
    }
    for (std::int64_t row = 0; row < dib.height; ++row, p += stride) {
        const std::int64_t y = dib.topDown ? row : dib.height - 1 - row;
        for (std::int64_t x = 0; x < dib.width; ++x) {
            std::uint32_t rgb = 0;
            if (dib.bits <= 8) {
                const std::int64_t bit = x * dib.bits;
                const int shift = 8 - dib.bits - static_cast<int>(bit % 8);
                const int index = (p[bit / 8] >> shift) & ((1 << dib.bits) - 1);
                rgb = index < dib.colourCount ? dib.colours[index] : 0;
            } else if (dib.bits == 24) {
                const std::uint8_t* q = p + 3 * x;
                rgb = std::uint32_t{q[2]} << 16 | q[1] << 8 | q[0];
            } else {
                const std::uint32_t v = dib.bits == 16 ? U16(p + 2 * x) : U32(p + 4 * x);
                rgb = std::uint32_t{Channel(v, dib.masks[0])} << 16 |
                      Channel(v, dib.masks[1]) << 8 | Channel(v, dib.masks[2]);
            }
            Put(photo, x, y, rgb);
        }
    }
    return PHOTO_OK;
}

} // namespace

int DecodeDib(const std::uint8_t* data, std::size_t size, std::size_t pixelOffset, bool icon,
              Photo* photo, std::string* detail) {
    if (size < 12) {
        return Damaged(detail);
    }
    const std::uint32_t headerSize = U32(data);
    Dib dib;
    std::size_t tableEntry = 4;
    std::uint32_t tableCount = 0;
    if (headerSize == 12) {
        dib.width = U16(data + 4);
        dib.height = U16(data + 6);
        dib.bits = static_cast<int>(U16(data + 10));
        tableEntry = 3;
    } else if (headerSize >= 40 && headerSize <= size) {
        dib.width = static_cast<std::int32_t>(U32(data + 4));
        dib.height = static_cast<std::int32_t>(U32(data + 8));
        dib.bits = static_cast<int>(U16(data + 14));
        dib.compression = U32(data + 16);
        tableCount = U32(data + 32);
    } else {
        return Damaged(detail);
    }
    if (icon) {
        dib.height /= 2; // the AND mask follows the colour rows
    }
    if (dib.height < 0) {
        dib.topDown = true;
        dib.height = -dib.height;
    }
    const bool known =
        (dib.compression == RGB_PLAIN && (dib.bits == 1 || dib.bits == 4 || dib.bits == 8 ||
                                          dib.bits == 16 || dib.bits == 24 || dib.bits == 32)) ||
        (dib.compression == BITFIELDS && (dib.bits == 16 || dib.bits == 32)) ||
        (dib.compression == RLE8 && dib.bits == 8 && !dib.topDown) ||
        (dib.compression == RLE4 && dib.bits == 4 && !dib.topDown);
    if (!known) {
        SetDetail(detail, "a BMP layout this program does not read");
        return PHOTO_NOT_A_PHOTO;
    }
    std::size_t at = headerSize;
    if (dib.compression == BITFIELDS) {
        // Masks follow a 40-byte header; larger headers hold them in place.
        if (headerSize == 40) {
            if (size < at + 12) {
                return Damaged(detail);
            }
            at += 12;
        }
        for (int i = 0; i < 3; ++i) {
            dib.masks[i] = U32(data + 40 + 4 * i);
        }
    } else if (dib.bits == 16) {
        dib.masks[0] = 0x7C00, dib.masks[1] = 0x03E0, dib.masks[2] = 0x001F;
    } else {
        dib.masks[0] = 0xFF0000, dib.masks[1] = 0x00FF00, dib.masks[2] = 0x0000FF;
    }
    if (dib.bits <= 8 && (tableCount == 0 || tableCount > (1u << dib.bits))) {
        tableCount = 1u << dib.bits;
    }
    // A colour table may stand before pixels of any depth; it is skipped there.
    if (tableCount > (size - at) / tableEntry) {
        return Damaged(detail);
    }
    const std::size_t tableBytes = tableCount * tableEntry;
    dib.colourCount = dib.bits <= 8 ? static_cast<int>(tableCount) : 0;
    for (int i = 0; i < dib.colourCount && dib.bits <= 8; ++i) {
        const std::uint8_t* c = data + at + i * tableEntry;
        dib.colours[i] = std::uint32_t{c[2]} << 16 | c[1] << 8 | c[0];
    }
    at += tableBytes;
    if (pixelOffset != 0) {
        at = pixelOffset;
    }
    if (at > size) {
        return Damaged(detail);
    }
    const bool rle = dib.compression == RLE8 || dib.compression == RLE4;
    // Rows past the file's end are refused before the picture is allocated: a few bytes may
    // claim a hundred million pixels (more than the limit: AllocatePhoto says so). Run-length
    // rows have no fixed size; their decoder bounds them.
    if (!rle && PhotoSizeAllowed(dib.width, dib.height) &&
        (size - at) / (((static_cast<std::uint64_t>(dib.width) * dib.bits + 31) / 32) * 4) <
            static_cast<std::uint64_t>(dib.height)) {
        return Damaged(detail);
    }
    if (const int allocated = AllocatePhoto(dib.width, dib.height, photo, detail);
        allocated != PHOTO_OK) {
        return allocated;
    }
    return rle ? DecodeRle(dib, data + at, data + size, photo, detail)
               : DecodeRows(dib, data + at, data + size, photo, detail);
}

int DecodeBmp(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    if (size < 14 + 12) {
        return Damaged(detail);
    }
    const std::size_t offset = U32(data + 10);
    if (offset < 14 || offset > size) {
        return Damaged(detail);
    }
    return DecodeDib(data + 14, size - 14, offset - 14, false, photo, detail);
}

int DecodeIco(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    const std::size_t count = size >= 6 ? U16(data + 4) : 0;
    if (count == 0 || size < 6 + 16 * count) {
        return Damaged(detail);
    }
    // The largest entry, as the image windows show an icon; 0 in the directory means 256.
    std::size_t best = 0;
    std::int64_t bestArea = -1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = data + 6 + 16 * i;
        const std::int64_t area =
            std::int64_t{entry[0] ? entry[0] : 256} * (entry[1] ? entry[1] : 256);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    const std::uint8_t* entry = data + 6 + 16 * best;
    const std::size_t length = U32(entry + 8), offset = U32(entry + 12);
    if (offset > size || length > size - offset) {
        return Damaged(detail);
    }
    const std::uint8_t* image = data + offset;
    if (length >= 8 && std::memcmp(image, "\x89PNG\r\n\x1A\n", 8) == 0) {
        return DecodePng(image, length, photo, detail);
    }
    return DecodeDib(image, length, 0, true, photo, detail);
}
