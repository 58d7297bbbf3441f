// Loading pictures into the current image window and saving it, through GDI+.
#include "imagewin/image_files.h"
#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"
#include "photoio/photo_limits.h"
#include "runtime/text_convert.h"

#include <cstring>
#include <cwctype>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

char lastLoadDir[QIV_LONG_PATH];
char lastSaveDir[QIV_LONG_PATH];
int openFilterIndex = 2;
int saveFilterIndex = 2;
int jpegQuality = 100;

namespace {

struct SaveFormat {
    const WCHAR* mimeType;
    const WCHAR* extension;
};
constexpr SaveFormat SAVE_FORMATS[] = {
    {L"image/bmp", L".bmp"}, {L"image/jpeg", L".jpg"}, {L"image/gif", L".gif"},
    {L"image/png", L".png"}, {L"image/tiff", L".tif"},
};
constexpr int FORMAT_JPEG = 1;

// Copies the window's palette into an 8-bit picture's colour table and makes a bitmap of the
// top-left width × height pixels.
GpBitmap* EightBitPicture(const ImageWindowRecord& record, int width, int height,
                          HBITMAP* section) {
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biCompression = BI_RGB;
    header->biXPelsPerMeter = 2834;
    header->biYPelsPerMeter = 2834;
    auto* colors = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
    GetDIBColorTable(record.memDC, 0, 256, colors);
    void* bits = nullptr;
    *section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                &bits, nullptr, 0);
    if (*section == nullptr || bits == nullptr) {
        return nullptr;
    }
    const std::size_t stride = static_cast<std::size_t>(ImageStride8(width));
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        CopyImageRect(row.data(), 0, y, width, 1);
        std::memcpy(static_cast<std::uint8_t*>(bits) + stride * y, row.data(), row.size());
    }
    GpBitmap* picture = nullptr;
    GdipCreateBitmapFromGdiDib(reinterpret_cast<BITMAPINFO*>(info.data()), bits, &picture);
    return picture;
}

GpBitmap* TwentyFourBitPicture(int width, int height) {
    std::vector<std::uint32_t> pixels;
    try {
        pixels.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    CopyImageRect(pixels.data(), 0, 0, width, height);
    GpBitmap* wrapper = nullptr;
    GpBitmap* clone = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, 4 * width, PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(pixels.data()), &wrapper) != Ok) {
        return nullptr;
    }
    GdipCloneBitmapAreaI(0, 0, width, height, PixelFormat24bppRGB, wrapper, &clone);
    GdipDisposeImage(wrapper);
    return clone;
}

// Whether the last four characters, lower-cased, contain the extension (so ".BMP" and
// ".tiff" count for ".bmp" and ".tif", but ".jpeg" does not for ".jpg").
bool EndsInExtension(const WCHAR* path, const WCHAR* extension) {
    const std::size_t length = std::wcslen(path);
    if (length < 4) {
        return false;
    }
    WCHAR tail[5];
    for (int i = 0; i < 4; ++i) {
        tail[i] = static_cast<WCHAR>(std::towlower(static_cast<wint_t>(path[length - 4 + i])));
    }
    tail[4] = 0;
    return std::wcsstr(tail, extension) != nullptr;
}

// Appends extension unless the path already ends in it; false (the path unchanged) when the
// result would not fit capacity characters with the terminator.
bool AppendExtensionWithin(WCHAR* path, std::size_t capacity, const WCHAR* extension) {
    const std::size_t length = std::wcslen(path);
    const std::size_t extLength = std::wcslen(extension);
    if (EndsInExtension(path, extension)) {
        return true;
    }
    if (length + extLength + 1 > capacity) {
        return false;
    }
    std::wmemcpy(path + length, extension, extLength + 1);
    return true;
}

// A UTF-8 path as UTF-16/32 in full; empty when it is not valid or too long for the system.
std::vector<WCHAR> WidePath(const char* path) {
    std::vector<WCHAR> wide(QIV_LONG_PATH);
    if (!Utf8ToWideIfFits(path, wide.data(), QIV_LONG_PATH)) {
        wide.assign(1, 0);
    }
    return wide;
}

} // namespace

void ResetImageFileSettings() {
    std::error_code error;
    const std::string current = std::filesystem::current_path(error).string();
    lastLoadDir[0] = 0;
    if (!error && current.size() < QIV_LONG_PATH) {
        std::memcpy(lastLoadDir, current.c_str(), current.size() + 1);
    }
    std::memcpy(lastSaveDir, lastLoadDir, sizeof(lastSaveDir));
    openFilterIndex = 2;
    saveFilterIndex = 2;
    jpegQuality = 100;
}

int QIV_LoadImage(const char* path, int x, int y) {
    if (!IsImageWindowInUse(qiv_target)) {
        return 2;
    }
    const ImageWindowRecord& record = qiv_image[qiv_target];
    const std::vector<WCHAR> widePath = WidePath(path);
    if (widePath[0] == 0) {
        return 1;
    }
    GpImage* picture = nullptr;
    GdipLoadImageFromFile(widePath.data(), &picture);
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(picture, &width);
    GdipGetImageHeight(picture, &height);
    if (width == 0 || height == 0) {
        if (picture != nullptr) {
            GdipDisposeImage(picture);
        }
        return 1;
    }
    if (record.bits == 8) {
        INT size = 0;
        GdipGetImagePaletteSize(picture, &size);
        const int count = size > 8 ? (size - 8) / 4 : 0;
        if (count > 0) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
            auto* palette = reinterpret_cast<ColorPalette*>(bytes.data());
            if (GdipGetImagePalette(picture, palette, size) == Ok) {
                RGBQUAD table[256];
                const int used = count < 256 ? count : 256;
                for (int i = 0; i < used; ++i) {
                    ARGB entry = 0;
                    std::memcpy(&entry, bytes.data() + 8 + 4 * i, sizeof(entry));
                    table[i] = RGBQUAD{static_cast<BYTE>(entry), static_cast<BYTE>(entry >> 8),
                                       static_cast<BYTE>(entry >> 16), 0};
                }
                SetDIBColorTable(record.memDC, 0, static_cast<UINT>(used), table);
            }
        }
    }
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(record.memDC, &graphics);
    GdipDrawImageRectI(graphics, picture, x, y, static_cast<INT>(width), static_cast<INT>(height));
    GdipDisposeImage(picture);
    if (graphics != nullptr) {
        GdipDeleteGraphics(graphics);
    }
    return 0;
}

void CopyImageRect(void* dst, int x, int y, int w, int h) {
    if (!IsImageWindowInUse(qiv_target) || dst == nullptr || w <= 0 || h <= 0) {
        return;
    }
    const int n = qiv_target;
    const ImageWindowRecord& record = qiv_image[n];
    const auto width = static_cast<unsigned>(record.width);
    const auto height = static_cast<unsigned>(record.height);
    if (record.bits == 8) {
        auto* out = static_cast<std::uint8_t*>(dst);
        const std::size_t stride = static_cast<std::size_t>(ImageStride8(record.width));
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const unsigned px = static_cast<unsigned>(x + i);
                const unsigned py = static_cast<unsigned>(y + j);
                *out++ = px < width && py < height ? qiv_pixels8[n][py * stride + px] : 0;
            }
        }
        return;
    }
    auto* out = static_cast<std::uint32_t*>(dst);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const unsigned px = static_cast<unsigned>(x + i);
            const unsigned py = static_cast<unsigned>(y + j);
            *out++ = px < width && py < height
                         ? qiv_pixels32[n][static_cast<std::size_t>(py) * width + px]
                         : 0;
        }
    }
}

void FindImageEncoder(const WCHAR* mimeType, CLSID* clsid) {
    UINT count = 0;
    UINT size = 0;
    if (mimeType == nullptr || clsid == nullptr || GdipGetImageEncodersSize(&count, &size) != Ok ||
        size == 0) {
        return;
    }
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, size, codecs) != Ok) {
        return;
    }
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return;
        }
    }
}

void AppendExtension(WCHAR* path, const WCHAR* extension) {
    AppendExtensionWithin(path, QIV_PATH_SIZE, extension);
}

int QIV_SaveImage(int width, int height, int format, const char* path) {
    if (!IsImageWindowInUse(qiv_target)) {
        return 3;
    }
    if (width <= 0 || height <= 0) {
        return 2;
    }
    if (format < 0 || format > 4 || !PhotoSizeAllowed(width, height)) {
        return 1;
    }
    const SaveFormat& chosen = SAVE_FORMATS[format];
    std::vector<WCHAR> extended = WidePath(path);
    if (extended[0] == 0) {
        return 1;
    }
    // A path cut to make room would name another file.
    if (!AppendExtensionWithin(extended.data(), QIV_LONG_PATH, chosen.extension)) {
        return 1;
    }
    CLSID encoder{};
    FindImageEncoder(chosen.mimeType, &encoder);

    const ImageWindowRecord& record = qiv_image[qiv_target];
    HBITMAP section = nullptr;
    GpBitmap* picture = record.bits == 8 ? EightBitPicture(record, width, height, &section)
                                         : TwentyFourBitPicture(width, height);
    int result = 1;
    if (picture != nullptr) {
        ULONG quality = static_cast<ULONG>(jpegQuality);
        EncoderParameters parameters{};
        parameters.Count = 1;
        parameters.Parameter[0] =
            EncoderParameter{EncoderQuality, 1, EncoderParameterValueTypeLong, &quality};
        const GpStatus status = GdipSaveImageToFile(picture, extended.data(), &encoder,
                                                    format == FORMAT_JPEG ? &parameters : nullptr);
        result = status == Ok ? 0 : 1;
        GdipDisposeImage(picture);
    }
    if (section != nullptr) {
        DeleteObject(section);
    }
    return result;
}
