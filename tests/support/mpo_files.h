// Multi-picture (MPO) and Exif test files built from JPEG bytes: an APP2 "MPF" index listing the
// pictures, with the faults a damaged file may carry, and an APP1 Exif orientation tag.
#pragma once

#include <cstdint>
#include <vector>

namespace mpo_files {

using Bytes = std::vector<std::uint8_t>;

struct IndexShape {
    bool bigEndian = false;
    int listed = -1;           // pictures the index claims; -1: the true count
    bool truncated = false;    // the index segment ends inside its entries
    std::uint32_t pastEnd = 0; // added to the second picture's offset
    bool noIndex = false;      // the pictures simply follow each other
};

inline void Put16(Bytes& b, std::size_t at, std::uint32_t v, bool big) {
    b[at] = static_cast<std::uint8_t>(big ? v >> 8 : v);
    b[at + 1] = static_cast<std::uint8_t>(big ? v : v >> 8);
}

inline void Put32(Bytes& b, std::size_t at, std::uint32_t v, bool big) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (big ? 24 - 8 * i : 8 * i));
    }
}

// Inserts a segment (marker, payload) right after the start-of-image marker.
inline Bytes WithSegment(const Bytes& jpeg, std::uint8_t marker, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Bytes out;
    out.reserve(jpeg.size() + length + 2);
    for (std::uint8_t b : {std::uint8_t{0xFF}, std::uint8_t{0xD8}, std::uint8_t{0xFF}, marker,
                           static_cast<std::uint8_t>(length >> 8),
                           static_cast<std::uint8_t>(length)}) {
        out.push_back(b);
    }
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// A JPEG carrying an Exif orientation tag.
inline Bytes WithOrientation(const Bytes& jpeg, int orientation, bool big = false) {
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
    Bytes tiff(8 + 2 + 12 + 4, 0);
    tiff[0] = tiff[1] = big ? 'M' : 'I';
    Put16(tiff, 2, 42, big);
    Put32(tiff, 4, 8, big);
    Put16(tiff, 8, 1, big);
    Put16(tiff, 10, 0x0112, big);
    Put16(tiff, 12, 3, big);
    Put32(tiff, 14, 1, big);
    Put16(tiff, 18, static_cast<std::uint32_t>(orientation), big);
    exif.insert(exif.end(), tiff.begin(), tiff.end());
    return WithSegment(jpeg, 0xE1, exif);
}

// The two JPEGs as one multi-picture file, the first carrying the index.
inline Bytes MakeMpo(const Bytes& first, const Bytes& second, const IndexShape& shape = {}) {
    if (shape.noIndex) {
        Bytes out = first;
        out.insert(out.end(), second.begin(), second.end());
        return out;
    }
    const bool big = shape.bigEndian;
    constexpr std::size_t ENTRIES_AT = 8 + 2 + 3 * 12 + 4;
    Bytes index = {'M', 'P', 'F', 0};
    Bytes tiff(ENTRIES_AT + 2 * 16, 0);
    tiff[0] = tiff[1] = big ? 'M' : 'I';
    Put16(tiff, 2, 42, big);
    Put32(tiff, 4, 8, big);
    Put16(tiff, 8, 3, big);
    Put16(tiff, 10, 0xB000, big); // version
    Put16(tiff, 12, 7, big);
    Put32(tiff, 14, 4, big);
    tiff[18] = '0', tiff[19] = '1', tiff[20] = '0', tiff[21] = '0';
    const std::uint32_t listed = shape.listed < 0 ? 2 : static_cast<std::uint32_t>(shape.listed);
    Put16(tiff, 22, 0xB001, big); // number of images
    Put16(tiff, 24, 4, big);
    Put32(tiff, 26, 1, big);
    Put32(tiff, 30, listed, big);
    Put16(tiff, 34, 0xB002, big); // entries
    Put16(tiff, 36, 7, big);
    Put32(tiff, 38, 16 * listed, big);
    Put32(tiff, 42, ENTRIES_AT, big);
    const std::size_t firstSize = first.size() + 4 + index.size() + tiff.size();
    constexpr std::size_t HEADER_AT = 2 + 4 + 4; // SOI, APP2 marker and length, "MPF\0"
    Put32(tiff, ENTRIES_AT, 0x20020002, big);    // disparity picture, parent
    Put32(tiff, ENTRIES_AT + 4, static_cast<std::uint32_t>(firstSize), big);
    Put32(tiff, ENTRIES_AT + 16, 0x00020002, big);
    Put32(tiff, ENTRIES_AT + 20, static_cast<std::uint32_t>(second.size()), big);
    Put32(tiff, ENTRIES_AT + 24, static_cast<std::uint32_t>(firstSize - HEADER_AT) + shape.pastEnd,
          big);
    if (shape.truncated) {
        tiff.resize(ENTRIES_AT + 8);
    }
    index.insert(index.end(), tiff.begin(), tiff.end());
    Bytes out = WithSegment(first, 0xE2, index);
    out.insert(out.end(), second.begin(), second.end());
    return out;
}

} // namespace mpo_files
