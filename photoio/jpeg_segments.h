// Walking a JPEG stream's marker segments, and reading the TIFF-style fields that Exif and the
// multi-picture index keep inside them. Every read is bounded by the data it was given.
#pragma once

#include <cstddef>
#include <cstdint>

// One marker segment before the first scan: its marker (0xE1 for APP1 …), where its payload
// starts (after the length field) and how long the payload is.
struct JpegSegment {
    int marker;
    std::size_t payload;
    std::size_t length;
};

// Calls visit(segment) for every segment from the start of image up to the first scan, stopping
// early when visit returns false. False when the stream is not a JPEG or a segment runs past the
// data.
template <typename Visit>
bool ForEachJpegSegment(const std::uint8_t* data, std::size_t size, Visit visit) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return false;
    }
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) {
            return false;
        }
        const int marker = data[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) {
            return true;
        }
        const std::size_t length = std::size_t{data[at + 2]} << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > size) {
            return false;
        }
        if (!visit(JpegSegment{marker, at + 4, length - 2})) {
            return true;
        }
        at += 2 + length;
    }
    return false;
}

// Where the JPEG stream starting at data ends (just past its end-of-image marker), walking its
// segments and entropy-coded data; 0 when it does not end cleanly inside size bytes.
std::size_t JpegStreamEnd(const std::uint8_t* data, std::size_t size);

// A TIFF header and what follows it, as Exif and the multi-picture index store them.
struct TiffFields {
    const std::uint8_t* base = nullptr;
    std::size_t size = 0;
    bool bigEndian = false;

    // Reads the byte-order mark; false when there is none.
    bool Open(const std::uint8_t* data, std::size_t length);
    bool Fits(std::size_t offset, std::size_t count) const {
        return offset <= size && count <= size - offset;
    }
    std::uint32_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    // The offset of the first directory, or 0 when it lies outside.
    std::size_t FirstDirectory() const;
};
