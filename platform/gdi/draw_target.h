// The pixels behind a device context for the length of one operation: the selected bitmap of
// a memory DC, or the locked client surface of a window DC.
#pragma once

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/pixel_buffer.h"
#include "platform/window_surface.h"

#include <memory>

namespace platform::gdi {

class DrawTarget {
public:
    DrawTarget() = default;
    ~DrawTarget();
    DrawTarget(const DrawTarget&) = delete;
    DrawTarget& operator=(const DrawTarget&) = delete;

    // False for the screen DC and for a window without a client surface.
    bool Open(const DcState& dc);
    // Uses the pixels of other when both name the same window, so it is locked only once.
    bool OpenBeside(const DcState& dc, const DrawTarget& other);

    const PixelBuffer& Pixels() const { return pixels_; }
    HWND Window() const { return lockedWindow_; }
    // Adds to the area the desktop is told about when a window surface is unlocked.
    void Changed(const RECT& rect);

private:
    PixelBuffer pixels_;
    std::shared_ptr<Bitmap> bitmap_; // keeps a memory DC's bitmap alive
    HWND lockedWindow_ = nullptr;
    HWND sharedWindow_ = nullptr;
    RECT changed_{};
};

// Opens the targets of a blit's two DCs, locking window surfaces in a fixed order so that two
// threads blitting between the same two windows in opposite directions cannot deadlock.
bool OpenPair(const DcState& dst, DrawTarget* dstTarget, const DcState& src, DrawTarget* srcTarget);

// Replaces the windowing part's surface functions; tests use it to give windows fake surfaces.
// Null restores the real ones.
using LockSurfaceFunction = bool (*)(HWND, WindowSurface*);
using UnlockSurfaceFunction = void (*)(HWND, const RECT*);
void SetWindowSurfaceFunctions(LockSurfaceFunction lock, UnlockSurfaceFunction unlock);

} // namespace platform::gdi
