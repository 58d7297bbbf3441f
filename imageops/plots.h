// Information plots: a row of an image graphed channel by channel, and the chroma of a row or
// a rectangle scattered over the Cb/Cr plane, each in a new 32-bit image window.
//
// Line graphs are 128 pixels high: a value v on a scale 0..max lands on row 127 - v * 127 / max
// and sample i on column offset + i. The Cb/Cr plane is 256 x 256 with a pixel of chroma
// (Cr, Cb) at (Cb + 128, 128 - Cr). Values outside a scale land outside and are clipped.
#pragma once

// Channels of QIV_PlotLine: the first set bit in this order is graphed.
constexpr int PLOT_R = 0x001;
constexpr int PLOT_G = 0x002;
constexpr int PLOT_B = 0x004;
constexpr int PLOT_H = 0x008; // scale 0..359
constexpr int PLOT_S = 0x010;
constexpr int PLOT_V = 0x020;
constexpr int PLOT_Y = 0x100;
constexpr int PLOT_CR = 0x200;    // Cr + 128
constexpr int PLOT_CB = 0x400;    // Cb + 128
constexpr int PLOT_BYTE = 0x1000; // the values are bytes of an 8-bit buffer
// Style: single pixels, or a path (pixels take precedence); with neither nothing is drawn.
constexpr int PLOT_DOTS = 0x040;
constexpr int PLOT_PATH = 0x080;

// Copies row y of the current image window into buffer: count 32-bit words for a 32-bit
// window, count bytes for an 8-bit one; entries beyond the image are 0. Nothing happens without
// a current window.
void QIV_ReadRow(void* buffer, int y, int count);

// Graphs one channel of count values (32-bit pixels, or bytes with PLOT_BYTE) into the current
// image window in color.
void QIV_PlotLine(const void* values, int offset, int count, int flags, int color);

// The Cb/Cr plane with its grey axes and the labels "Cr" and "Cb", and a path through count
// 32-bit pixels whose segments alternate white and magenta.
void QIV_PlotCrCbLine(const int* values, int count);
// The same plane with one white path per row through rows x count pixels, row after row.
void QIV_PlotCrCbArea(int rows, const int* values, int count);

// The graph commands of the image window menu. Each creates its window at (0, 0) with the
// lowest free number, which becomes the current image window, and returns that number; -1
// when n is not a window of the depth the graph needs, when the user cancels the pick, or when
// no number is free (nothing is shown then).
enum class RowGraph {
    Rgb,       // "RGB(Y=%d)", 32-bit windows
    Hsv,       // "HSV(Y=%d)", 32-bit windows
    YCrCb,     // "YCrCb(Y=%d)", 32-bit windows
    Luminance, // "Luminance(Y=%d)", 8-bit windows
    CrCb,      // "CrCb(Y=%d)", the row's path in the Cb/Cr plane, 32-bit windows
};
// Row y of window n.
int GraphImageRow(int n, RowGraph graph, int y);
// The row the user picks in window n.
int PickAndGraphRow(int n, RowGraph graph);
// The chroma of the rectangle (x1, y1)-(x2, y2) of 32-bit window n, "CrCb(%d,%d)-(%d,%d)".
int GraphCrCbArea(int n, int x1, int y1, int x2, int y2);
// The rectangle the user picks in window n.
int PickAndGraphCrCbArea(int n);
