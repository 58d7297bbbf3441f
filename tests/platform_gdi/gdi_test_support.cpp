#include "gdi_test_support.h"

#include <cstring>
#include <stdexcept>

namespace gditest {

std::vector<RGBQUAD> GreyRamp() {
    std::vector<RGBQUAD> colors(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<BYTE>(i);
        colors[i] = RGBQUAD{v, v, v, 0};
    }
    return colors;
}

Canvas::Canvas(int width, int height, int bitsPerPixel, bool topDown, std::vector<RGBQUAD> colors)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel), topDown_(topDown),
      stride_((width * bitsPerPixel + 31) / 32 * 4) {
    if (bitsPerPixel == 8 && colors.empty()) {
        colors = GreyRamp();
    }
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = topDown ? -height : height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(colors.size());
    std::memcpy(info.data(), &header, sizeof header);
    if (!colors.empty()) {
        std::memcpy(info.data() + sizeof header, colors.data(), colors.size() * sizeof(RGBQUAD));
    }
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<const BITMAPINFO*>(info.data()),
                               DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc_ || !bitmap_ || !bits) {
        throw std::runtime_error("canvas not created");
    }
    bits_ = static_cast<std::uint8_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

std::uint8_t* Canvas::RowAt(int y) const {
    return bits_ + static_cast<std::ptrdiff_t>(topDown_ ? y : height_ - 1 - y) * stride_;
}

std::uint32_t Canvas::Get(int x, int y) const {
    const std::uint8_t* row = RowAt(y);
    switch (bitsPerPixel_) {
    case 32: {
        std::uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
    }
    case 24:
        return (std::uint32_t{row[3 * x + 2]} << 16) | (std::uint32_t{row[3 * x + 1]} << 8) |
               row[3 * x];
    default:
        return row[x];
    }
}

void Canvas::Set(int x, int y, std::uint32_t value) {
    std::uint8_t* row = RowAt(y);
    switch (bitsPerPixel_) {
    case 32:
        std::memcpy(row + 4 * x, &value, 4);
        break;
    case 24:
        row[3 * x] = static_cast<std::uint8_t>(value);
        row[3 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<std::uint8_t>(value >> 16);
        break;
    default:
        row[x] = static_cast<std::uint8_t>(value);
        break;
    }
}

void Canvas::Load(std::initializer_list<std::uint32_t> values) {
    int i = 0;
    for (std::uint32_t v : values) {
        Set(i % width_, i / width_, v);
        ++i;
    }
}

void Canvas::Fill(std::uint32_t value) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Set(x, y, value);
        }
    }
}

std::vector<std::uint32_t> Canvas::All() const {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            out.push_back(Get(x, y));
        }
    }
    return out;
}

} // namespace gditest
