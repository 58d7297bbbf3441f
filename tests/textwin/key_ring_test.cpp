#include "textwin/key_ring.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Drain() {
    std::wstring taken;
    wchar_t c;
    while (KeyRingTake(&c)) {
        taken += c;
    }
    return taken;
}

TEST(KeyRing, KeepsOrderAcrossTheWrap) {
    KeyRingClear();
    for (int round = 0; round < 3; ++round) {
        for (wchar_t c = L'a'; c < L'a' + 200; ++c) {
            ASSERT_TRUE(KeyRingPut(c));
        }
        const std::wstring taken = Drain();
        ASSERT_EQ(taken.size(), 200u);
        EXPECT_EQ(taken.front(), L'a');
        EXPECT_EQ(taken.back(), static_cast<wchar_t>(L'a' + 199));
        EXPECT_EQ(KeyRing.readIndex, -1);
    }
}

TEST(KeyRing, DropsKeysWhenFull) {
    KeyRingClear();
    for (int i = 0; i < QIV_KEY_RING; ++i) {
        ASSERT_TRUE(KeyRingPut(L'x'));
    }
    EXPECT_EQ(KeyRingRoom(), 0);
    EXPECT_EQ(KeyRing.readIndex, KeyRing.writeIndex);
    EXPECT_FALSE(KeyRingPut(L'y'));
    EXPECT_EQ(Drain(), std::wstring(QIV_KEY_RING, L'x'));
    EXPECT_EQ(KeyRingRoom(), QIV_KEY_RING);
}

TEST(PutFirstLine, TakesTextUpToTheFirstLineEnd) {
    KeyRingClear();
    EXPECT_EQ(PutFirstLine(L"first\r\nsecond"), 5);
    EXPECT_EQ(Drain(), L"first");
    EXPECT_EQ(PutFirstLine(L"one\ntwo"), 3);
    EXPECT_EQ(Drain(), L"one");
    // Only as much as the ring has room for.
    for (int i = 0; i < QIV_KEY_RING - 2; ++i) {
        KeyRingPut(L'.');
    }
    EXPECT_EQ(PutFirstLine(L"abc"), 2);
    EXPECT_EQ(Drain().substr(QIV_KEY_RING - 2), L"ab");
}

TEST(LastInputLine, KeepsAtMost255Characters) {
    const std::wstring longLine(300, L'z');
    SetLastInputLine(longLine.c_str(), 300);
    wchar_t copy[QIV_INPUT_CHARS + 1];
    GetLastInputLine(copy);
    EXPECT_EQ(std::wstring(copy), std::wstring(255, L'z'));
}

} // namespace
