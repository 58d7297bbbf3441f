// Measuring and drawing text with the font selected into a DC.
#include "platform/gdi/draw_target.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text_backend.h"
#include "platform/gdi/text_composite.h"

#include <vector>

using platform::gdi::DcState;
using platform::gdi::Font;
using platform::gdi::TextFace;

namespace {

// Resolves a font once it can be: before a GUI application exists there is no font engine,
// and the next call tries again.
std::shared_ptr<const TextFace> FaceOf(Font& font) {
    std::lock_guard lock(font.faceMutex);
    if (!font.face) {
        font.face = platform::gdi::ResolveTextFace(font.logFont);
    }
    return font.face;
}

std::shared_ptr<const TextFace> FaceOfDc(HDC hdc, DcState* state) {
    if (!platform::gdi::ReadDcState(hdc, state) || !state->font) {
        return nullptr;
    }
    return FaceOf(*state->font);
}

// Ranges beyond the code space are refused rather than filling a caller's memory for ever.
constexpr UINT MAX_RANGE = 0x110000;

BOOL CharAbcs(HDC hdc, UINT first, UINT last, ABC* out) {
    if (!out || last < first || last - first >= MAX_RANGE) {
        return FALSE;
    }
    DcState state;
    std::shared_ptr<const TextFace> face = FaceOfDc(hdc, &state);
    if (!face) {
        return FALSE;
    }
    return platform::gdi::FaceCharAbcs(*face, first, last, out) ? TRUE : FALSE;
}

BOOL CharWidths(HDC hdc, UINT first, UINT last, int* widths) {
    if (!widths || last < first || last - first >= MAX_RANGE) {
        return FALSE;
    }
    std::vector<ABC> abcs(static_cast<std::size_t>(last - first) + 1);
    if (!CharAbcs(hdc, first, last, abcs.data())) {
        return FALSE;
    }
    for (const ABC& abc : abcs) {
        *widths++ = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
    }
    return TRUE;
}

} // namespace

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW metrics) {
    DcState state;
    std::shared_ptr<const TextFace> face = FaceOfDc(hdc, &state);
    if (!face || !metrics) {
        return FALSE;
    }
    *metrics = platform::gdi::FaceMetrics(*face);
    return TRUE;
}

BOOL GetCharABCWidthsW(HDC hdc, UINT first, UINT last, LPABC widths) {
    return CharAbcs(hdc, first, last, widths);
}

BOOL GetCharWidthW(HDC hdc, UINT first, UINT last, int* widths) {
    return CharWidths(hdc, first, last, widths);
}

BOOL GetCharWidth32W(HDC hdc, UINT first, UINT last, int* widths) {
    return CharWidths(hdc, first, last, widths);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
    if (!size || count < 0 || (!text && count > 0)) {
        return FALSE;
    }
    DcState state;
    std::shared_ptr<const TextFace> face = FaceOfDc(hdc, &state);
    if (!face) {
        return FALSE;
    }
    int advance = 0;
    if (!platform::gdi::FaceTextAdvance(*face, text, count, &advance)) {
        return FALSE;
    }
    size->cx = advance;
    size->cy = platform::gdi::FaceMetrics(*face).tmHeight;
    return TRUE;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
    if (count < 0 || (!text && count > 0)) {
        return FALSE;
    }
    DcState state;
    std::shared_ptr<const TextFace> face = FaceOfDc(hdc, &state);
    platform::gdi::DrawTarget target;
    if (!face || !target.Open(state)) {
        return FALSE;
    }
    const platform::gdi::PixelBuffer& pixels = target.Pixels();
    if (count == 0 || !pixels.Valid()) {
        return TRUE;
    }
    platform::gdi::TextMask mask;
    const RECT clip{0, 0, pixels.width, pixels.height};
    if (!platform::gdi::RenderText(*face, text, count, x, y, clip, &mask)) {
        return FALSE;
    }
    platform::gdi::TextColors colors;
    colors.text = platform::gdi::RgbFromColorRef(state.textColor);
    colors.background = platform::gdi::RgbFromColorRef(state.bkColor);
    colors.opaque = state.bkMode == OPAQUE;
    target.Changed(platform::gdi::CompositeText(
        pixels, mask, x, y, platform::gdi::FaceMetrics(*face).tmHeight, colors));
    return TRUE;
}
