// Direct access to the pixels behind a device context or a bitmap, for the other platform
// parts that draw or read pixels themselves (GDI+ loading pictures into a memory DC's bitmap,
// saving from DIB sections, the clipboard).
//
// An access keeps the bitmap alive for as long as it exists; for a window DC it holds the
// window's client surface locked, so keep it short and do not call back into the windowing
// part meanwhile. Other threads drawing into the same bitmap must be kept out by the caller.
#pragma once

#include "platform/gdi/pixel_buffer.h"
#include "platform/win32_gdi.h"

#include <memory>

namespace platform::gdi {

class DrawTarget;

class DcPixels {
public:
    // The bitmap selected into a memory DC, or the client surface of a window DC. Not valid
    // for the screen DC, stale handles or a window without a surface.
    explicit DcPixels(HDC hdc);
    ~DcPixels(); // a window surface is unlocked and the changed area shown
    DcPixels(const DcPixels&) = delete;
    DcPixels& operator=(const DcPixels&) = delete;

    bool Valid() const;
    // Rows, format and (for 8 bits) colour table. Colours are 0x00RRGGBB words in 32-bit
    // buffers; bitmaps may be stored bottom-up (rowStep < 0).
    const PixelBuffer& Pixels() const;
    // Reports pixels written through Pixels(), so a window shows them.
    void MarkChanged(const RECT& rect);

private:
    std::unique_ptr<DrawTarget> target_;
    bool valid_ = false;
};

class BitmapPixels {
public:
    explicit BitmapPixels(HBITMAP bitmap);
    ~BitmapPixels();
    BitmapPixels(const BitmapPixels&) = delete;
    BitmapPixels& operator=(const BitmapPixels&) = delete;

    bool Valid() const { return keepAlive_ != nullptr; }
    const PixelBuffer& Pixels() const { return pixels_; }

private:
    std::shared_ptr<void> keepAlive_;
    PixelBuffer pixels_;
};

} // namespace platform::gdi
