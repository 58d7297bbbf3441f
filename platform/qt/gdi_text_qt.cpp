// Fonts and glyph rendering for the GDI text calls, on Qt's font engine. Qt draws coverage
// masks only; GDI composites them into its own buffers (platform/gdi/text_composite.cpp).
#include "platform/gdi/text_backend.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>

namespace platform::gdi {

struct TextFace {
    QString family;
    int pixelSize = 16;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int stretch = 0; // percent; 0 keeps the face's own width
    bool antialias = true;
    bool fixedPitch = false;
    TEXTMETRICW metrics{};

    // A QFont keeps its per-thread engine cache in data that copies share, so every call
    // builds its own QFont rather than sharing one between threads.
    QFont MakeFont() const {
        QFont font(family);
        font.setPixelSize(pixelSize);
        font.setWeight(static_cast<QFont::Weight>(weight));
        font.setItalic(italic);
        if (stretch > 0) {
            font.setStretch(stretch);
        }
        font.setKerning(false);
        font.setStyleStrategy(antialias ? QFont::PreferAntialias : QFont::NoAntialias);
        return font;
    }
};

namespace {

constexpr int DEFAULT_CELL_HEIGHT = 16;
constexpr int MAX_PIXEL_SIZE = 4096;
constexpr int PROBE_PIXEL_SIZE = 256;

// Faces the framework names that are not installed here, and the faces that stand in for them.
struct FaceAlias {
    const wchar_t* name;
    const char* family;
};
constexpr FaceAlias FACE_ALIASES[] = {
    {L"ＭＳ ゴシック", "IPAGothic"},    {L"MS Gothic", "IPAGothic"},
    {L"ＭＳ Ｐゴシック", "IPAPGothic"}, {L"MS PGothic", "IPAPGothic"},
    {L"MS UI Gothic", "IPAPGothic"},
};

QString FamilyFor(const LOGFONTW& lf) {
    const std::size_t length = wcsnlen(lf.lfFaceName, LF_FACESIZE);
    const QString face =
        QString::fromWCharArray(lf.lfFaceName, static_cast<qsizetype>(length)).trimmed();
    for (const FaceAlias& alias : FACE_ALIASES) {
        if (face.compare(QString::fromWCharArray(alias.name), Qt::CaseInsensitive) == 0) {
            return QString::fromLatin1(alias.family);
        }
    }
    if (!face.isEmpty()) {
        return face;
    }
    if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN) {
        return QStringLiteral("DejaVu Sans Mono");
    }
    if ((lf.lfPitchAndFamily & 0xF0) == FF_ROMAN) {
        return QStringLiteral("DejaVu Serif");
    }
    return QStringLiteral("DejaVu Sans");
}

int CellHeightAt(TextFace face, int pixelSize) {
    face.pixelSize = pixelSize;
    const QFontMetrics metrics(face.MakeFont());
    return metrics.ascent() + metrics.descent();
}

// A positive height asks for a cell height: the largest pixel size whose cell fits it.
int PixelSizeForCell(const TextFace& face, int cell) {
    TextFace probe = face;
    probe.pixelSize = PROBE_PIXEL_SIZE;
    const QFontMetricsF metrics(probe.MakeFont());
    const double ratio = (metrics.ascent() + metrics.descent()) / PROBE_PIXEL_SIZE;
    int size = ratio > 0 ? static_cast<int>(std::lround(cell / ratio)) : cell;
    size = std::clamp(size, 1, MAX_PIXEL_SIZE);
    if (CellHeightAt(face, size) > cell && size > 1) {
        --size;
    } else if (size < MAX_PIXEL_SIZE && CellHeightAt(face, size + 1) <= cell) {
        ++size;
    }
    return size;
}

bool EngineReady() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

char32_t ValidChar(std::uint32_t c) {
    return c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? U'\uFFFD' : static_cast<char32_t>(c);
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

QString StringOf(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

int Advance(const TextFace& face, const QFontMetrics& metrics, char32_t c) {
    const int cell = face.metrics.tmAveCharWidth;
    if (IsControl(c)) {
        return cell;
    }
    const int natural = metrics.horizontalAdvance(StringOf(c));
    if (!face.fixedPitch || cell <= 0 || natural <= 0) {
        return natural;
    }
    // Wide characters (and fallback glyphs of other faces) keep to whole cells.
    return std::clamp((natural + cell / 2) / cell, 1, 2) * cell;
}

void FillMetrics(TextFace& face, const LOGFONTW& lf) {
    const QFont font = face.MakeFont();
    const QFontMetrics m(font);
    TEXTMETRICW& tm = face.metrics;
    tm.tmAscent = m.ascent();
    tm.tmDescent = m.descent();
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, static_cast<int>(tm.tmHeight) - face.pixelSize);
    tm.tmExternalLeading = std::max(0, m.leading());
    tm.tmAveCharWidth = m.horizontalAdvance(QLatin1Char('x'));
    tm.tmMaxCharWidth = m.maxWidth();
    tm.tmWeight = face.weight;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = face.italic;
    tm.tmUnderlined = face.underline;
    tm.tmStruckOut = face.strikeOut;
    tm.tmCharSet = lf.lfCharSet;
    const int narrow = m.horizontalAdvance(QLatin1Char('i'));
    face.fixedPitch = narrow == m.horizontalAdvance(QLatin1Char('M')) &&
                      narrow == m.horizontalAdvance(QLatin1Char('.'));
    tm.tmMaxCharWidth = std::max<LONG>(tm.tmMaxCharWidth, face.fixedPitch ? 2 * narrow : 0);
    tm.tmPitchAndFamily = static_cast<BYTE>((face.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                                            TMPF_TRUETYPE | (lf.lfPitchAndFamily & 0xF0));
}

} // namespace

std::shared_ptr<const TextFace> ResolveTextFace(const LOGFONTW& lf) {
    if (!EngineReady()) {
        return nullptr;
    }
    auto face = std::make_shared<TextFace>();
    face->family = FamilyFor(lf);
    face->weight = lf.lfWeight > 0 ? std::clamp<int>(lf.lfWeight, 1, 1000) : FW_NORMAL;
    face->italic = lf.lfItalic != 0;
    face->underline = lf.lfUnderline != 0;
    face->strikeOut = lf.lfStrikeOut != 0;
    face->antialias = lf.lfQuality != NONANTIALIASED_QUALITY;
    const std::int64_t height = lf.lfHeight;
    if (height < 0) {
        face->pixelSize = static_cast<int>(std::min<std::int64_t>(-height, MAX_PIXEL_SIZE));
    } else {
        const int cell = height == 0
                             ? DEFAULT_CELL_HEIGHT
                             : static_cast<int>(std::min<std::int64_t>(height, MAX_PIXEL_SIZE));
        face->pixelSize = PixelSizeForCell(*face, cell);
    }
    if (lf.lfWidth > 0) {
        const QFontMetricsF natural(face->MakeFont());
        const double x = natural.horizontalAdvance(QLatin1Char('x'));
        if (x > 0) {
            const long percent = std::lround(100.0 * lf.lfWidth / x);
            face->stretch = percent == 100 ? 0 : static_cast<int>(std::clamp(percent, 1L, 4000L));
        }
    }
    FillMetrics(*face, lf);
    return face;
}

std::wstring FaceFamily(const TextFace& face) {
    return face.family.toStdWString();
}

int FacePixelSize(const TextFace& face) {
    return face.pixelSize;
}

const TEXTMETRICW& FaceMetrics(const TextFace& face) {
    return face.metrics;
}

bool FaceCharAbcs(const TextFace& face, std::uint32_t first, std::uint32_t last, ABC* out) {
    if (!EngineReady()) {
        return false;
    }
    const QFontMetrics metrics(face.MakeFont());
    for (std::uint32_t code = first;; ++code) {
        const char32_t c = ValidChar(code);
        const int advance = Advance(face, metrics, c);
        ABC abc{0, static_cast<UINT>(std::max(advance, 0)), 0};
        if (!IsControl(c)) {
            const QRect ink = metrics.boundingRect(StringOf(c));
            if (ink.width() > 0) {
                abc.abcA = ink.left();
                abc.abcB = static_cast<UINT>(ink.width());
                abc.abcC = advance - ink.left() - ink.width();
            }
        }
        *out++ = abc;
        if (code == last) {
            break;
        }
    }
    return true;
}

bool FaceTextAdvance(const TextFace& face, const wchar_t* text, int count, int* advance) {
    if (!EngineReady()) {
        return false;
    }
    const QFontMetrics metrics(face.MakeFont());
    int total = 0;
    for (int i = 0; i < count; ++i) {
        total += Advance(face, metrics, ValidChar(static_cast<std::uint32_t>(text[i])));
    }
    *advance = total;
    return true;
}

bool RenderText(const TextFace& face, const wchar_t* text, int count, int x, int y,
                const RECT& clip, TextMask* mask) {
    if (!EngineReady()) {
        return false;
    }
    const QFont font = face.MakeFont();
    const QFontMetrics metrics(font);
    std::vector<int> advances(static_cast<std::size_t>(count));
    std::int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        advances[i] = Advance(face, metrics, ValidChar(static_cast<std::uint32_t>(text[i])));
        total += advances[i];
    }
    mask->advance = static_cast<int>(std::min<std::int64_t>(total, 0x7FFFFFFF));
    mask->coverage.clear();
    mask->area = RECT{};
    // Ink may leave the cells (italics, bearings, tall fallback glyphs): render a margin too.
    const std::int64_t pad = face.metrics.tmHeight;
    const std::int64_t left = std::max<std::int64_t>(std::int64_t{x} - pad, clip.left);
    const std::int64_t top = std::max<std::int64_t>(std::int64_t{y} - pad, clip.top);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + total + pad, clip.right);
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{y} + face.metrics.tmHeight + pad, clip.bottom);
    if (left >= right || top >= bottom) {
        return true;
    }
    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(bottom - top);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, face.antialias);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.translate(-static_cast<qreal>(left), -static_cast<qreal>(top));
        const std::int64_t baseline = std::int64_t{y} + face.metrics.tmAscent;
        std::int64_t pen = x;
        for (int i = 0; i < count; ++i) {
            const char32_t c = ValidChar(static_cast<std::uint32_t>(text[i]));
            if (!IsControl(c) && pen + advances[i] + pad > left && pen - pad < right) {
                painter.drawText(QPointF(static_cast<qreal>(pen), static_cast<qreal>(baseline)),
                                 StringOf(c));
            }
            pen += advances[i];
        }
        const qreal lineWidth = std::max(1, metrics.lineWidth());
        if (face.underline) {
            painter.fillRect(QRectF(x, static_cast<qreal>(baseline + metrics.underlinePos()),
                                    static_cast<qreal>(total), lineWidth),
                             Qt::white);
        }
        if (face.strikeOut) {
            painter.fillRect(QRectF(x, static_cast<qreal>(baseline - metrics.strikeOutPos()),
                                    static_cast<qreal>(total), lineWidth),
                             Qt::white);
        }
    }
    mask->area = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                      static_cast<LONG>(bottom)};
    mask->coverage.resize(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        std::uint8_t* out = mask->coverage.data() + static_cast<std::size_t>(row) * width;
        for (int col = 0; col < width; ++col) {
            out[col] = static_cast<std::uint8_t>(qAlpha(line[col]));
        }
    }
    return true;
}

} // namespace platform::gdi
