#include "textwin/utf8_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Utf8CharBoundary, CutsBeforeAnIncompleteSequenceOnly) {
    const char* text = "ab\xE6\x97\xA5"; // ab日
    EXPECT_EQ(Utf8CharBoundary(text, 5), 5);
    EXPECT_EQ(Utf8CharBoundary(text, 4), 2);
    EXPECT_EQ(Utf8CharBoundary(text, 3), 2);
    EXPECT_EQ(Utf8CharBoundary(text, 2), 2);
    EXPECT_EQ(Utf8CharBoundary("\xF0\x9F\x98", 3), 0);
    // Stray continuation bytes have no lead to cut back to: they stay.
    EXPECT_EQ(Utf8CharBoundary("a\x80\x80\x80\x80", 5), 5);
}

TEST(DecodeUtf8, DecodesAndReplacesMalformedBytes) {
    wchar_t out[16];
    EXPECT_EQ(DecodeUtf8("a\xE6\x97\xA5\xF0\x9F\x98\x80", out, 16), 3);
    EXPECT_EQ(std::wstring(out), (std::wstring{L'a', 0x65E5, 0x1F600}));

    // A lone continuation, an interrupted sequence, an overlong form and a surrogate.
    EXPECT_EQ(DecodeUtf8("\x80"
                         "b\xE6\x97"
                         "c\xE0\x80\x80\xED\xA0\x80",
                         out, 16),
              6);
    EXPECT_EQ(std::wstring(out), (std::wstring{0xFFFD, L'b', 0xFFFD, L'c', 0xFFFD, 0xFFFD}));
}

TEST(DecodeUtf8, StopsAtCapacity) {
    wchar_t out[3] = {L'x', L'x', L'x'};
    EXPECT_EQ(DecodeUtf8("abcd", out, 3), 2);
    EXPECT_EQ(std::wstring(out), L"ab");
}

TEST(EncodeUtf8, NeverSplitsACharacterAtTheEnd) {
    const std::wstring text(100, wchar_t{0x65E5}); // 3 bytes each
    char out[256];
    EXPECT_EQ(EncodeUtf8(text.c_str(), 100, out, 256), 255);
    EXPECT_EQ(std::strlen(out), 255u);
    char small[6];
    EXPECT_EQ(EncodeUtf8(text.c_str(), 100, small, 6), 3);
    EXPECT_STREQ(small, "\xE6\x97\xA5");
    const wchar_t bad[] = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000)};
    EXPECT_EQ(EncodeUtf8(bad, 2, out, 256), 6);
    EXPECT_STREQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
