// Small bitmaps in memory DCs for exact-pixel tests.
#pragma once

#include "platform/win32_gdi.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace gditest {

// A memory DC holding a DIB section of the given format. 8-bit canvases get the grey ramp
// (entry i = grey i) unless colours are given.
class Canvas {
public:
    Canvas(int width, int height, int bitsPerPixel = 32, bool topDown = true,
           std::vector<RGBQUAD> colors = {});
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Pixel (x, y) counted from the top, whatever the storage order.
    std::uint32_t Get(int x, int y) const;
    void Set(int x, int y, std::uint32_t value);
    // Row-major values from the top-left; 0x00RRGGBB words or 8-bit indices.
    void Load(std::initializer_list<std::uint32_t> values);
    void Fill(std::uint32_t value);
    std::vector<std::uint32_t> All() const;

private:
    std::uint8_t* RowAt(int y) const;

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint8_t* bits_ = nullptr;
    int width_;
    int height_;
    int bitsPerPixel_;
    bool topDown_;
    int stride_;
};

std::vector<RGBQUAD> GreyRamp();

} // namespace gditest
