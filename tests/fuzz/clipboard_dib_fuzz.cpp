// A CF_DIB block as another program may put it on the clipboard: the parser either refuses it
// or every row it then reads, and every table entry, lies inside the block.
#include "platform/gdi/dib_format.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size heap copy, so that a read past the block's end is caught.
    std::vector<std::uint8_t> block(data, data + size);
    platform::gdi::DibLayout layout;
    const std::uint8_t* pixels = nullptr;
    if (!platform::gdi::ParsePackedDib(block.data(), block.size(), &layout, &pixels)) {
        return 0;
    }
    if (layout.width <= 0 || layout.height <= 0 || pixels < block.data() ||
        layout.imageBytes > static_cast<std::size_t>(block.data() + block.size() - pixels)) {
        std::abort();
    }
    if (static_cast<std::uint64_t>(layout.width) * layout.height > (1u << 22)) {
        return 0; // valid but too large to convert row by row within the fuzzer's time
    }
    std::vector<std::uint32_t> row(static_cast<std::size_t>(layout.width));
    for (int y = 0; y < layout.height; ++y) {
        platform::gdi::ReadDibRow(layout, pixels, y, layout.width, row.data());
    }
    for (int i = 0; i <= layout.colorCount; ++i) {
        volatile std::uint32_t colour = platform::gdi::DibColor(layout, i);
        (void)colour;
    }
    return 0;
}
