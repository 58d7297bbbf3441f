// Commands that look at a picked part of an image window: the pixel report, clipping into a
// new window, and picking the drawing colour.
#include "imageops/click_tools.h"
#include "imageops/colors.h"
#include "imageops/drawing.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_commands.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "textwin/text_window.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

constexpr int COLOR_TABLE_ENTRIES = 256;

} // namespace

bool ToolPicked(int toolResult) {
    return toolResult == 0 && StopRequested.load() == 0;
}

void PixelReport(int n) {
    int x = 0;
    int y = 0;
    if (!IsImageWindowInUse(n) || !ToolPicked(QIV_PickPoint(n, &x, &y))) {
        return;
    }
    const int v = QIV_GetPixel(x, y);
    QIV_ShowTextWindow();
    QIV_Printf("(X,Y)=(%d,%d)\n", x, y);
    if (qiv_image[n].bits == 8) {
        QIV_Printf("(Luminance)=(%d)\n\n", v);
        return;
    }
    QIV_Printf("(R,G,B)=(%d,%d,%d)\n", (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    QIV_Printf("(H,S,V)=(%d,%d,%d)\n", QIV_GetHue(v), QIV_GetSaturation(v), QIV_GetValue(v));
    const int luma = QIV_GetY(v);
    QIV_Printf("(Y,Cr,Cb)=(%d,%d,%d)\n", luma, QIV_GetCr(v), QIV_GetCb(v));
    QIV_Printf("(Y,u,v)=(%d,%d,%d)\n", luma, QIV_GetU(v), QIV_GetV(v));
    QIV_Printf("(Y,I,Q)=(%d,%d,%d)\n\n", luma, QIV_GetI(v), QIV_GetQ(v));
}

int ClipImageRect(int n, int x1, int y1, int x2, int y2) {
    if (!IsImageWindowInUse(n)) {
        return -1;
    }
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    const int right = std::max(x1, x2);
    const int bottom = std::max(y1, y2);
    char title[96];
    std::snprintf(title, sizeof title, "(%d,%d)-(%d,%d)", left, top, right, bottom);
    const long long w = static_cast<long long>(right) - left + 1;
    const long long h = static_cast<long long>(bottom) - top + 1;
    if (w > INT_MAX || h > INT_MAX) {
        return -1;
    }
    const int bits = qiv_image[n].bits;
    const int m = CreateFreeImageWindow(title, static_cast<int>(w), static_cast<int>(h), bits);
    if (m < 0) {
        return -1;
    }
    const ImageWindowRecord& source = qiv_image[n];
    const ImageWindowRecord& result = qiv_image[m];
    if (bits == 8) {
        RGBQUAD colors[COLOR_TABLE_ENTRIES];
        GetDIBColorTable(source.memDC, 0, COLOR_TABLE_ENTRIES, colors);
        SetDIBColorTable(result.memDC, 0, COLOR_TABLE_ENTRIES, colors);
    }
    BitBlt(result.memDC, 0, 0, static_cast<int>(w), static_cast<int>(h), source.memDC, left, top,
           SRCCOPY);
    QIV_UpdateImage(m);
    return m;
}

void ClipImage(int n) {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    if (IsImageWindowInUse(n) && ToolPicked(QIV_PickRect(n, &x1, &y1, &x2, &y2))) {
        ClipImageRect(n, x1, y1, x2, y2);
    }
}

void PickColor(int n) {
    int x = 0;
    int y = 0;
    if (!IsImageWindowInUse(n) || !ToolPicked(QIV_PickPoint(n, &x, &y))) {
        return;
    }
    QIV_SelectImage(n);
    qiv_color = QIV_GetPixel(x, y);
    if (qiv_image[n].bits == 8) {
        RGBQUAD colors[COLOR_TABLE_ENTRIES] = {};
        GetDIBColorTable(qiv_image[n].memDC, 0, COLOR_TABLE_ENTRIES, colors);
        const RGBQUAD& c = colors[qiv_color & 0xFF];
        qiv_tttc = (c.rgbRed << 16) | (c.rgbGreen << 8) | c.rgbBlue;
    } else {
        qiv_tttc = qiv_color;
    }
    QIV_RestoreImage();
}
