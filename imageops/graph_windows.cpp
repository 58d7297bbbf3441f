// The graph windows of the image window menu: a picked row graphed channel by channel or in
// the Cb/Cr plane, and the chroma of a picked rectangle.
#include "imageops/click_tools.h"
#include "imageops/plots.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr int GRAPH_HEIGHT = 128;
constexpr int PLANE_SIZE = 256;
// A rectangle picked partly outside the image may be huge; its copy is capped at 256 MB.
constexpr std::int64_t MAX_AREA_PIXELS = std::int64_t{1} << 26;

struct Trace {
    int flags;
    int color;
    const char* letter;
    int letterX;
};

struct GraphLayout {
    const char* title;
    int margin;
    Trace traces[3];
    int traceCount;
};

const GraphLayout& LayoutOf(RowGraph graph) {
    static const GraphLayout RGB = {
        "RGB(Y=%d)",
        12,
        {{0x81, 0xFF0000, "R", 2}, {0x82, 0x00FF00, "G", 2}, {0x84, 0x0000FF, "B", 2}},
        3};
    static const GraphLayout HSV = {
        "HSV(Y=%d)",
        12,
        {{0x88, 0xFFFF00, "H", 2}, {0x90, 0xFF00FF, "S", 2}, {0xA0, 0x00FFFF, "V", 2}},
        3};
    static const GraphLayout YCRCB = {
        "YCrCb(Y=%d)",
        20,
        {{0x180, 0xFFFFFF, "Y", 4}, {0x280, 0xFF8888, "Cr", 2}, {0x480, 0x8888FF, "Cb", 2}},
        3};
    static const GraphLayout LUMINANCE = {"Luminance(Y=%d)", 12, {{0x1080, 0xFFFFFF, "L", 2}}, 1};
    switch (graph) {
    case RowGraph::Hsv:
        return HSV;
    case RowGraph::YCrCb:
        return YCRCB;
    case RowGraph::Luminance:
        return LUMINANCE;
    default:
        return RGB;
    }
}

int RequiredBits(RowGraph graph) {
    return graph == RowGraph::Luminance ? 8 : 32;
}

int CreateGraphWindow(const char* title, int width, int height) {
    return CreateFreeImageWindow(title, width, height, 32);
}

} // namespace

int GraphImageRow(int n, RowGraph graph, int y) {
    if (!IsImageWindowInUse(n) || qiv_image[n].bits != RequiredBits(graph)) {
        return -1;
    }
    const int width = qiv_image[n].width;
    QIV_SelectImage(n);
    const std::size_t entry = graph == RowGraph::Luminance ? 1 : 4;
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow)
                                            std::uint8_t[static_cast<std::size_t>(width) * entry]);
    if (row == nullptr) {
        return -1;
    }
    QIV_ReadRow(row.get(), y, width);

    char title[64];
    int g = -1;
    if (graph == RowGraph::CrCb) {
        std::snprintf(title, sizeof title, "CrCb(Y=%d)", y);
        g = CreateGraphWindow(title, PLANE_SIZE, PLANE_SIZE);
        if (g >= 0) {
            QIV_PlotCrCbLine(reinterpret_cast<const int*>(row.get()), width);
        }
    } else {
        const GraphLayout& layout = LayoutOf(graph);
        std::snprintf(title, sizeof title, layout.title, y);
        g = CreateGraphWindow(title, width + layout.margin, GRAPH_HEIGHT);
        for (int i = 0; g >= 0 && i < layout.traceCount; ++i) {
            const Trace& t = layout.traces[i];
            QIV_PlotLine(row.get(), layout.margin, width, t.flags, t.color);
            qiv_textX = qiv_textLeft = t.letterX;
            qiv_textY = 40 + 32 * i;
            qiv_tc = t.color;
            QIV_DrawString(t.letter);
        }
    }
    if (g >= 0) {
        QIV_UpdateImage(g);
    }
    return g;
}

int PickAndGraphRow(int n, RowGraph graph) {
    if (!IsImageWindowInUse(n) || qiv_image[n].bits != RequiredBits(graph)) {
        return -1;
    }
    int x = 0;
    int y = 0;
    if (QIV_PickRow(n, &x, &y) != 0) {
        return -1;
    }
    return GraphImageRow(n, graph, y);
}

int GraphCrCbArea(int n, int x1, int y1, int x2, int y2) {
    if (!IsImageWindowInUse(n) || qiv_image[n].bits != 32) {
        return -1;
    }
    const std::int64_t w = std::int64_t{std::max(x1, x2)} - std::min(x1, x2) + 1;
    const std::int64_t h = std::int64_t{std::max(y1, y2)} - std::min(y1, y2) + 1;
    if (w > MAX_AREA_PIXELS || h > MAX_AREA_PIXELS || w * h > MAX_AREA_PIXELS) {
        return -1;
    }
    QIV_SelectImage(n);
    std::unique_ptr<int[]> pixels(new (std::nothrow) int[static_cast<std::size_t>(w * h)]);
    if (pixels == nullptr) {
        return -1;
    }
    CopyImageRect(pixels.get(), std::min(x1, x2), std::min(y1, y2), static_cast<int>(w),
                  static_cast<int>(h));
    char title[96];
    std::snprintf(title, sizeof title, "CrCb(%d,%d)-(%d,%d)", x1, y1, x2, y2);
    const int g = CreateGraphWindow(title, PLANE_SIZE, PLANE_SIZE);
    if (g >= 0) {
        QIV_PlotCrCbArea(static_cast<int>(h), pixels.get(), static_cast<int>(w));
        QIV_UpdateImage(g);
    }
    return g;
}

int PickAndGraphCrCbArea(int n) {
    if (!IsImageWindowInUse(n) || qiv_image[n].bits != 32) {
        return -1;
    }
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    if (QIV_PickRect(n, &x1, &y1, &x2, &y2) != 0) {
        return -1;
    }
    return GraphCrCbArea(n, x1, y1, x2, y2);
}
