// The image window's two pop-up menus and the commands they reach. Everything here runs on
// the thread that owns the image windows (the worker), inside an image window's message
// handling.
#pragma once

#include "platform/win32_types.h"

// Command identifiers of both menus and of the posted keyboard shortcuts.
enum ImageCommand : int {
    IMG_CMD_LOAD = 1004,
    IMG_CMD_DESTROY = 1005,
    IMG_CMD_ZOOM_50 = 1007,
    IMG_CMD_ZOOM_100 = 1008,
    IMG_CMD_ZOOM_200 = 1009,
    IMG_CMD_SAVE_AS = 1010,
    IMG_CMD_CUT = 1011,
    IMG_CMD_COPY = 1012,
    IMG_CMD_PASTE = 1013,        // the user clicks where the picture's centre goes
    IMG_CMD_PASTE_ORIGIN = 1014, // Ctrl+V: at (0, 0)
    IMG_CMD_PIXEL = 1015,
    IMG_CMD_LINE_RGB = 1016,
    IMG_CMD_LINE_HSV = 1017,
    IMG_CMD_LINE_YCRCB = 1018,
    IMG_CMD_CLIPPING = 1019,
    IMG_CMD_LINE_CRCB = 1021,
    IMG_CMD_AREA_CRCB = 1022,
    IMG_CMD_COLOR_CHANGE = 1031,
    IMG_CMD_DRAW_LINE = 1032,
    IMG_CMD_DRAW_ROW = 1034,
    IMG_CMD_DRAW_COLUMN = 1035,
    IMG_CMD_DRAW_BOX = 1036,
    IMG_CMD_FILL_BOX = 1037,
    IMG_CMD_XOR_BOX = 1038,
    IMG_CMD_DRAW_CIRCLE = 1039,
    IMG_CMD_FILL_CIRCLE = 1040,
    IMG_CMD_XOR_CIRCLE = 1041,
    IMG_CMD_DRAW_TEXT = 1042,
    IMG_CMD_PAINT = 1043,
    IMG_CMD_ZOOM_ASK = 1046,
    IMG_CMD_RESIZE_ASK = 1047,
    IMG_CMD_TRUETYPE_DRAW = 1048,
    IMG_CMD_FONT_CHANGE = 1049,
    IMG_CMD_COLOR_PICK = 1052,
    IMG_CMD_PATTERN_RGB = 1053,
    IMG_CMD_PATTERN_HSV = 1054,
    IMG_CMD_PATTERN_YCRCB = 1055,
    IMG_CMD_INVERT = 1058,
    IMG_CMD_FLIP_HORZ = 1059,
    IMG_CMD_FLIP_VERT = 1060,
    IMG_CMD_ROTATE_RIGHT = 1061,
    IMG_CMD_ROTATE_LEFT = 1062,
    IMG_CMD_SIZE_50 = 1063,
    IMG_CMD_SIZE_70 = 1064,
    IMG_CMD_SIZE_141 = 1065,
    IMG_CMD_SIZE_200 = 1066,
    IMG_CMD_PATTERN_YUV = 1067,
    IMG_CMD_PATTERN_YIQ = 1068,
    IMG_CMD_LINE_LUMI = 1070,
    IMG_CMD_PATTERN_GREY = 1071,
};

// The window menu of the image window hwnd (zoom items checked by its zoom) and the tools
// menu of window n (its Information sub-menu follows the window's depth). New pop-up menus,
// the caller's to destroy.
HMENU BuildImageMenu(HWND hwnd);
HMENU BuildToolsMenu(int n);

// One command of either menu for the image window hwnd; identifiers without a command do
// nothing.
void RunImageCommand(HWND hwnd, int id);

// Zoom steps of the keypad and the wheel: about 11 % larger, 10 % smaller.
int ZoomInStep(int zoom);
int ZoomOutStep(int zoom);

// A click tool's points are used only when the user clicked them: a cancelled tool, and one
// ended by Stop (which hands back the points picked so far), change nothing.
bool ToolPicked(int toolResult);

// The commands that do more than hand the window to one drawing function. n is the window
// whose menu was used; each reports nothing on failure.
void PixelReport(int n);
void ClipImage(int n);
// Clipping without the click tool: a new window, of n's depth and colour table, holding the
// rectangle (x1, y1)-(x2, y2) (ordered). Its number, or -1 when none could be made.
int ClipImageRect(int n, int x1, int y1, int x2, int y2);
// Quarter turns, clockwise or not; the window is re-created at its new size. 0; 1 when n is
// not a window or the copy can't be made; otherwise QIV_ResizeImage's result (the window is
// then gone).
int RotateImage(int n, bool clockwise);
// Scaling by perMille / 1000, rounded half up, with the window's stretch mode. Results as
// RotateImage.
int ScaleImage(int n, int perMille);
void PickColor(int n);

// The colour and font dialogs of the tools menu, owned by the image window hwnd. The colour
// dialog starts at qiv_color with the remembered custom colours and stores its answer (the
// starting colour when cancelled) in qiv_color, qiv_tc and qiv_tttc. The font dialog starts
// at the TrueType drawing font, which is made anew from the answer (unchanged when cancelled).
void ChangeColor(HWND hwnd);
void ChangeFont(HWND hwnd);

// The colour dialog's 16 remembered custom colours (COLORREF), all 0 from start-up.
extern COLORREF qiv_customColors[16];
void ResetCustomColours();
