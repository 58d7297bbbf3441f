// Text calls in a program without a GUI application.
#include "gdi_test_support.h"

#include <gtest/gtest.h>

using gditest::Canvas;

namespace {

TEST(TextWithoutApplication, FailsCleanly) {
    // No GUI application exists in this program: there is no font engine to draw with.
    Canvas c(16, 16);
    SelectObject(c.dc(), GetStockObject(OEM_FIXED_FONT));
    TEXTMETRICW tm{};
    EXPECT_FALSE(GetTextMetricsW(c.dc(), &tm));
    EXPECT_FALSE(TextOutW(c.dc(), 0, 0, L"A", 1));
    EXPECT_EQ(c.Get(0, 0), 0u);
}

} // namespace
