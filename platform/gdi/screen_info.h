// The screen that screen-compatible DCs and bitmaps stand for (platform/qt/gdi_screen_qt.cpp).
#pragma once

namespace platform::gdi {

struct ScreenInfo {
    int width = 0; // pixels; 0 before a GUI application exists
    int height = 0;
    int bitsPerPixel = 32;
};

ScreenInfo QueryScreenInfo();

} // namespace platform::gdi
