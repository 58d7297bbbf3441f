// The photo reader of the stereo tool's batch mode and the command-line tools: any bytes either
// decode to a picture whose store matches its size and the pixel limit, or give a refusal status
// and a reason — never a crash, a leak or output on the terminal.
#include "photoio/photo_io.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Photo photo;
    std::string detail;
    const int status = DecodePhoto(data, size, &photo, &detail);
    if (status == PHOTO_OK) {
        const std::size_t pixels = static_cast<std::size_t>(photo.width) * photo.height;
        if (photo.width <= 0 || photo.height <= 0 || photo.width > PHOTO_MAX_SIDE ||
            photo.height > PHOTO_MAX_SIDE || pixels > static_cast<std::size_t>(PHOTO_MAX_PIXELS) ||
            photo.rgb.size() != pixels * 3) {
            std::abort();
        }
    } else if (status != PHOTO_NOT_A_PHOTO && status != PHOTO_DAMAGED &&
               status != PHOTO_TOO_LARGE && status != PHOTO_NO_MEMORY) {
        std::abort();
    }
    return 0;
}
