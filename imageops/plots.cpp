// The row reader and the three plotting functions, drawing into the current image window.
#include "imageops/plots.h"

#include "imageops/colors.h"
#include "imageops/drawing.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_sizing.h"
#include "imagewin/image_window.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

constexpr int GRAPH_BOTTOM = 127;
constexpr int AXIS_GREY = 0x808080;

struct Channel {
    int flag;
    int max;
};
constexpr Channel CHANNELS[] = {
    {PLOT_R, 255}, {PLOT_G, 255}, {PLOT_B, 255},  {PLOT_H, 359},  {PLOT_S, 255},
    {PLOT_V, 255}, {PLOT_Y, 255}, {PLOT_CR, 255}, {PLOT_CB, 255}, {PLOT_BYTE, 255},
};

int ChannelValue(int flag, int pixel) {
    switch (flag) {
    case PLOT_R:
        return (pixel >> 16) & 0xFF;
    case PLOT_G:
        return (pixel >> 8) & 0xFF;
    case PLOT_B:
        return pixel & 0xFF;
    case PLOT_H:
        return QIV_GetHue(pixel);
    case PLOT_S:
        return QIV_GetSaturation(pixel);
    case PLOT_V:
        return QIV_GetValue(pixel);
    case PLOT_Y:
        return QIV_GetY(pixel);
    case PLOT_CR:
        return QIV_GetCr(pixel) + 128;
    case PLOT_CB:
        return QIV_GetCb(pixel) + 128;
    default:
        return pixel;
    }
}

void DrawLabel(int x, int baseline, int color, const char* text) {
    qiv_textX = x;
    qiv_textLeft = x;
    qiv_textY = baseline;
    qiv_tc = color;
    QIV_DrawString(text);
}

void DrawCrCbPlane() {
    QIV_DrawLine(0, 128, 256, 128, AXIS_GREY);
    QIV_DrawLine(128, 0, 128, 256, AXIS_GREY);
    DrawLabel(110, 16, 0xFF8888, "Cr");
    DrawLabel(238, 144, 0x8888FF, "Cb");
}

// A path through count pixels; the colour of each segment after the first point is color,
// then color XOR toggle for the next one.
void CrCbPath(const int* values, int count, int color, int toggle) {
    for (int i = 0; i < count; ++i) {
        const int x = QIV_GetCb(values[i]) + 128;
        const int y = 128 - QIV_GetCr(values[i]);
        if (i == 0) {
            QIV_PlotPixel(x, y, color);
        } else {
            QIV_DrawLine(qiv_pen.x, qiv_pen.y, x, y, color);
        }
        color ^= toggle;
    }
}

} // namespace

void QIV_ReadRow(void* buffer, int y, int count) {
    if (buffer == nullptr || count <= 0 || !IsImageWindowInUse(qiv_target)) {
        return;
    }
    const int n = qiv_target;
    const ImageWindowRecord& record = qiv_image[n];
    const bool inside = y >= 0 && y < record.height;
    const int copied = inside ? (count < record.width ? count : record.width) : 0;
    if (record.bits == 32) {
        auto* out = static_cast<std::uint32_t*>(buffer);
        if (copied > 0) {
            std::memcpy(out, qiv_pixels32[n] + static_cast<std::size_t>(y) * record.width,
                        static_cast<std::size_t>(copied) * 4);
        }
        std::memset(out + copied, 0, static_cast<std::size_t>(count - copied) * 4);
    } else {
        auto* out = static_cast<std::uint8_t*>(buffer);
        if (copied > 0) {
            std::memcpy(out,
                        qiv_pixels8[n] + static_cast<std::size_t>(y) * ImageStride8(record.width),
                        static_cast<std::size_t>(copied));
        }
        std::memset(out + copied, 0, static_cast<std::size_t>(count - copied));
    }
}

void QIV_PlotLine(const void* values, int offset, int count, int flags, int color) {
    if (values == nullptr || count <= 0 || (flags & (PLOT_DOTS | PLOT_PATH)) == 0) {
        return;
    }
    const Channel* channel = nullptr;
    for (const Channel& c : CHANNELS) {
        if ((flags & c.flag) != 0) {
            channel = &c;
            break;
        }
    }
    if (channel == nullptr) {
        return;
    }
    const bool bytes = channel->flag == PLOT_BYTE;
    for (int i = 0; i < count; ++i) {
        const std::int64_t column = std::int64_t{offset} + i;
        if (column > INT_MAX) {
            break;
        }
        const int v = bytes ? static_cast<const std::uint8_t*>(values)[i]
                            : ChannelValue(channel->flag, static_cast<const int*>(values)[i]);
        const int x = static_cast<int>(column);
        const int y = GRAPH_BOTTOM - v * GRAPH_BOTTOM / channel->max;
        if ((flags & PLOT_DOTS) != 0 || i == 0) {
            QIV_PlotPixel(x, y, color);
        } else {
            QIV_DrawLine(qiv_pen.x, qiv_pen.y, x, y, color);
        }
    }
}

void QIV_PlotCrCbLine(const int* values, int count) {
    DrawCrCbPlane();
    if (values != nullptr && count > 0) {
        CrCbPath(values, count, 0xFFFFFF, 0x00FF00);
    }
}

void QIV_PlotCrCbArea(int rows, const int* values, int count) {
    DrawCrCbPlane();
    if (values == nullptr || count <= 0) {
        return;
    }
    for (int r = 0; r < rows; ++r) {
        CrCbPath(values + static_cast<std::size_t>(r) * count, count, 0xFFFFFF, 0);
    }
}
