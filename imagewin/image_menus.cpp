// The image window's window menu and tools menu.
#include "imagewin/image_commands.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/helpers.h"

namespace {

struct Item {
    const char* text; // null: a separator
    int id;
};

void AddItems(HMENU menu, const Item* items, int count) {
    for (int i = 0; i < count; ++i) {
        if (items[i].text == nullptr) {
            MenuAddSeparator(menu, i);
        } else {
            MenuAddItem(menu, i, 0, items[i].id, items[i].text);
        }
    }
}

template <int N>
HMENU Submenu(const Item (&items)[N]) {
    HMENU menu = CreatePopupMenu();
    AddItems(menu, items, N);
    return menu;
}

constexpr Item PROCESS[] = {
    {"Invert", IMG_CMD_INVERT},
    {nullptr, 0},
    {"R. Rotate", IMG_CMD_ROTATE_RIGHT},
    {"L. Rotate", IMG_CMD_ROTATE_LEFT},
    {nullptr, 0},
    {"Horz. Flip", IMG_CMD_FLIP_HORZ},
    {"Vert. Flip", IMG_CMD_FLIP_VERT},
    {nullptr, 0},
    {"Size 50.0%", IMG_CMD_SIZE_50},
    {"Size 70.7%", IMG_CMD_SIZE_70},
    {"Size 141.4%", IMG_CMD_SIZE_141},
    {"Size 200.0%", IMG_CMD_SIZE_200},
};
constexpr Item INFORMATION_32[] = {
    {"Pixel", IMG_CMD_PIXEL},          {"Line(RGB)", IMG_CMD_LINE_RGB},
    {"Line(HSV)", IMG_CMD_LINE_HSV},   {"Line(YCrCb)", IMG_CMD_LINE_YCRCB},
    {"Line(CrCb)", IMG_CMD_LINE_CRCB}, {nullptr, 0},
    {"Area(CrCb)", IMG_CMD_AREA_CRCB},
};
constexpr Item INFORMATION_8[] = {
    {"Pixel", IMG_CMD_PIXEL},
    {"Line(Lumi)", IMG_CMD_LINE_LUMI},
};
constexpr Item PATTERNS[] = {
    {"RGB", IMG_CMD_PATTERN_RGB}, {"HSV", IMG_CMD_PATTERN_HSV}, {"YCrCb", IMG_CMD_PATTERN_YCRCB},
    {"Yuv", IMG_CMD_PATTERN_YUV}, {"YIQ", IMG_CMD_PATTERN_YIQ}, {"Grey", IMG_CMD_PATTERN_GREY},
};
constexpr Item COLOR[] = {{"Change", IMG_CMD_COLOR_CHANGE}, {"Pick", IMG_CMD_COLOR_PICK}};
constexpr Item DRAW_LINE[] = {
    {"Normal", IMG_CMD_DRAW_LINE}, {"Horz.", IMG_CMD_DRAW_ROW}, {"Vert.", IMG_CMD_DRAW_COLUMN}};
constexpr Item DRAW_BOX[] = {
    {"Normal", IMG_CMD_DRAW_BOX}, {"Fill", IMG_CMD_FILL_BOX}, {"Fill XOR", IMG_CMD_XOR_BOX}};
constexpr Item DRAW_CIRCLE[] = {{"Normal", IMG_CMD_DRAW_CIRCLE},
                                {"Fill", IMG_CMD_FILL_CIRCLE},
                                {"Fill XOR", IMG_CMD_XOR_CIRCLE}};
constexpr Item TRUETYPE[] = {{"Draw", IMG_CMD_TRUETYPE_DRAW}, {"Font Change", IMG_CMD_FONT_CHANGE}};

} // namespace

HMENU BuildImageMenu(HWND hwnd) {
    const int n = FindImageWindow(hwnd);
    const int zoom = n >= 0 ? qiv_image[n].zoom : 0;
    auto checkedAt = [zoom](int z) { return zoom == z ? MFS_CHECKED : 0; };
    HMENU menu = CreatePopupMenu();
    MenuAddItem(menu, 0, 0, IMG_CMD_CUT, "Cut\tCtrl+X");
    MenuAddItem(menu, 1, 0, IMG_CMD_COPY, "Copy\tCtrl+C");
    MenuAddItem(menu, 2, 0, IMG_CMD_PASTE, "Paste\tCtrl+V");
    MenuAddSeparator(menu, 3);
    MenuAddItem(menu, 4, 0, IMG_CMD_LOAD, "&Load image file");
    MenuAddItem(menu, 5, 0, IMG_CMD_SAVE_AS, "&Save as");
    MenuAddSeparator(menu, 6);
    MenuAddItem(menu, 7, checkedAt(50), IMG_CMD_ZOOM_50, "Zoom: 50%");
    MenuAddItem(menu, 8, checkedAt(100), IMG_CMD_ZOOM_100, "Zoom:100%\tCtrl+0");
    MenuAddItem(menu, 9, checkedAt(200), IMG_CMD_ZOOM_200, "Zoom:200%");
    MenuAddItem(menu, 10, 0, IMG_CMD_ZOOM_ASK, "&Zoom...");
    MenuAddSeparator(menu, 11);
    MenuAddItem(menu, 12, 0, IMG_CMD_RESIZE_ASK, "&Resize...");
    MenuAddItem(menu, 13, 0, IMG_CMD_DESTROY, "&Destroy\tCtrl+Q");
    return menu;
}

HMENU BuildToolsMenu(int n) {
    const bool eightBit = IsImageWindowInUse(n) && qiv_image[n].bits == 8;
    HMENU menu = CreatePopupMenu();
    MenuAddSubmenu(menu, Submenu(PROCESS), 0, "Process...");
    MenuAddSeparator(menu, 1);
    MenuAddSubmenu(menu, eightBit ? Submenu(INFORMATION_8) : Submenu(INFORMATION_32), 2,
                   "Information...");
    MenuAddSeparator(menu, 3);
    MenuAddSubmenu(menu, Submenu(PATTERNS), 4, "Test Pattern...");
    MenuAddSeparator(menu, 5);
    MenuAddItem(menu, 6, 0, IMG_CMD_CLIPPING, "Clipping\tCtrl+R");
    MenuAddSeparator(menu, 7);
    MenuAddSubmenu(menu, Submenu(COLOR), 8, "Color...");
    MenuAddSubmenu(menu, Submenu(DRAW_LINE), 9, "Draw Line...");
    MenuAddSubmenu(menu, Submenu(DRAW_BOX), 10, "Draw Box...");
    MenuAddSubmenu(menu, Submenu(DRAW_CIRCLE), 11, "Draw Circle...");
    MenuAddSubmenu(menu, Submenu(TRUETYPE), 12, "TrueType...");
    MenuAddItem(menu, 13, 0, IMG_CMD_DRAW_TEXT, "Draw Text");
    MenuAddItem(menu, 14, 0, IMG_CMD_PAINT, "Paint");
    return menu;
}
