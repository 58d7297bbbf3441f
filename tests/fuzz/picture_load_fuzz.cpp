// The picture readers behind QIV_LoadImage (BMP with its RLE forms, GIF, PNG, JPEG, TIFF, ICO):
// any bytes under a file name either load as a picture whose pixel store matches its size, or
// give an error status — never a crash or a leak.
#include "platform/gdiplus/gp_image.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string ScratchFile() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/qiv-fuzz-picture-" +
           std::to_string(getpid());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = ScratchFile();
    static const std::wstring wide(path.begin(), path.end());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(wide.c_str(), &image) == Ok) {
        const std::size_t pixels = static_cast<std::size_t>(image->width) * image->height;
        if (image->width <= 0 || image->height <= 0 || image->argb.size() != pixels ||
            (!image->indices.empty() && image->indices.size() != pixels)) {
            std::abort();
        }
        // An index past a short table is allowed (the encoders pad the table); a table past
        // what 8-bit indices can reach is not.
        if (image->palette.size() > 256 || (!image->indices.empty() && image->palette.empty())) {
            std::abort();
        }
        GdipDisposeImage(image);
    } else if (image != nullptr) {
        std::abort();
    }
    return 0;
}
