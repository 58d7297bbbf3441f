// The wiggle frames go only into frame windows that exist with the views' size and depth.
#include "app/window_buffers.h"
#include "tests/support/canvas.h"

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
        Canvas frameA(32, W, H, WIGGLE_WINDOW_A, 0x00FFFFFF);
        Canvas frameB(32, W, H, WIGGLE_WINDOW_B, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 0, 0), 0);
        EXPECT_EQ(frameA.Words(), a);
        EXPECT_EQ(frameB.Words(), b);
    }
    {
        // Window 5 closed by the user, window 4 reopened with another size: neither is
        // touched.
        Canvas other(32, W - 1, H, WIGGLE_WINDOW_A, 0x00FFFFFF);
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 0, 0), 1);
        EXPECT_EQ(other.Words(), Buffer((W - 1) * H, 0x00FFFFFF));
    }
    {
        Canvas eightBit(8, W, H, WIGGLE_WINDOW_A, 0xFF);
        Canvas frameB(32, W, H, WIGGLE_WINDOW_B, 0x00FFFFFF);
        const std::vector<std::uint8_t> before = eightBit.Snapshot();
        EXPECT_EQ(MakeWiggleFrames(W, H, a.data(), b.data(), 1, 0), 1);
        EXPECT_EQ(eightBit.Snapshot(), before);
        EXPECT_EQ(frameB.Words()[0], b[0]);
        EXPECT_EQ(frameB.Words()[W - 1], 0u);
    }
}

} // namespace
