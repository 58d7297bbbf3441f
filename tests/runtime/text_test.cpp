// The status line's layout and the narrow/wide conversions behind every window text, printed
// line and path.
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
    // Characters count, not bytes: 63 of them fit whatever their length in UTF-8.
    std::string mixed = std::string(61, 'c') + "あい";
    EXPECT_EQ(Field(mixed.c_str()), mixed);
    std::string japanese;
    for (int i = 0; i < 64; ++i) {
        japanese += "あ";
    }
    EXPECT_EQ(Field(japanese.c_str()), japanese.substr(0, 63 * 3));
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

TEST(TextConversion, Utf8ToWideReplacesInterruptedOverlongAndSurrogateSequences) {
    wchar_t out[16];
    // A lone continuation, an interrupted sequence, an overlong form and a surrogate.
    EXPECT_EQ(Utf8ToWide("\x80"
                         "b\xE6\x97"
                         "c\xE0\x80\x80\xED\xA0\x80",
                         out, 16),
              6);
    EXPECT_EQ(std::wstring(out), (std::wstring{0xFFFD, L'b', 0xFFFD, L'c', 0xFFFD, 0xFFFD}));
}

TEST(TextConversion, CountedEncodingNeverSplitsACharacterAndReplacesNonCharacters) {
    const std::wstring text(100, wchar_t{0x65E5}); // 3 bytes each
    char out[256];
    EXPECT_EQ(WideCharsToUtf8(text.c_str(), 100, out, 256), 255);
    EXPECT_EQ(std::strlen(out), 255u);
    char small[6];
    EXPECT_EQ(WideCharsToUtf8(text.c_str(), 100, small, 6), 3);
    EXPECT_STREQ(small, "\xE6\x97\xA5");
    // Only count characters are read: no terminator needed.
    EXPECT_EQ(WideCharsToUtf8(text.c_str(), 1, out, 256), 3);
    const wchar_t bad[] = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                           static_cast<wchar_t>(-1)};
    EXPECT_EQ(WideCharsToUtf8(bad, 3, out, 256), 9);
    EXPECT_STREQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextConversion, WholeConversionsRefuseWhatDoesNotFit) {
    wchar_t wide[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_TRUE(Utf8ToWideIfFits("a\u3042c", wide, 4));
    EXPECT_EQ(std::wstring(wide), L"a\u3042c");
    EXPECT_FALSE(Utf8ToWideIfFits("abcd", wide, 4));
    EXPECT_EQ(wide[0], L'\0');
    EXPECT_FALSE(Utf8ToWideIfFits(nullptr, wide, 4));
    EXPECT_TRUE(Utf8ToWideIfFits("", wide, 1));

    char narrow[5];
    EXPECT_TRUE(WideToUtf8IfFits(L"a\u3042", narrow, 5));
    EXPECT_STREQ(narrow, "a\u3042");
    // The second character would have to be cut: nothing is kept rather than another name.
    EXPECT_FALSE(WideToUtf8IfFits(L"\u3042\u3044", narrow, 5));
    EXPECT_STREQ(narrow, "");
    EXPECT_FALSE(WideToUtf8IfFits(nullptr, narrow, 5));
}

TEST(TextConversion, CharBoundaryCutsBeforeAnIncompleteSequenceOnly) {
    const char* text = "ab\xE6\x97\xA5"; // ab日
    EXPECT_EQ(Utf8CharBoundary(text, 5), 5);
    EXPECT_EQ(Utf8CharBoundary(text, 4), 2);
    EXPECT_EQ(Utf8CharBoundary(text, 3), 2);
    EXPECT_EQ(Utf8CharBoundary(text, 2), 2);
    EXPECT_EQ(Utf8CharBoundary("\xF0\x9F\x98", 3), 0);
    // Stray continuation bytes have no lead to cut back to: they stay.
    EXPECT_EQ(Utf8CharBoundary("a\x80\x80\x80\x80", 5), 5);
}

} // namespace
