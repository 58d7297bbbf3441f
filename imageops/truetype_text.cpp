// TrueType text on the current image window's memory DC, with style switches by control codes.
#include "imageops/text_drawing.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/program_state.h"
#include "runtime/text_convert.h"

#include <climits>
#include <cstdint>
#include <cwchar>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// The drawing font's description at start-up: 16 high, 8 wide, the Japanese Gothic face.
LOGFONTW StartupDescription() {
    LOGFONTW lf{};
    lf.lfHeight = 16;
    lf.lfWidth = 8;
    lf.lfWeight = FW_DONTCARE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::wcsncpy(lf.lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE - 1);
    return lf;
}

// Replaces qiv_ttFont by a font of its own description changed by `change`. After a failed
// size change there is no font to read: the start-up description stands in for it.
template <typename Change>
bool ReplaceFont(Change change) {
    LOGFONTW lf{};
    if (qiv_ttFont == nullptr || GetObjectW(qiv_ttFont, sizeof lf, &lf) != sizeof lf) {
        lf = StartupDescription();
        lf.lfHeight = qiv_ttHeight;
        lf.lfWidth = qiv_ttWidth;
    }
    if (qiv_ttFont != nullptr) {
        DeleteObject(qiv_ttFont);
    }
    change(lf);
    qiv_ttFont = CreateFontIndirectW(&lf);
    return qiv_ttFont != nullptr;
}

COLORREF ToColorRef(int color) {
    const auto c = static_cast<std::uint32_t>(color);
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

void Control(int code) {
    switch (code) {
    case 1:
    case 2:
        ReplaceFont([code](LOGFONTW& lf) { lf.lfItalic = code == 1 ? 1 : 0; });
        break;
    case 3:
    case 4:
        ReplaceFont([code](LOGFONTW& lf) { lf.lfWeight = code == 3 ? FW_BOLD : FW_NORMAL; });
        break;
    case 5:
    case 6:
        ReplaceFont([code](LOGFONTW& lf) { lf.lfUnderline = code == 5 ? 1 : 0; });
        break;
    case 10: {
        const std::int64_t y = std::int64_t{qiv_textY} + qiv_ttHeight;
        qiv_textY = y > INT_MAX ? INT_MAX : (y < INT_MIN ? INT_MIN : static_cast<int>(y));
        qiv_textX = qiv_textLeft;
        break;
    }
    default:
        break;
    }
}

// Bytes a sequence starting with lead takes when complete.
int ExpectedLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
}

} // namespace

void QIV_TTChar(int code) {
    if (code < 32) {
        Control(code);
        return;
    }
    if (!IsImageWindowInUse(qiv_target)) {
        return;
    }
    HDC dc = qiv_image[qiv_target].memDC;
    const wchar_t ch = code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)
                           ? static_cast<wchar_t>(REPLACEMENT)
                           : static_cast<wchar_t>(code);
    SetTextColor(dc, ToColorRef(qiv_tttc));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = qiv_ttFont != nullptr ? SelectObject(dc, qiv_ttFont) : nullptr;
    const std::int64_t top = std::int64_t{qiv_textY} - qiv_ttHeight + 1;
    if (top >= INT_MIN && top <= INT_MAX) {
        TextOutW(dc, qiv_textX, static_cast<int>(top), &ch, 1);
    }
    int advance = 0;
    ABC abc{};
    if (GetCharABCWidthsW(dc, static_cast<UINT>(ch), static_cast<UINT>(ch), &abc)) {
        advance = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
    } else {
        GetCharWidthW(dc, static_cast<UINT>(ch), static_cast<UINT>(ch), &advance);
    }
    if (old != nullptr) {
        SelectObject(dc, old);
    }
    const std::int64_t x = std::int64_t{qiv_textX} + advance;
    qiv_textX = x > INT_MAX ? INT_MAX : static_cast<int>(x);
}

void QIV_TTString(const char* text) {
    if (text == nullptr) {
        return;
    }
    const char* p = text;
    while (*p != '\0') {
        int length = 1;
        const char32_t c = Utf8DecodeOne(p, &length);
        // A sequence cut short by the end of the text is not drawn, and ends the walk.
        if (p[length] == '\0' && length < ExpectedLength(static_cast<unsigned char>(*p))) {
            break;
        }
        QIV_TTChar(static_cast<int>(c));
        p += length;
    }
}

int QIV_TTSetSize(int w, int h) {
    qiv_ttWidth = w / 2;
    qiv_ttHeight = h;
    const bool made = ReplaceFont([w, h](LOGFONTW& lf) {
        lf.lfWidth = w / 2;
        lf.lfHeight = h;
    });
    return made ? 0 : 1;
}

void CreateTrueTypeFont() {
    qiv_ttHeight = 16;
    qiv_ttWidth = 8;
    const LOGFONTW lf = StartupDescription();
    qiv_ttFont = CreateFontIndirectW(&lf);
}
