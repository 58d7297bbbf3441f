// The wiggle frames go only into frame windows that exist with the views' size and depth.
#include "app/window_buffers.h"
#include "test_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Buffer = std::vector<std::uint32_t>;

Buffer Numbered(int W, int H, std::uint32_t tag) {
    Buffer view(static_cast<std::size_t>(W) * H);
    for (int i = 0; i < W * H; ++i) {
        view[i] = tag | static_cast<std::uint32_t>(i);
    }
    return view;
}

TEST(Wiggle, FramesGoOnlyIntoFrameWindowsOfTheViewSize) {
    const int W = 4, H = 3;
    const Buffer a = Numbered(W, H, 0x00A00000), b = Numbered(W, H, 0x00B00000);
    {
        TestWindow frameA(WIGGLE_WINDOW_A, W, H, 32, 0x00FFFFFF);
        TestWindow frameB(WIGGLE_WINDOW_B, W, H, 32, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 0, 0), 0);
        EXPECT_EQ(frameA.pixels, a);
        EXPECT_EQ(frameB.pixels, b);
    }
    {
        // Window 5 closed by the user, window 4 reopened with another size: neither is
        // touched.
        TestWindow other(WIGGLE_WINDOW_A, W - 1, H, 32, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 0, 0), 1);
        EXPECT_EQ(other.pixels, Buffer((W - 1) * H, 0x00FFFFFF));
    }
    {
        TestWindow eightBit(WIGGLE_WINDOW_A, W, H, 8, 0x00FFFFFF);
        TestWindow frameB(WIGGLE_WINDOW_B, W, H, 32, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 1, 0), 1);
        EXPECT_EQ(eightBit.pixels, Buffer(W * H, 0x00FFFFFF));
        EXPECT_EQ(frameB.pixels[0], b[0]);
        EXPECT_EQ(frameB.pixels[W - 1], 0u);
    }
}

} // namespace
