// The image window table: reset, lookup by handle, and the current window with its history.
#include "imagewin/image_window.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

HWND FakeWindow(std::uintptr_t id) {
    return reinterpret_cast<HWND>(id * 16);
}

class ImageTable : public ::testing::Test {
protected:
    void SetUp() override {
        ResetImageWindowTable();
        qiv_target = 0;
    }
    void TearDown() override { ResetImageWindowTable(); }

    static void Open(int n) {
        qiv_image[n].inUse = 1;
        qiv_image[n].hwnd = FakeWindow(static_cast<std::uintptr_t>(n) + 1);
    }
};

} // namespace

TEST_F(ImageTable, ResetFreesEveryNumberAndClearsHistory) {
    for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
        qiv_image[n].inUse = 1;
    }
    for (int& slot : qiv_target_history) {
        slot = 77;
    }
    ResetImageWindowTable();
    for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
        EXPECT_EQ(qiv_image[n].inUse, 0);
    }
    for (int slot : qiv_target_history) {
        EXPECT_EQ(slot, 0);
    }
}

TEST_F(ImageTable, FindImageWindowTakesTheLowestNumberInUse) {
    Open(3);
    Open(9);
    qiv_image[9].hwnd = qiv_image[3].hwnd;
    EXPECT_EQ(FindImageWindow(qiv_image[3].hwnd), 3);
    qiv_image[3].inUse = 0; // e.g. during a zoom change
    EXPECT_EQ(FindImageWindow(qiv_image[9].hwnd), 9);
    EXPECT_EQ(FindImageWindow(FakeWindow(500)), -1);
    EXPECT_EQ(FindImageWindow(nullptr), -1);
}

TEST_F(ImageTable, NineSelectsThenNineRestoresWalkBack) {
    for (int n = 0; n <= 9; ++n) {
        Open(n);
    }
    for (int n = 1; n <= 9; ++n) {
        ASSERT_EQ(QIV_SelectImage(n), 0);
    }
    EXPECT_EQ(qiv_target, 9);
    // The first eight restores walk back through the last eight targets ...
    for (int expected = 8; expected >= 1; --expected) {
        ASSERT_EQ(QIV_RestoreImage(), 0);
        EXPECT_EQ(qiv_target, expected);
    }
    // ... and the ninth returns the oldest remembered one again (window 0 fell off the end).
    ASSERT_EQ(QIV_RestoreImage(), 0);
    EXPECT_EQ(qiv_target, 1);
}

TEST_F(ImageTable, InvalidNumbersChangeNothing) {
    Open(2);
    Open(4);
    ASSERT_EQ(QIV_SelectImage(2), 0);
    ASSERT_EQ(QIV_SelectImage(4), 0);
    int before[QIV_TARGET_HISTORY];
    std::copy(std::begin(qiv_target_history), std::end(qiv_target_history), before);

    EXPECT_EQ(QIV_SelectImage(-1), 1);
    EXPECT_EQ(QIV_SelectImage(256), 1);
    EXPECT_EQ(QIV_SelectImage(5), 1); // free number
    EXPECT_EQ(qiv_target, 4);
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), qiv_target_history));

    // The window to return to has gone: the restore is refused and the target stays.
    qiv_image[2].inUse = 0;
    EXPECT_EQ(QIV_RestoreImage(), 1);
    EXPECT_EQ(qiv_target, 4);
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), qiv_target_history));
}

TEST_F(ImageTable, SelectByHandleSelectsWhatItFinds) {
    Open(6);
    Open(7);
    EXPECT_EQ(SelectImageWindowByHandle(qiv_image[7].hwnd), 7);
    EXPECT_EQ(qiv_target, 7);
    EXPECT_EQ(qiv_target_history[0], 0);
    EXPECT_EQ(SelectImageWindowByHandle(FakeWindow(999)), -1);
    EXPECT_EQ(qiv_target, 7);
    EXPECT_EQ(qiv_target_history[0], 0);
}
