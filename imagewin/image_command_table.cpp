// The commands of the image window's menus and keyboard shortcuts, by identifier.
#include "imageops/click_tools.h"
#include "imageops/colors.h"
#include "imageops/drawing.h"
#include "imageops/plots.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_commands.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "textwin/text_window.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

void InvalidateWindow(int n) {
    if (IsImageWindowInUse(n)) {
        InvalidateRect(qiv_image[n].hwnd, nullptr, FALSE);
    }
}

void InvalidateCurrent() {
    InvalidateWindow(qiv_target);
}

// The leading decimal integer of a typed line, 0 when there is none.
int LeadingInteger(const char* line) {
    const long value = std::strtol(line, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// Text window 0 brought forward (opened at its default place if needed), a prompt, a line.
int AskNumber(const char* format, int n) {
    QIV_OpenTextWindow(0, -1, -1, -1, -1);
    QIV_Printf(format, n);
    char line[QIV_INPUT_BUFFER] = {};
    QIV_Input(line);
    return LeadingInteger(line);
}

// "Text>" in the current text window and one line.
void AskText(char line[QIV_INPUT_BUFFER]) {
    QIV_ShowTextWindow();
    QIV_Printf("Text>");
    QIV_Input(line);
}

void LoadFile() {
    std::vector<char> path(QIV_LONG_PATH);
    if (AskOpenImagePath(path.data(), QIV_LONG_PATH) == 0) {
        QIV_LoadImage(path.data(), 0, 0);
        InvalidateCurrent();
    }
}

void DrawLineCommand(int n, int id) {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    if (id == IMG_CMD_DRAW_LINE) {
        if (!ToolPicked(QIV_PickLine(n, &x1, &y1, &x2, &y2))) {
            return;
        }
    } else if (id == IMG_CMD_DRAW_ROW) {
        if (!ToolPicked(QIV_PickRow(n, &x1, &y1))) {
            return;
        }
        x1 = 0;
        x2 = qiv_image[n].width - 1;
        y2 = y1;
    } else {
        if (!ToolPicked(QIV_PickColumn(n, &x1, &y1))) {
            return;
        }
        y1 = 0;
        y2 = qiv_image[n].height - 1;
        x2 = x1;
    }
    QIV_DrawLine(x1, y1, x2, y2, qiv_color);
    InvalidateCurrent();
}

void DrawBoxCommand(int n, int id) {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    if (!ToolPicked(QIV_PickRect(n, &x1, &y1, &x2, &y2))) {
        return;
    }
    if (id == IMG_CMD_DRAW_BOX) {
        QIV_DrawBox(x1, y1, x2, y2);
    } else if (id == IMG_CMD_FILL_BOX) {
        QIV_FillBox(x1, y1, x2, y2);
    } else {
        QIV_XorFillBox(x1, y1, x2, y2);
    }
    InvalidateCurrent();
}

void DrawCircleCommand(int n, int id) {
    int cx = 0;
    int cy = 0;
    int r = 0;
    if (!ToolPicked(QIV_PickCircle(n, &cx, &cy, &r))) {
        return;
    }
    if (id == IMG_CMD_DRAW_CIRCLE) {
        QIV_DrawCircle(cx, cy, r, qiv_color);
    } else if (id == IMG_CMD_FILL_CIRCLE) {
        QIV_FillCircle(cx, cy, r);
    } else {
        QIV_XorFillCircle(cx, cy, r);
    }
    InvalidateCurrent();
}

void DrawTextCommand(int n) {
    int x = 0;
    int y = 0;
    if (!ToolPicked(QIV_PickPoint(n, &x, &y))) {
        return;
    }
    char line[QIV_INPUT_BUFFER] = {};
    AskText(line);
    qiv_textX = qiv_textLeft = x;
    qiv_textY = y;
    qiv_tc = qiv_color;
    QIV_DrawPrintf("%s", line);
    InvalidateCurrent();
}

void TrueTypeDrawCommand(int n) {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    if (!ToolPicked(QIV_PickRect(n, &left, &top, &right, &bottom))) {
        return;
    }
    char line[QIV_INPUT_BUFFER] = {};
    AskText(line);
    qiv_textX = qiv_textLeft = left;
    qiv_textY = bottom;
    QIV_TTSetSize(right - left + 1, bottom - top + 1);
    QIV_TTString(line);
    InvalidateCurrent();
}

void PaintCommand(int n) {
    int x = 0;
    int y = 0;
    if (ToolPicked(QIV_PickPoint(n, &x, &y))) {
        QIV_Paint(x, y);
        InvalidateCurrent();
    }
}

void TestPattern(int id) {
    switch (id) {
    case IMG_CMD_PATTERN_RGB:
        QIV_TestPatternRGB();
        break;
    case IMG_CMD_PATTERN_HSV:
        QIV_TestPatternHSV();
        break;
    case IMG_CMD_PATTERN_YCRCB:
        QIV_TestPatternYCrCb();
        break;
    case IMG_CMD_PATTERN_YUV:
        QIV_TestPatternYuv();
        break;
    case IMG_CMD_PATTERN_YIQ:
        QIV_TestPatternYIQ();
        break;
    default:
        QIV_TestPatternGrey();
        break;
    }
    InvalidateCurrent();
}

void Invert(int n) {
    const ImageWindowRecord& record = qiv_image[n];
    const RECT all = {0, 0, record.width, record.height};
    InvertRect(record.memDC, &all);
    InvalidateWindow(n);
}

void Flip(int n, bool horizontal) {
    const ImageWindowRecord& record = qiv_image[n];
    const int w = record.width;
    const int h = record.height;
    if (horizontal) {
        StretchBlt(record.memDC, w - 1, 0, -w, h, record.memDC, 0, 0, w, h, SRCCOPY);
    } else {
        StretchBlt(record.memDC, 0, h - 1, w, -h, record.memDC, 0, 0, w, h, SRCCOPY);
    }
    InvalidateWindow(n);
}

// Commands that make the window current first and leave it so.
bool RunSelectingCommand(HWND hwnd, int id) {
    switch (id) {
    case IMG_CMD_LOAD:
    case IMG_CMD_SAVE_AS:
    case IMG_CMD_DRAW_LINE:
    case IMG_CMD_DRAW_ROW:
    case IMG_CMD_DRAW_COLUMN:
    case IMG_CMD_DRAW_BOX:
    case IMG_CMD_FILL_BOX:
    case IMG_CMD_XOR_BOX:
    case IMG_CMD_DRAW_CIRCLE:
    case IMG_CMD_FILL_CIRCLE:
    case IMG_CMD_XOR_CIRCLE:
    case IMG_CMD_DRAW_TEXT:
    case IMG_CMD_PAINT:
    case IMG_CMD_TRUETYPE_DRAW:
    case IMG_CMD_PATTERN_RGB:
    case IMG_CMD_PATTERN_HSV:
    case IMG_CMD_PATTERN_YCRCB:
    case IMG_CMD_PATTERN_YUV:
    case IMG_CMD_PATTERN_YIQ:
    case IMG_CMD_PATTERN_GREY:
        break;
    default:
        return false;
    }
    const int n = SelectImageWindowByHandle(hwnd);
    if (n < 0) {
        return true;
    }
    switch (id) {
    case IMG_CMD_LOAD:
        LoadFile();
        break;
    case IMG_CMD_SAVE_AS:
        SaveImageAs();
        break;
    case IMG_CMD_DRAW_LINE:
    case IMG_CMD_DRAW_ROW:
    case IMG_CMD_DRAW_COLUMN:
        DrawLineCommand(n, id);
        break;
    case IMG_CMD_DRAW_BOX:
    case IMG_CMD_FILL_BOX:
    case IMG_CMD_XOR_BOX:
        DrawBoxCommand(n, id);
        break;
    case IMG_CMD_DRAW_CIRCLE:
    case IMG_CMD_FILL_CIRCLE:
    case IMG_CMD_XOR_CIRCLE:
        DrawCircleCommand(n, id);
        break;
    case IMG_CMD_DRAW_TEXT:
        DrawTextCommand(n);
        break;
    case IMG_CMD_PAINT:
        PaintCommand(n);
        break;
    case IMG_CMD_TRUETYPE_DRAW:
        TrueTypeDrawCommand(n);
        break;
    default:
        TestPattern(id);
        break;
    }
    return true;
}

} // namespace

int ZoomInStep(int zoom) {
    return (10 * zoom + 4) / 9;
}

int ZoomOutStep(int zoom) {
    return (9 * zoom + 5) / 10;
}

void RunImageCommand(HWND hwnd, int id) {
    if (RunSelectingCommand(hwnd, id)) {
        return;
    }
    const int n = FindImageWindow(hwnd);
    if (n < 0) {
        return;
    }
    switch (id) {
    case IMG_CMD_DESTROY:
        QIV_DestroyImage(n);
        break;
    case IMG_CMD_ZOOM_50:
        QIV_SetZoom(n, 50);
        break;
    case IMG_CMD_ZOOM_100:
        QIV_SetZoom(n, 100);
        break;
    case IMG_CMD_ZOOM_200:
        QIV_SetZoom(n, 200);
        break;
    case IMG_CMD_CUT:
        CopyImageToClipboard(n);
        QIV_ClearImage(n);
        InvalidateWindow(n);
        break;
    case IMG_CMD_COPY:
        CopyImageToClipboard(n);
        break;
    case IMG_CMD_PASTE:
        PasteFromClipboard(n, -1, -1);
        break;
    case IMG_CMD_PASTE_ORIGIN:
        PasteFromClipboard(n, 0, 0);
        break;
    case IMG_CMD_PIXEL:
        PixelReport(n);
        break;
    case IMG_CMD_LINE_RGB:
        PickAndGraphRow(n, RowGraph::Rgb);
        break;
    case IMG_CMD_LINE_HSV:
        PickAndGraphRow(n, RowGraph::Hsv);
        break;
    case IMG_CMD_LINE_YCRCB:
        PickAndGraphRow(n, RowGraph::YCrCb);
        break;
    case IMG_CMD_LINE_LUMI:
        PickAndGraphRow(n, RowGraph::Luminance);
        break;
    case IMG_CMD_LINE_CRCB:
        PickAndGraphRow(n, RowGraph::CrCb);
        break;
    case IMG_CMD_AREA_CRCB:
        PickAndGraphCrCbArea(n);
        break;
    case IMG_CMD_CLIPPING:
        ClipImage(n);
        break;
    case IMG_CMD_COLOR_CHANGE:
        ChangeColor(hwnd);
        break;
    case IMG_CMD_COLOR_PICK:
        PickColor(n);
        break;
    case IMG_CMD_FONT_CHANGE:
        ChangeFont(hwnd);
        break;
    case IMG_CMD_ZOOM_ASK:
        QIV_SetZoom(n, AskNumber("[%d] Zoom(%%)=", n));
        break;
    case IMG_CMD_RESIZE_ASK: {
        const int width = AskNumber("[%d] New x-size(pixel)=", n);
        const int height = AskNumber("[%d] New y-size(pixel)=", n);
        QIV_ResizeImage(n, width, height);
        break;
    }
    case IMG_CMD_INVERT:
        Invert(n);
        break;
    case IMG_CMD_FLIP_HORZ:
        Flip(n, true);
        break;
    case IMG_CMD_FLIP_VERT:
        Flip(n, false);
        break;
    case IMG_CMD_ROTATE_RIGHT:
        RotateImage(n, true);
        break;
    case IMG_CMD_ROTATE_LEFT:
        RotateImage(n, false);
        break;
    case IMG_CMD_SIZE_50:
        ScaleImage(n, 500);
        break;
    case IMG_CMD_SIZE_70:
        ScaleImage(n, 707);
        break;
    case IMG_CMD_SIZE_141:
        ScaleImage(n, 1414);
        break;
    case IMG_CMD_SIZE_200:
        ScaleImage(n, 2000);
        break;
    default:
        break;
    }
}
