// The colour and font commands of the tools menu: the desktop's colour dialog for the drawing
// colours, and its font dialog for the TrueType drawing font.
#include "imageops/drawing.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_commands.h"
#include "platform/win32.h"
#include "runtime/program_state.h"

#include <algorithm>
#include <iterator>
#include <cstdint>

COLORREF qiv_customColors[16];

namespace {

COLORREF ToColorRef(int color) {
    const auto c = static_cast<std::uint32_t>(color);
    return RGB(static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c));
}

int FromColorRef(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

void ResetCustomColours() {
    std::fill(std::begin(qiv_customColors), std::end(qiv_customColors), COLORREF{0});
}

void ChangeColor(HWND hwnd) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd;
    cc.rgbResult = ToColorRef(qiv_color);
    cc.lpCustColors = qiv_customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    // A cancelled dialog leaves rgbResult at the starting colour, which is stored all the same.
    ChooseColorW(&cc);
    qiv_color = FromColorRef(cc.rgbResult);
    qiv_tttc = qiv_color;
    qiv_tc = qiv_color;
}

void ChangeFont(HWND hwnd) {
    LOGFONTW lf{};
    if (qiv_ttFont == nullptr || GetObjectW(qiv_ttFont, sizeof lf, &lf) != sizeof lf) {
        // After a failed size change there is no font: start from the drawing size.
        lf.lfHeight = qiv_ttHeight;
        lf.lfWidth = qiv_ttWidth;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    }
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = hwnd;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_ANSIONLY;
    cf.nFontType = SCREEN_FONTTYPE;
    ChooseFontW(&cf);
    HFONT font = CreateFontIndirectW(&lf);
    if (font == nullptr) {
        return; // the old font stays
    }
    if (qiv_ttFont != nullptr) {
        DeleteObject(qiv_ttFont);
    }
    qiv_ttFont = font;
}
