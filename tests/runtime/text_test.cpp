// The status line's layout and the narrow/wide conversions behind every window text.
#include "runtime/status_line.h"
#include "runtime/text_convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Field(const char* text) {
    char field[QIV_STATUS_FIELD];
    FormatStatusField(text, field);
    return field;
}

TEST(StatusField, ShortTextsAreCentredByPadding) {
    EXPECT_EQ(Field("Ready"), std::string(16, ' ') + "Ready");
    EXPECT_EQ(Field("32-bit color"), std::string(12, ' ') + "32-bit color");
    EXPECT_EQ(Field(""), std::string(18, ' '));
    // From 36 bytes on the text starts at the left edge.
    std::string wide(40, 'w');
    EXPECT_EQ(Field(wide.c_str()), wide);
}

TEST(StatusField, LongTextsAreCutAtACharacterBoundary) {
    std::string fits(63, 'a');
    EXPECT_EQ(Field(fits.c_str()), fits);
    std::string longer(100, 'b');
    EXPECT_EQ(Field(longer.c_str()), std::string(63, 'b'));
    // 61 ASCII bytes and a three-byte character: the character does not fit and is dropped
    // whole.
    std::string mixed = std::string(61, 'c') + "あい";
    EXPECT_EQ(Field(mixed.c_str()), std::string(61, 'c'));
    std::string exact = std::string(60, 'c') + "あ";
    EXPECT_EQ(Field(exact.c_str()), exact);
}

TEST(TextConversion, Utf8ToWideDecodesAndReplacesMalformedBytes) {
    wchar_t out[16];
    EXPECT_EQ(Utf8ToWide("aé日😀", out, 16), 4);
    EXPECT_EQ(std::wstring(out), std::wstring(L"a\u00e9\u65e5\U0001F600"));
    // A lone lead byte, a stray continuation byte, an overlong form and a truncated sequence.
    EXPECT_EQ(Utf8ToWide("x\xff\x80\xc0\xafy\xe6\x97", out, 16), 7);
    EXPECT_EQ(std::wstring(out), std::wstring(L"x\uFFFD\uFFFD\uFFFD\uFFFDy\uFFFD"));
    EXPECT_EQ(Utf8ToWide(nullptr, out, 16), 0);
    EXPECT_EQ(out[0], L'\0');
}

TEST(TextConversion, BuffersAreNeverOverrun) {
    wchar_t wide[4];
    EXPECT_EQ(Utf8ToWide("abcdef", wide, 4), 3);
    EXPECT_EQ(std::wstring(wide), L"abc");
    char narrow[8];
    std::memset(narrow, 'z', sizeof narrow);
    // "a" + "あ" + "い" needs 7 bytes and the terminator 8; with 6 the second character goes.
    EXPECT_EQ(WideToUtf8(L"a\u3042\u3044", narrow, 6), 4);
    EXPECT_STREQ(narrow, "a\u3042");
    EXPECT_EQ(narrow[5], 'z');
    EXPECT_EQ(WideToUtf8(L"a\u3042\u3044", narrow, 8), 7);
    EXPECT_STREQ(narrow, "a\u3042\u3044");
}

TEST(TextConversion, PrefixLengthBacksUpOverAtMostOneCharacter) {
    EXPECT_EQ(Utf8PrefixLength("abc", 10), 3u);
    EXPECT_EQ(Utf8PrefixLength("ab\u3042", 4), 2u);
    EXPECT_EQ(Utf8PrefixLength("ab\U0001F600", 5), 2u);
    // A run of stray continuation bytes is cut where the limit falls.
    EXPECT_EQ(Utf8PrefixLength("a\x80\x80\x80\x80\x80\x80", 5), 5u);
    EXPECT_EQ(Utf8PrefixLength(nullptr, 5), 0u);
}

} // namespace
