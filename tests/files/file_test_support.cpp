#include "tests/files/file_test_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace filetest {

FakeImageWindow::FakeImageWindow(int n, int width, int height, int bits, HWND hwnd) : n_(n) {
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    auto* colors = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < 256; ++i) {
        colors[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    ImageWindowRecord& record = qiv_image[n];
    record = ImageWindowRecord{};
    void* pixels = nullptr;
    record.memDC = CreateCompatibleDC(nullptr);
    record.dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                  DIB_RGB_COLORS, &pixels, nullptr, 0);
    record.oldBitmap = static_cast<HBITMAP>(SelectObject(record.memDC, record.dib));
    record.inUse = 1;
    record.bits = bits;
    record.width = width;
    record.height = height;
    record.zoom = 100;
    record.hwnd = hwnd;
    qiv_pixels32[n] = bits == 32 ? static_cast<std::uint32_t*>(pixels) : nullptr;
    qiv_pixels8[n] = bits == 8 ? static_cast<std::uint8_t*>(pixels) : nullptr;
}

FakeImageWindow::~FakeImageWindow() {
    ImageWindowRecord& record = qiv_image[n_];
    SelectObject(record.memDC, record.oldBitmap);
    DeleteObject(record.dib);
    DeleteDC(record.memDC);
    record = ImageWindowRecord{};
    qiv_pixels32[n_] = nullptr;
    qiv_pixels8[n_] = nullptr;
}

std::uint32_t& FakeImageWindow::At32(int x, int y) const {
    return qiv_pixels32[n_][static_cast<std::size_t>(y) * qiv_image[n_].width + x];
}

std::uint8_t& FakeImageWindow::At8(int x, int y) const {
    return qiv_pixels8[n_][static_cast<std::size_t>(y) * ImageStride8(qiv_image[n_].width) + x];
}

void FakeImageWindow::Fill(std::uint32_t value) const {
    for (int y = 0; y < qiv_image[n_].height; ++y) {
        for (int x = 0; x < qiv_image[n_].width; ++x) {
            if (qiv_image[n_].bits == 32) {
                At32(x, y) = value;
            } else {
                At8(x, y) = static_cast<std::uint8_t>(value);
            }
        }
    }
}

std::vector<std::uint32_t> FakeImageWindow::Table() const {
    RGBQUAD colors[256];
    GetDIBColorTable(qiv_image[n_].memDC, 0, 256, colors);
    std::vector<std::uint32_t> table;
    for (const RGBQUAD& c : colors) {
        table.push_back((std::uint32_t{c.rgbRed} << 16) | (c.rgbGreen << 8) | c.rgbBlue);
    }
    return table;
}

void FakeImageWindow::SetTable(const std::vector<std::uint32_t>& table) const {
    std::vector<RGBQUAD> colors;
    for (std::uint32_t c : table) {
        colors.push_back(RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8),
                                 static_cast<BYTE>(c >> 16), 0});
    }
    SetDIBColorTable(qiv_image[n_].memDC, 0, static_cast<UINT>(colors.size()), colors.data());
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

bool ReadPicture(const std::string& path, Picture* picture) {
    const std::wstring wide(path.begin(), path.end());
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(wide.c_str(), &image) != Ok) {
        return false;
    }
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    GdipGetImagePixelFormat(image, &picture->format);
    INT size = 0;
    GdipGetImagePaletteSize(image, &size);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    GdipGetImagePalette(image, reinterpret_cast<ColorPalette*>(bytes.data()), size);
    picture->palette.clear();
    for (INT i = 8; i + 4 <= size; i += 4) {
        std::uint32_t entry = 0;
        std::memcpy(&entry, bytes.data() + i, 4);
        picture->palette.push_back(entry & 0xFFFFFF);
    }
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    // Drawn into a 32-bit window of its size, as the framework does.
    {
        FakeImageWindow canvas(255, picture->width, picture->height, 32);
        GpGraphics* graphics = nullptr;
        GdipCreateFromHDC(qiv_image[255].memDC, &graphics);
        GdipDrawImageRectI(graphics, image, 0, 0, picture->width, picture->height);
        GdipDeleteGraphics(graphics);
        picture->pixels.assign(qiv_pixels32[255],
                               qiv_pixels32[255] + static_cast<std::size_t>(width) * height);
    }
    GdipDisposeImage(image);
    return true;
}

std::vector<std::uint32_t> TestTable() {
    std::vector<std::uint32_t> table(256);
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<std::uint32_t>(i * 0x030507) & 0xFFFFFF;
    }
    return table;
}

} // namespace filetest
