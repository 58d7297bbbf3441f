// The objects behind the flat API's opaque pointers, and the codec seam to the Qt backend.
#pragma once

#include "photoio/photo_limits.h"
#include "platform/win32_gdiplus.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct GpImage {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat32bppARGB;
    // Always present: width × height words 0xAARRGGBB, top-down, what drawing uses.
    std::vector<std::uint32_t> argb;
    // Indexed pictures also keep their indices and table, so saving keeps them exact.
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette; // 0xAARRGGBB
};

struct GpGraphics {
    HDC hdc = nullptr;
};

namespace platform::gdiplus {

// Decoded sizes above the program's one limit are refused before any pixel memory is taken.
constexpr int MAX_IMAGE_SIDE = PHOTO_MAX_SIDE;
constexpr std::int64_t MAX_IMAGE_PIXELS = PHOTO_MAX_PIXELS;

enum class FileFormat { Bmp, Jpeg, Gif, Png, Tiff };

// Decodes a file into image (argb always; indices and palette for indexed pictures), pixels as
// stored. Implemented by the Qt backend.
GpStatus DecodeImageFile(const std::wstring& path, GpImage* image);

// GIF files are read through giflib, so their indices and table survive.
bool IsGifFile(const std::wstring& path);
GpStatus DecodeGifFile(const std::wstring& path, GpImage* image);

// JPEGs the photo reader decodes: stereo multi-picture files (side by side) and photos with an
// Exif orientation (turned the right way up).
bool IsPhotoReaderFile(const std::wstring& path);
GpStatus DecodePhotoReaderFile(const std::wstring& path, GpImage* image);

// True when a JPEG stream ends its last scan with an end-of-image marker; a file cut short
// inside its scan is refused instead of being shown half grey.
bool JpegLooksComplete(const std::uint8_t* data, std::size_t size);

// True when every PNG chunk up to the end chunk lies inside the file. The decoder takes a
// chunk's stated length at its word and allocates it first: a 280-byte file claiming a
// 1.3 GB text chunk after its pixels would cost that much memory and time.
bool PngChunksFit(const std::uint8_t* data, std::size_t size);

// True unless an uncompressed BMP's rows reach past the end of the file: a 72-byte file may
// claim 28672 × 3072 pixels, which the decoder would allocate, convert and pad with nothing.
bool BmpRowsFit(const std::uint8_t* data, std::size_t size);

// Encodes image in one of the formats the backend writes (all but Gif). quality is 0..100 for
// JPEG and ignored otherwise.
GpStatus EncodeImage(const GpImage& image, FileFormat format, int quality,
                     std::vector<std::uint8_t>* bytes);

// Encodes image as GIF (giflib), quantising pictures that are not indexed.
GpStatus EncodeGif(const GpImage& image, std::vector<std::uint8_t>* bytes);

// Writes bytes to path through a temporary file in the same folder and a rename, so the name
// holds either the old file or the whole new one.
GpStatus WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

} // namespace platform::gdiplus
