#include "tests/platform_gdiplus/gdiplus_test_support.h"
#include "tests/platform_gdi/gdi_test_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace gdiplustest {

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string DataFile(const std::string& name) {
    return std::string(QIV_TEST_DATA) + "/" + name;
}

bool EncoderFor(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok) {
        return false;
    }
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, size, codecs) != Ok) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

GpBitmap* MakeRgbBitmap(int width, int height, const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint32_t> copy = pixels;
    GpBitmap* wrapper = nullptr;
    GpBitmap* clone = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 4 * width, PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(copy.data()), &wrapper) != Ok) {
        return nullptr;
    }
    GdipCloneBitmapAreaI(0, 0, width, height, PixelFormat24bppRGB, wrapper, &clone);
    GdipDisposeImage(wrapper);
    return clone;
}

GpBitmap* MakeIndexedBitmap(int width, int height, const std::vector<std::uint32_t>& table,
                            const std::vector<std::uint8_t>& indices) {
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biCompression = BI_RGB;
    auto* colors = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    for (std::size_t i = 0; i < table.size() && i < 256; ++i) {
        colors[i] = RGBQUAD{static_cast<BYTE>(table[i]), static_cast<BYTE>(table[i] >> 8),
                            static_cast<BYTE>(table[i] >> 16), 0};
    }
    const int stride = (width + 3) & ~3;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * height);
    for (int y = 0; y < height; ++y) {
        std::memcpy(rows.data() + static_cast<std::size_t>(y) * stride,
                    indices.data() + static_cast<std::size_t>(y) * width, width);
    }
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromGdiDib(reinterpret_cast<BITMAPINFO*>(info.data()), rows.data(), &bitmap);
    return bitmap;
}

GpStatus Save(GpImage* image, const std::string& path, const wchar_t* mimeType, int quality) {
    CLSID clsid{};
    if (!EncoderFor(mimeType, &clsid)) {
        return FileNotFound;
    }
    ULONG value = static_cast<ULONG>(quality);
    EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0] =
        EncoderParameter{EncoderQuality, 1, EncoderParameterValueTypeLong, &value};
    return GdipSaveImageToFile(image, Wide(path).c_str(), &clsid,
                               quality >= 0 ? &parameters : nullptr);
}

bool Load(const std::string& path, Loaded* loaded) {
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(Wide(path).c_str(), &image) != Ok) {
        return false;
    }
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    INT paletteSize = 0;
    GdipGetImagePaletteSize(image, &paletteSize);
    std::vector<std::uint8_t> paletteBytes(static_cast<std::size_t>(paletteSize));
    auto* palette = reinterpret_cast<ColorPalette*>(paletteBytes.data());
    if (GdipGetImagePalette(image, palette, paletteSize) == Ok) {
        loaded->palette.clear();
        for (UINT i = 0; i < palette->Count; ++i) {
            ARGB entry = 0;
            std::memcpy(&entry, paletteBytes.data() + 8 + 4 * i, 4);
            loaded->palette.push_back(entry & 0xFFFFFF);
        }
    }
    gditest::Canvas canvas(static_cast<int>(width), static_cast<int>(height));
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(canvas.dc(), &graphics);
    GdipDrawImageRectI(graphics, image, 0, 0, static_cast<INT>(width), static_cast<INT>(height));
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(image);
    loaded->width = static_cast<int>(width);
    loaded->height = static_cast<int>(height);
    loaded->pixels = canvas.All();
    return true;
}

std::uintmax_t FileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

} // namespace gdiplustest
