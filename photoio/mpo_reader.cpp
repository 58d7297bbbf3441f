// Multi-picture files: the APP2 "MPF" index, the fallback for files without one, and the two
// views decoded side by side.
#include "photoio/mpo_reader.h"
#include "photoio/jpeg_segments.h"
#include "photoio/photo_decoders.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint32_t NUMBER_OF_IMAGES_TAG = 0xB001;
constexpr std::uint32_t MP_ENTRY_TAG = 0xB002;
constexpr std::size_t MP_ENTRY_SIZE = 16;
constexpr std::uint32_t TYPE_MASK = 0x00FFFFFF;
constexpr std::uint32_t TYPE_LARGE_THUMBNAIL_VGA = 0x010001;
constexpr std::uint32_t TYPE_LARGE_THUMBNAIL_HD = 0x010002;
constexpr std::uint32_t TYPE_DISPARITY = 0x020002;

struct MpEntry {
    std::uint32_t type;
    std::uint32_t size;
    std::uint32_t offset; // from the index's byte-order mark; 0 for the first picture
};

enum IndexStatus { INDEX_NONE, INDEX_READ, INDEX_BROKEN };

int Damaged(std::string* detail, const std::string& text) {
    SetDetail(detail, text);
    return PHOTO_DAMAGED;
}

// Reads the index: its entries and where its byte-order mark lies in the file.
IndexStatus ReadIndex(const std::uint8_t* data, std::size_t size, std::vector<MpEntry>* entries,
                      std::size_t* headerAt, std::string* reason) {
    IndexStatus status = INDEX_NONE;
    ForEachJpegSegment(data, size, [&](const JpegSegment& segment) {
        if (segment.marker != 0xE2 || segment.length < 4 ||
            std::memcmp(data + segment.payload, "MPF\0", 4) != 0) {
            return true;
        }
        status = INDEX_BROKEN;
        *headerAt = segment.payload + 4;
        TiffFields tiff;
        const std::size_t directory =
            tiff.Open(data + *headerAt, segment.length - 4) ? tiff.FirstDirectory() : 0;
        if (directory == 0) {
            *reason = "its multi-picture index is cut short";
            return false;
        }
        const std::size_t fields = tiff.U16(directory);
        std::uint32_t count = 0;
        std::size_t entryData = 0;
        std::uint32_t entryBytes = 0;
        for (std::size_t i = 0; i < fields; ++i) {
            const std::size_t field = directory + 2 + 12 * i;
            if (!tiff.Fits(field, 12)) {
                *reason = "its multi-picture index is cut short";
                return false;
            }
            if (tiff.U16(field) == NUMBER_OF_IMAGES_TAG) {
                count = tiff.U32(field + 8);
            } else if (tiff.U16(field) == MP_ENTRY_TAG) {
                entryBytes = tiff.U32(field + 4);
                entryData = tiff.U32(field + 8);
            }
        }
        if (count == 0) {
            *reason = "its multi-picture index lists no pictures";
            return false;
        }
        if (entryBytes / MP_ENTRY_SIZE < count || !tiff.Fits(entryData, entryBytes)) {
            *reason = "its multi-picture index is cut short";
            return false;
        }
        for (std::uint32_t i = 0; i < count && i < 64; ++i) {
            const std::size_t at = entryData + MP_ENTRY_SIZE * i;
            entries->push_back({tiff.U32(at) & TYPE_MASK, tiff.U32(at + 4), tiff.U32(at + 8)});
        }
        status = INDEX_READ;
        return false;
    });
    return status;
}

bool IsThumbnail(std::uint32_t type) {
    return type == TYPE_LARGE_THUMBNAIL_VGA || type == TYPE_LARGE_THUMBNAIL_HD;
}

bool StartsJpeg(const std::uint8_t* data, std::size_t size, std::size_t at) {
    return at <= size && size - at >= 3 && data[at] == 0xFF && data[at + 1] == 0xD8 &&
           data[at + 2] == 0xFF;
}

} // namespace

int FindStereoPictures(const std::uint8_t* data, std::size_t size, StereoPictures* pictures,
                       std::string* detail) {
    if (!StartsJpeg(data, size, 0)) {
        SetDetail(detail, "not a JPEG multi-picture file");
        return PHOTO_NOT_A_PHOTO;
    }
    std::vector<MpEntry> entries;
    std::size_t headerAt = 0;
    std::string reason;
    const IndexStatus index = ReadIndex(data, size, &entries, &headerAt, &reason);
    if (index == INDEX_BROKEN) {
        return Damaged(detail, reason);
    }
    if (index == INDEX_NONE) {
        // Without an index the second picture must follow a first one that ends cleanly:
        // anything else is a damaged file or a plain JPEG with trailing bytes.
        const std::size_t end = JpegStreamEnd(data, size);
        if (end == 0) {
            return Damaged(detail, "it has no multi-picture index and its first picture does "
                                   "not end cleanly");
        }
        if (!StartsJpeg(data, size, end)) {
            return Damaged(detail, "it holds one picture; a stereo pair needs two");
        }
        *pictures = {{0, end}, {end, size - end}};
        return PHOTO_OK;
    }
    int found = 0;
    for (std::size_t i = 0; i < entries.size() && found < 2; ++i) {
        const MpEntry& entry = entries[i];
        if (IsThumbnail(entry.type)) {
            continue;
        }
        const std::size_t start = i == 0 ? 0 : headerAt + entry.offset;
        const std::string which = "picture " + std::to_string(i + 1);
        if (entry.size == 0 || start > size || entry.size > size - start) {
            return Damaged(detail, which + " of its multi-picture index lies past the end of "
                                           "the file");
        }
        if (!StartsJpeg(data, size, start)) {
            return Damaged(detail, which + " of its multi-picture index is not a JPEG");
        }
        pictures->offset[found] = start;
        pictures->size[found] = entry.size;
        ++found;
    }
    if (found < 2) {
        return Damaged(detail, "its multi-picture index lists one picture; a stereo pair needs "
                               "two");
    }
    return PHOTO_OK;
}

bool HasStereoIndex(const std::uint8_t* data, std::size_t size) {
    std::vector<MpEntry> entries;
    std::size_t headerAt = 0;
    std::string reason;
    if (ReadIndex(data, size, &entries, &headerAt, &reason) != INDEX_READ) {
        return false;
    }
    for (const MpEntry& entry : entries) {
        if (entry.type == TYPE_DISPARITY) {
            return true;
        }
    }
    return false;
}

int DecodeMpo(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    StereoPictures where{};
    if (const int found = FindStereoPictures(data, size, &where, detail); found != PHOTO_OK) {
        return found;
    }
    Photo views[2];
    std::string warning;
    for (int i = 0; i < 2; ++i) {
        std::string said;
        const int status = DecodeJpeg(data + where.offset[i], where.size[i], &views[i], &said);
        if (status != PHOTO_OK) {
            SetDetail(detail, (i == 0 ? "the left view: " : "the right view: ") + said);
            return status;
        }
        if (warning.empty()) {
            warning = said;
        }
    }
    // The first picture's tag turns both: the views are one pair, however the second is tagged.
    const int orientation = JpegOrientation(data + where.offset[0], where.size[0]);
    for (Photo& view : views) {
        if (OrientPhoto(orientation, &view) != PHOTO_OK) {
            SetDetail(detail, PhotoStatusText(PHOTO_NO_MEMORY));
            return PHOTO_NO_MEMORY;
        }
    }
    if (views[0].width != views[1].width || views[0].height != views[1].height) {
        return Damaged(
            detail, "its two pictures differ in size (" + std::to_string(views[0].width) + " x " +
                        std::to_string(views[0].height) + " and " + std::to_string(views[1].width) +
                        " x " + std::to_string(views[1].height) + ")");
    }
    const int w = views[0].width;
    const int h = views[0].height;
    Photo pair;
    if (const int allocated = AllocatePhoto(std::int64_t{2} * w, h, &pair, detail);
        allocated != PHOTO_OK) {
        return allocated;
    }
    const std::size_t row = static_cast<std::size_t>(w) * 3;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* to = pair.rgb.data() + 2 * row * static_cast<std::size_t>(y);
        std::memcpy(to, views[0].rgb.data() + row * y, row);
        std::memcpy(to + row, views[1].rgb.data() + row * y, row);
    }
    *photo = std::move(pair);
    SetDetail(detail, warning);
    return PHOTO_OK;
}

int DecodeJpegPhoto(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    if (HasStereoIndex(data, size)) {
        return DecodeMpo(data, size, photo, detail);
    }
    Photo decoded;
    const int status = DecodeJpeg(data, size, &decoded, detail);
    if (status != PHOTO_OK) {
        return status;
    }
    if (OrientPhoto(JpegOrientation(data, size), &decoded) != PHOTO_OK) {
        SetDetail(detail, PhotoStatusText(PHOTO_NO_MEMORY));
        return PHOTO_NO_MEMORY;
    }
    *photo = std::move(decoded);
    return PHOTO_OK;
}
