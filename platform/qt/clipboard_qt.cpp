// The desktop clipboard through QClipboard, always used on the GUI thread.
#include "photoio/photo_limits.h"
#include "platform/qt/gui_thread.h"
#include "platform/user/clipboard_backend.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <cstring>

namespace platform::backend {
namespace {

// Runs fn on the GUI thread and waits; false without a desktop.
bool OnGui(const std::function<bool(QClipboard*)>& fn) {
    if (QGuiApplication::instance() == nullptr) {
        return false;
    }
    bool result = false;
    qt::RunOnGuiThread(
        [&] {
            if (QClipboard* clipboard = QGuiApplication::clipboard()) {
                result = fn(clipboard);
            }
        },
        qt::GuiCall::Wait);
    return result;
}

QImage ToQImage(const ClipboardPicture& picture) {
    if (!picture.indices.empty()) {
        QImage image(picture.width, picture.height, QImage::Format_Indexed8);
        if (image.isNull()) {
            return image;
        }
        QList<QRgb> table;
        for (std::uint32_t c : picture.palette) {
            table << (c | 0xFF000000u);
        }
        while (table.size() < 256) {
            table << qRgb(0, 0, 0);
        }
        image.setColorTable(table);
        for (int y = 0; y < picture.height; ++y) {
            std::memcpy(image.scanLine(y),
                        picture.indices.data() + static_cast<std::size_t>(y) * picture.width,
                        static_cast<std::size_t>(picture.width));
        }
        return image;
    }
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    for (int y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        const std::uint32_t* in = picture.rgb.data() + static_cast<std::size_t>(y) * picture.width;
        for (int x = 0; x < picture.width; ++x) {
            row[x] = in[x] | 0xFF000000u;
        }
    }
    return image;
}

bool FromQImage(const QImage& image, ClipboardPicture* picture) {
    // The same limits as decoded files: the DIB sizes computed from them cannot overflow.
    if (image.isNull() || !PhotoSizeAllowed(image.width(), image.height())) {
        return false;
    }
    picture->width = image.width();
    picture->height = image.height();
    const std::size_t count = static_cast<std::size_t>(image.width()) * image.height();
    picture->rgb.resize(count);
    picture->indices.clear();
    picture->palette.clear();
    if (image.format() == QImage::Format_Indexed8) {
        picture->indices.resize(count);
        for (QRgb c : image.colorTable()) {
            picture->palette.push_back(c & 0xFFFFFF);
        }
        for (int y = 0; y < image.height(); ++y) {
            std::memcpy(picture->indices.data() + static_cast<std::size_t>(y) * image.width(),
                        image.constScanLine(y), static_cast<std::size_t>(image.width()));
        }
    }
    // Translucent pictures from other programs are shown over white, as they would be there.
    {
        QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            auto* out = picture->rgb.data() + static_cast<std::size_t>(y) * image.width();
            for (int x = 0; x < image.width(); ++x) {
                const int a = qAlpha(in[x]);
                const auto mix = [a](int premultiplied) { return premultiplied + (255 - a); };
                out[x] = static_cast<std::uint32_t>((mix(qRed(in[x])) << 16) |
                                                    (mix(qGreen(in[x])) << 8) | mix(qBlue(in[x])));
            }
        }
    }
    return true;
}

} // namespace

bool SetClipboardPicture(const ClipboardPicture& picture) {
    const QImage image = ToQImage(picture);
    if (image.isNull()) {
        return false;
    }
    return OnGui([&](QClipboard* clipboard) {
        clipboard->setImage(image);
        return true;
    });
}

bool SetClipboardText(const std::wstring& text) {
    const QString value = QString::fromStdWString(text);
    return OnGui([&](QClipboard* clipboard) {
        clipboard->setText(value);
        return true;
    });
}

bool ClearClipboard() {
    return OnGui([](QClipboard* clipboard) {
        clipboard->clear();
        return true;
    });
}

bool GetClipboardPicture(ClipboardPicture* picture) {
    QImage image;
    OnGui([&](QClipboard* clipboard) {
        const QMimeData* data = clipboard->mimeData();
        if (data != nullptr && data->hasImage()) {
            image = qvariant_cast<QImage>(data->imageData());
        }
        return true;
    });
    return FromQImage(image, picture);
}

bool GetClipboardText(std::wstring* text) {
    return OnGui([&](QClipboard* clipboard) {
        const QMimeData* data = clipboard->mimeData();
        if (data == nullptr || !data->hasText()) {
            return false;
        }
        *text = data->text().toStdWString();
        return true;
    });
}

bool ClipboardHasPicture() {
    return OnGui([](QClipboard* clipboard) {
        const QMimeData* data = clipboard->mimeData();
        return data != nullptr && data->hasImage();
    });
}

bool ClipboardHasText() {
    return OnGui([](QClipboard* clipboard) {
        const QMimeData* data = clipboard->mimeData();
        return data != nullptr && data->hasText();
    });
}

} // namespace platform::backend
