// The encoder list and saving pictures to files.
#include "photoio/photo_io.h"
#include "platform/gdiplus/gp_image.h"
#include "platform/user/text.h"

#include <cerrno>
#include <cstring>

namespace {

using platform::gdiplus::FileFormat;

struct Encoder {
    FileFormat format;
    CLSID clsid;
    GUID formatId;
    const wchar_t* name;
    const wchar_t* description;
    const wchar_t* extensions;
    const wchar_t* mimeType;
};

constexpr BYTE CODEC_TAIL[8] = {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e};
constexpr BYTE FORMAT_TAIL[8] = {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e};

constexpr GUID Codec(DWORD first) {
    return GUID{first,
                0x1a04,
                0x11d3,
                {CODEC_TAIL[0], CODEC_TAIL[1], CODEC_TAIL[2], CODEC_TAIL[3], CODEC_TAIL[4],
                 CODEC_TAIL[5], CODEC_TAIL[6], CODEC_TAIL[7]}};
}
constexpr GUID Format(DWORD first) {
    return GUID{first,
                0x0728,
                0x11d3,
                {FORMAT_TAIL[0], FORMAT_TAIL[1], FORMAT_TAIL[2], FORMAT_TAIL[3], FORMAT_TAIL[4],
                 FORMAT_TAIL[5], FORMAT_TAIL[6], FORMAT_TAIL[7]}};
}

constexpr ImageCodecInfo CODEC_TEMPLATE{};
constexpr DWORD ENCODER_FLAGS = 0x00010001 | 0x00000004; // encoder, supports bitmaps, built in

const Encoder ENCODERS[] = {
    {FileFormat::Bmp, Codec(0x557cf400), Format(0xb96b3cab), L"Built-in BMP Codec", L"BMP",
     L"*.BMP;*.DIB;*.RLE", L"image/bmp"},
    {FileFormat::Jpeg, Codec(0x557cf401), Format(0xb96b3cae), L"Built-in JPEG Codec", L"JPEG",
     L"*.JPG;*.JPEG;*.JPE;*.JFIF", L"image/jpeg"},
    {FileFormat::Gif, Codec(0x557cf402), Format(0xb96b3cb0), L"Built-in GIF Codec", L"GIF",
     L"*.GIF", L"image/gif"},
    {FileFormat::Tiff, Codec(0x557cf405), Format(0xb96b3cb1), L"Built-in TIFF Codec", L"TIFF",
     L"*.TIF;*.TIFF", L"image/tiff"},
    {FileFormat::Png, Codec(0x557cf406), Format(0xb96b3caf), L"Built-in PNG Codec", L"PNG",
     L"*.PNG", L"image/png"},
};
constexpr UINT ENCODER_COUNT = sizeof(ENCODERS) / sizeof(ENCODERS[0]);

std::size_t StringBytes(const wchar_t* text) {
    return (std::wcslen(text) + 1) * sizeof(wchar_t);
}

UINT EncoderBufferSize() {
    std::size_t size = ENCODER_COUNT * sizeof(ImageCodecInfo);
    for (const Encoder& e : ENCODERS) {
        size += StringBytes(e.name) + StringBytes(e.description) + StringBytes(e.extensions) +
                StringBytes(e.mimeType);
    }
    return static_cast<UINT>(size);
}

// Reads the JPEG quality parameter; 75 without one, as the encoder's default.
bool QualityOf(const EncoderParameters* parameters, int* quality) {
    *quality = 75;
    if (parameters == nullptr) {
        return true;
    }
    for (UINT i = 0; i < parameters->Count; ++i) {
        const EncoderParameter& p = parameters->Parameter[i];
        if (!(p.Guid == EncoderQuality)) {
            continue;
        }
        if (p.Type != EncoderParameterValueTypeLong || p.NumberOfValues != 1 ||
            p.Value == nullptr) {
            return false;
        }
        const ULONG value = *static_cast<const ULONG*>(p.Value);
        if (value > 100) {
            return false;
        }
        *quality = static_cast<int>(value);
    }
    return true;
}

} // namespace

namespace platform::gdiplus {

GpStatus WriteFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const std::string target = WideToUtf8(path);
    if (target.empty()) {
        return InvalidParameter;
    }
    const int status =
        ::WriteFileAtomically(target.c_str(), bytes.data(), bytes.size(), PHOTO_REPLACE, nullptr);
    if (status == PHOTO_OK) {
        return Ok;
    }
    return status == PHOTO_LINK || errno == EACCES || errno == EROFS ? AccessDenied : Win32Error;
}

} // namespace platform::gdiplus

GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size) {
    if (count == nullptr || size == nullptr) {
        return InvalidParameter;
    }
    *count = ENCODER_COUNT;
    *size = EncoderBufferSize();
    return Ok;
}

GpStatus GdipGetImageEncoders(UINT count, UINT size, ImageCodecInfo* encoders) {
    if (encoders == nullptr) {
        return InvalidParameter;
    }
    if (count != ENCODER_COUNT || size != EncoderBufferSize()) {
        return GenericError;
    }
    auto* strings = reinterpret_cast<BYTE*>(encoders + ENCODER_COUNT);
    auto place = [&strings](const wchar_t* text) {
        const std::size_t bytes = StringBytes(text);
        std::memcpy(strings, text, bytes);
        const auto* placed = reinterpret_cast<const WCHAR*>(strings);
        strings += bytes;
        return placed;
    };
    for (UINT i = 0; i < ENCODER_COUNT; ++i) {
        const Encoder& e = ENCODERS[i];
        ImageCodecInfo info = CODEC_TEMPLATE;
        info.Clsid = e.clsid;
        info.FormatID = e.formatId;
        info.CodecName = place(e.name);
        info.DllName = nullptr;
        info.FormatDescription = place(e.description);
        info.FilenameExtension = place(e.extensions);
        info.MimeType = place(e.mimeType);
        info.Flags = ENCODER_FLAGS;
        info.Version = 1;
        encoders[i] = info;
    }
    return Ok;
}

GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* encoder,
                             const EncoderParameters* parameters) {
    if (image == nullptr || filename == nullptr || encoder == nullptr || filename[0] == 0) {
        return InvalidParameter;
    }
    const Encoder* chosen = nullptr;
    for (const Encoder& e : ENCODERS) {
        if (e.clsid == *encoder) {
            chosen = &e;
        }
    }
    if (chosen == nullptr) {
        return FileNotFound;
    }
    int quality = 75;
    if (!QualityOf(parameters, &quality)) {
        return InvalidParameter;
    }
    std::vector<std::uint8_t> bytes;
    GpStatus status = chosen->format == FileFormat::Gif
                          ? platform::gdiplus::EncodeGif(*image, &bytes)
                          : platform::gdiplus::EncodeImage(*image, chosen->format, quality, &bytes);
    if (status != Ok) {
        return status;
    }
    return platform::gdiplus::WriteFileAtomically(filename, bytes);
}
