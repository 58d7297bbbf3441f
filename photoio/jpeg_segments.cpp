// JPEG segment walking and TIFF field reads shared by the Exif and multi-picture readers.
#include "photoio/jpeg_segments.h"

std::size_t JpegStreamEnd(const std::uint8_t* data, std::size_t size) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return 0;
    }
    std::size_t at = 2;
    bool inScan = false;
    while (at + 1 < size) {
        if (inScan) {
            // Entropy-coded data: only 0xFF followed by neither a stuffed zero nor a restart
            // marker nor fill ends it.
            if (data[at] != 0xFF) {
                ++at;
                continue;
            }
            const int next = data[at + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                at += 2;
                continue;
            }
            if (next == 0xFF) {
                ++at;
                continue;
            }
            inScan = false;
        }
        if (data[at] != 0xFF) {
            return 0;
        }
        const int marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD9) {
            return at + 2;
        }
        if (marker == 0xD8) {
            return 0; // a second start inside the first picture: it never ended
        }
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (at + 4 > size) {
            return 0;
        }
        const std::size_t length = std::size_t{data[at + 2]} << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > size) {
            return 0;
        }
        at += 2 + length;
        inScan = marker == 0xDA;
    }
    return 0;
}

bool TiffFields::Open(const std::uint8_t* data, std::size_t length) {
    base = data;
    size = length;
    if (length < 8) {
        return false;
    }
    if (data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) {
        bigEndian = false;
        return true;
    }
    if (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42) {
        bigEndian = true;
        return true;
    }
    return false;
}

std::uint32_t TiffFields::U16(std::size_t offset) const {
    if (!Fits(offset, 2)) {
        return 0;
    }
    const std::uint8_t* p = base + offset;
    return bigEndian ? std::uint32_t{p[0]} << 8 | p[1] : std::uint32_t{p[1]} << 8 | p[0];
}

std::uint32_t TiffFields::U32(std::size_t offset) const {
    if (!Fits(offset, 4)) {
        return 0;
    }
    const std::uint8_t* p = base + offset;
    return bigEndian ? std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 |
                           std::uint32_t{p[2]} << 8 | p[3]
                     : std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
                           std::uint32_t{p[1]} << 8 | p[0];
}

std::size_t TiffFields::FirstDirectory() const {
    const std::size_t offset = U32(4);
    return offset >= 8 && Fits(offset, 2) ? offset : 0;
}
