// BitBlt, StretchBlt and the fills, on the pixels behind device contexts.
#include "platform/gdi/blit_pixels.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/draw_target.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/rop.h"

#include <algorithm>

using platform::gdi::BlitParams;
using platform::gdi::DcState;
using platform::gdi::DrawTarget;

namespace {

BOOL Blit(HDC dest, HDC src, BlitParams params, bool useDestMode) {
    const std::uint8_t rop3 = platform::gdi::Rop3(params.rop);
    DcState d;
    if (!platform::gdi::ReadDcState(dest, &d)) {
        return FALSE;
    }
    if (useDestMode) {
        params.stretchMode = d.stretchMode;
    }
    if (platform::gdi::RopUsesPattern(rop3)) {
        params.hasPattern = d.brush && !d.brush->hollow;
        params.pattern = d.brush ? platform::gdi::RgbFromColorRef(d.brush->color) : 0;
    }
    DrawTarget dstTarget;
    if (!platform::gdi::RopUsesSource(rop3)) {
        if (!dstTarget.Open(d)) {
            return FALSE;
        }
        dstTarget.Changed(platform::gdi::BlitPixels(dstTarget.Pixels(), nullptr, params));
        return TRUE;
    }
    DcState s;
    DrawTarget srcTarget;
    if (!platform::gdi::ReadDcState(src, &s) ||
        !platform::gdi::OpenPair(d, &dstTarget, s, &srcTarget)) {
        return FALSE;
    }
    dstTarget.Changed(platform::gdi::BlitPixels(dstTarget.Pixels(), &srcTarget.Pixels(), params));
    return TRUE;
}

BOOL FillWith(HDC hdc, const RECT* rect, DWORD rop, std::uint32_t pattern) {
    if (!rect) {
        return FALSE;
    }
    // Coordinates this far out cover the same pixels, and their differences cannot overflow.
    auto near = [](LONG v) { return std::clamp<LONG>(v, -(1 << 29), 1 << 29); };
    BlitParams params;
    params.dstX = {near(rect->left), near(rect->right) - near(rect->left)};
    params.dstY = {near(rect->top), near(rect->bottom) - near(rect->top)};
    params.rop = rop;
    params.pattern = pattern;
    // An inverted rectangle fills nothing, as on Win32.
    if (params.dstX.extent <= 0 || params.dstY.extent <= 0) {
        DcState d;
        return platform::gdi::ReadDcState(hdc, &d) ? TRUE : FALSE;
    }
    DcState d;
    DrawTarget target;
    if (!platform::gdi::ReadDcState(hdc, &d) || !target.Open(d)) {
        return FALSE;
    }
    target.Changed(platform::gdi::BlitPixels(target.Pixels(), nullptr, params));
    return TRUE;
}

} // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    BlitParams params;
    params.dstX = {x, width};
    params.dstY = {y, height};
    params.srcX = {srcX, width};
    params.srcY = {srcY, height};
    params.rop = rop;
    return Blit(dest, src, params, false);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
    BlitParams params;
    params.dstX = {x, width};
    params.dstY = {y, height};
    params.srcX = {srcX, srcWidth};
    params.srcY = {srcY, srcHeight};
    params.rop = rop;
    return Blit(dest, src, params, true);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    if (platform::gdi::RopUsesSource(platform::gdi::Rop3(rop))) {
        return FALSE;
    }
    BlitParams params;
    params.dstX = {x, width};
    params.dstY = {y, height};
    params.rop = rop;
    return Blit(hdc, nullptr, params, false);
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    COLORREF color = 0;
    if (!platform::gdi::BrushColor(brush, &color)) {
        // A hollow brush paints nothing; anything else that is not a brush fails.
        DcState d;
        return GetObjectType(brush) == OBJ_BRUSH && platform::gdi::ReadDcState(hdc, &d) ? TRUE
                                                                                        : FALSE;
    }
    return FillWith(hdc, rect, PATCOPY, platform::gdi::RgbFromColorRef(color));
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
    return FillWith(hdc, rect, DSTINVERT, 0);
}
