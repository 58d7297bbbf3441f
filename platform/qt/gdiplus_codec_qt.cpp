// Picture decoding and encoding for the GDI+ subset, on Qt's image readers and writers.
#include "platform/gdiplus/gp_image.h"
#include "platform/qt/menu_builder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cstring>
#include <new>

namespace platform::gdiplus {
namespace {

// Qt refuses to allocate decoded pictures above this many megabytes.
constexpr int ALLOCATION_LIMIT_MB = 600;

bool SizeAllowed(const QSize& size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= MAX_IMAGE_SIDE &&
           size.height() <= MAX_IMAGE_SIDE &&
           std::int64_t{size.width()} * size.height() <= MAX_IMAGE_PIXELS;
}

void KeepIndices(const QImage& indexed, GpImage* image) {
    const QList<QRgb> table = indexed.colorTable();
    image->palette.assign(table.begin(), table.end());
    image->indices.resize(image->argb.size());
    for (int y = 0; y < indexed.height(); ++y) {
        std::memcpy(image->indices.data() + static_cast<std::size_t>(y) * image->width,
                    indexed.constScanLine(y), static_cast<std::size_t>(image->width));
    }
}

} // namespace

GpStatus DecodeImageFile(const std::wstring& path, GpImage* image) {
    const QString name = qt::ToQString(path);
    QFileInfo info(name);
    if (!info.exists()) {
        return FileNotFound;
    }
    if (!info.isFile() || !info.isReadable()) {
        return AccessDenied;
    }
    QImageReader reader(name);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(ALLOCATION_LIMIT_MB);
    if (reader.supportsOption(QImageIOHandler::Size) && reader.size().isValid() &&
        !SizeAllowed(reader.size())) {
        return OutOfMemory;
    }
    const QByteArray format = reader.format();
    if (format == "jpeg" || format == "png" || format == "bmp") {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            return AccessDenied;
        }
        const QByteArray bytes = file.readAll();
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
        const auto size = static_cast<std::size_t>(bytes.size());
        const bool whole = format == "jpeg"  ? JpegLooksComplete(data, size)
                           : format == "png" ? PngChunksFit(data, size)
                                             : BmpRowsFit(data, size);
        if (!whole) {
            return UnknownImageFormat;
        }
    }
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) {
        return UnknownImageFormat;
    }
    if (!SizeAllowed(decoded.size())) {
        return OutOfMemory;
    }
    try {
        image->width = decoded.width();
        image->height = decoded.height();
        image->argb.resize(static_cast<std::size_t>(image->width) * image->height);
        image->indices.clear();
        image->palette.clear();
        image->format = decoded.hasAlphaChannel() ? PixelFormat32bppARGB : PixelFormat32bppRGB;
        if (decoded.format() == QImage::Format_Grayscale8) {
            // Grey pictures read as indexed ones with a grey ramp, as 8-bit files do.
            QList<QRgb> grey(256);
            for (int i = 0; i < 256; ++i) {
                grey[i] = qRgb(i, i, i);
            }
            QImage ramp(decoded.constBits(), decoded.width(), decoded.height(),
                        decoded.bytesPerLine(), QImage::Format_Indexed8);
            ramp.setColorTable(grey);
            KeepIndices(ramp, image);
            image->format = PixelFormat8bppIndexed;
        } else if (decoded.colorCount() > 0 && decoded.depth() <= 8) {
            KeepIndices(decoded.convertToFormat(QImage::Format_Indexed8), image);
            image->format = PixelFormat8bppIndexed;
        }
        const QImage argb = decoded.convertToFormat(QImage::Format_ARGB32);
        if (argb.isNull()) {
            return OutOfMemory;
        }
        for (int y = 0; y < image->height; ++y) {
            std::memcpy(image->argb.data() + static_cast<std::size_t>(y) * image->width,
                        argb.constScanLine(y), static_cast<std::size_t>(image->width) * 4);
        }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus EncodeImage(const GpImage& image, FileFormat format, int quality,
                     std::vector<std::uint8_t>* bytes) {
    const char* qtFormat = nullptr;
    switch (format) {
    case FileFormat::Bmp:
        qtFormat = "bmp";
        break;
    case FileFormat::Jpeg:
        qtFormat = "jpeg";
        break;
    case FileFormat::Png:
        qtFormat = "png";
        break;
    case FileFormat::Tiff:
        qtFormat = "tiff";
        break;
    case FileFormat::Gif:
        return NotImplemented;
    }
    QImage picture;
    if (!image.indices.empty() && format != FileFormat::Jpeg) {
        picture = QImage(image.width, image.height, QImage::Format_Indexed8);
        if (picture.isNull()) {
            return OutOfMemory;
        }
        int used = static_cast<int>(image.palette.size());
        for (std::uint8_t i : image.indices) {
            used = std::max(used, i + 1);
        }
        QList<QRgb> table(used, qRgb(0, 0, 0));
        for (std::size_t i = 0; i < image.palette.size(); ++i) {
            table[static_cast<int>(i)] = image.palette[i] | 0xFF000000u;
        }
        picture.setColorTable(table);
        for (int y = 0; y < image.height; ++y) {
            std::memcpy(picture.scanLine(y),
                        image.indices.data() + static_cast<std::size_t>(y) * image.width,
                        static_cast<std::size_t>(image.width));
        }
    } else {
        const bool alpha = image.format == PixelFormat32bppARGB && format == FileFormat::Png;
        picture =
            QImage(image.width, image.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (picture.isNull()) {
            return OutOfMemory;
        }
        for (int y = 0; y < image.height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
            const std::uint32_t* in = image.argb.data() + static_cast<std::size_t>(y) * image.width;
            for (int x = 0; x < image.width; ++x) {
                row[x] = alpha ? in[x] : (in[x] | 0xFF000000u);
            }
        }
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, qtFormat);
    if (format == FileFormat::Jpeg) {
        writer.setQuality(quality);
    }
    if (!writer.write(picture)) {
        return writer.error() == QImageWriter::UnsupportedFormatError ? FileNotFound : GenericError;
    }
    bytes->assign(encoded.begin(), encoded.end());
    return Ok;
}

} // namespace platform::gdiplus
