// GIF through giflib, record by record so that every frame's size is checked before its
// pixels are taken. The first frame is drawn over the logical screen's background, as viewers
// show a still GIF.
#include "photoio/photo_decoders.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* to, int count) {
    auto* source = static_cast<Source*>(gif->UserData);
    const std::size_t n = std::min(static_cast<std::size_t>(count), source->size - source->at);
    std::memcpy(to, source->data + source->at, n);
    source->at += n;
    return static_cast<int>(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

int Damaged(std::string* detail, int error) {
    const char* text = GifErrorString(error);
    SetDetail(detail, text != nullptr ? text : "the file is cut short or damaged");
    return PHOTO_DAMAGED;
}

// Reads the first frame's indices, deinterlaced, into frame.
int ReadFrame(GifFileType* gif, std::vector<std::uint8_t>* frame, std::string* detail) {
    const GifImageDesc& desc = gif->Image;
    const int width = desc.Width, height = desc.Height;
    if (!PhotoSizeAllowed(width, height)) {
        SetDetail(detail, PhotoLimitText(width, height));
        return PHOTO_TOO_LARGE;
    }
    try {
        frame->assign(static_cast<std::size_t>(width) * height, 0);
    } catch (const std::bad_alloc&) {
        return PHOTO_NO_MEMORY;
    }
    std::vector<int> order;
    if (desc.Interlace) {
        for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < height; y += step) {
                order.push_back(y);
            }
        }
    }
    for (int i = 0; i < height; ++i) {
        const int y = desc.Interlace ? order[static_cast<std::size_t>(i)] : i;
        if (DGifGetLine(gif, frame->data() + static_cast<std::size_t>(y) * width, width) !=
            GIF_OK) {
            return Damaged(detail, gif->Error);
        }
    }
    return PHOTO_OK;
}

} // namespace

int DecodeGif(const std::uint8_t* data, std::size_t size, Photo* photo, std::string* detail) {
    Source source{data, size};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadBytes, &error);
    if (gif == nullptr) {
        return Damaged(detail, error);
    }
    GifCloser closer{gif};
    int transparent = -1;
    std::vector<std::uint8_t> frame;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK) {
            return Damaged(detail, gif->Error);
        }
        if (type == TERMINATE_RECORD_TYPE) {
            SetDetail(detail, "the file holds no picture");
            return PHOTO_DAMAGED;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) {
                return Damaged(detail, gif->Error);
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4 &&
                (block[1] & 1) != 0) {
                transparent = block[4];
            }
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) {
                    return Damaged(detail, gif->Error);
                }
            }
            continue;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK) {
                return Damaged(detail, gif->Error);
            }
            if (const int read = ReadFrame(gif, &frame, detail); read != PHOTO_OK) {
                return read;
            }
            break;
        }
    }
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr) {
        SetDetail(detail, "the picture has no colour table");
        return PHOTO_DAMAGED;
    }
    const int width = gif->SWidth > 0 ? gif->SWidth : desc.Width;
    const int height = gif->SHeight > 0 ? gif->SHeight : desc.Height;
    if (const int allocated = AllocatePhoto(width, height, photo, detail); allocated != PHOTO_OK) {
        return allocated;
    }
    if (gif->SColorMap != nullptr && gif->SBackGroundColor < gif->SColorMap->ColorCount) {
        const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
        for (std::size_t i = 0; i < photo->rgb.size(); i += 3) {
            photo->rgb[i] = c.Red;
            photo->rgb[i + 1] = c.Green;
            photo->rgb[i + 2] = c.Blue;
        }
    }
    for (int y = 0; y < desc.Height; ++y) {
        const int ty = desc.Top + y;
        if (ty < 0 || ty >= height) {
            continue;
        }
        for (int x = 0; x < desc.Width; ++x) {
            const int tx = desc.Left + x;
            const int index = frame[static_cast<std::size_t>(y) * desc.Width + x];
            if (tx < 0 || tx >= width || index == transparent || index >= map->ColorCount) {
                continue;
            }
            std::uint8_t* to = photo->rgb.data() + (static_cast<std::size_t>(ty) * width + tx) * 3;
            to[0] = map->Colors[index].Red;
            to[1] = map->Colors[index].Green;
            to[2] = map->Colors[index].Blue;
        }
    }
    return PHOTO_OK;
}
