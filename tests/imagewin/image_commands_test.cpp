// The image window's pop-up menus, keys, wheel, drops and the commands that change a window's
// geometry, on real windows pumped by the worker.
#include "image_window_fixture.h"

#include "imageops/drawing.h"
#include "imageops/text_drawing.h"
#include "imagewin/image_commands.h"
#include "imagewin/image_files.h"
#include "imagewin/image_sizing.h"
#include "imagewin/pointer_events.h"
#include "runtime/control_words.h"
#include "runtime/program_state.h"
#include "runtime/text_convert.h"
#include "tests/support/temp_folder.h"

#include <cstring>
#include <cwchar>

using namespace qivtest;
using namespace platform::testing;

namespace {

using ImageCommands = ImageWindowTest;

struct Row {
    const wchar_t* text; // null: a separator
    UINT id;
};

void ExpectItems(const std::vector<MenuItemRecord>& items, std::initializer_list<Row> rows) {
    ASSERT_EQ(items.size(), rows.size());
    std::size_t i = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].separator, row.text == nullptr);
        if (row.text != nullptr) {
            EXPECT_EQ(items[i].text, row.text);
            EXPECT_EQ(items[i].id, row.id);
        }
        ++i;
    }
}

std::vector<bool> Checks(const ShownMenu& menu) {
    return {menu.items[7].checked, menu.items[8].checked, menu.items[9].checked};
}

} // namespace

TEST_F(ImageCommands, MenusShowTheirItemsAndOpenOnlyWhenNoLineIsRead) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "menus", 0, 0, 120, 80, 100); }), 0);
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage8(1, "eight", 300, 0, 120, 80, 42); }), 0);
    PumpWorker();
    const HWND wide = qiv_image[0].hwnd;
    const HWND eight = qiv_image[1].hwnd;

    Click(wide, Button::Right, 10, 10);
    PumpWorker();
    Click(wide, Button::Middle, 10, 10);
    PumpWorker();
    Click(eight, Button::Right, 10, 10, CONTROL);
    PumpWorker();
    Click(eight, Button::Right, 10, 10);
    PumpWorker();
    const std::vector<ShownMenu> menus = ShownMenus();
    ASSERT_EQ(menus.size(), 4u);

    ExpectItems(menus[0].items, {{L"Cut\tCtrl+X", 1011},
                                 {L"Copy\tCtrl+C", 1012},
                                 {L"Paste\tCtrl+V", 1013},
                                 {nullptr, 0},
                                 {L"&Load image file", 1004},
                                 {L"&Save as", 1010},
                                 {nullptr, 0},
                                 {L"Zoom: 50%", 1007},
                                 {L"Zoom:100%\tCtrl+0", 1008},
                                 {L"Zoom:200%", 1009},
                                 {L"&Zoom...", 1046},
                                 {nullptr, 0},
                                 {L"&Resize...", 1047},
                                 {L"&Destroy\tCtrl+Q", 1005}});
    EXPECT_EQ(menus[0].owner, wide);
    EXPECT_EQ(Checks(menus[0]), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Checks(menus[3]), (std::vector<bool>{false, false, false})); // zoom 42

    // The middle button and Ctrl + right button give the tools menu; an 8-bit window's
    // Information offers only what reads its indices.
    const std::vector<MenuItemRecord>& tools = menus[1].items;
    ExpectItems(tools, {{L"Process...", 0},
                        {nullptr, 0},
                        {L"Information...", 0},
                        {nullptr, 0},
                        {L"Test Pattern...", 0},
                        {nullptr, 0},
                        {L"Clipping\tCtrl+R", 1019},
                        {nullptr, 0},
                        {L"Color...", 0},
                        {L"Draw Line...", 0},
                        {L"Draw Box...", 0},
                        {L"Draw Circle...", 0},
                        {L"TrueType...", 0},
                        {L"Draw Text", 1042},
                        {L"Paint", 1043}});
    ExpectItems(tools[0].submenu, {{L"Invert", 1058},
                                   {nullptr, 0},
                                   {L"R. Rotate", 1061},
                                   {L"L. Rotate", 1062},
                                   {nullptr, 0},
                                   {L"Horz. Flip", 1059},
                                   {L"Vert. Flip", 1060},
                                   {nullptr, 0},
                                   {L"Size 50.0%", 1063},
                                   {L"Size 70.7%", 1064},
                                   {L"Size 141.4%", 1065},
                                   {L"Size 200.0%", 1066}});
    ExpectItems(tools[2].submenu, {{L"Pixel", 1015},
                                   {L"Line(RGB)", 1016},
                                   {L"Line(HSV)", 1017},
                                   {L"Line(YCrCb)", 1018},
                                   {L"Line(CrCb)", 1021},
                                   {nullptr, 0},
                                   {L"Area(CrCb)", 1022}});
    ExpectItems(tools[4].submenu, {{L"RGB", 1053},
                                   {L"HSV", 1054},
                                   {L"YCrCb", 1055},
                                   {L"Yuv", 1067},
                                   {L"YIQ", 1068},
                                   {L"Grey", 1071}});
    ExpectItems(tools[8].submenu, {{L"Change", 1031}, {L"Pick", 1052}});
    ExpectItems(tools[9].submenu, {{L"Normal", 1032}, {L"Horz.", 1034}, {L"Vert.", 1035}});
    ExpectItems(tools[10].submenu, {{L"Normal", 1036}, {L"Fill", 1037}, {L"Fill XOR", 1038}});
    ExpectItems(tools[11].submenu, {{L"Normal", 1039}, {L"Fill", 1040}, {L"Fill XOR", 1041}});
    ExpectItems(tools[12].submenu, {{L"Draw", 1048}, {L"Font Change", 1049}});
    ASSERT_EQ(menus[2].items.size(), 15u);
    ExpectItems(menus[2].items[2].submenu, {{L"Pixel", 1015}, {L"Line(Lumi)", 1070}});

    // Neither menu while a text window reads a line, nor while a click tool runs.
    ClearShown();
    InputActive = 1;
    Click(wide, Button::Right, 10, 10);
    Click(wide, Button::Middle, 10, 10);
    PumpWorker();
    InputActive = 0;
    OnWorker([] {
        ToolActive = 1;
        ToolWindow = 1;
        return 0;
    });
    Click(wide, Button::Right, 10, 10);
    PumpWorker();
    OnWorker([] {
        ToolActive = 0;
        ToolWindow = -1;
        return 0;
    });
    EXPECT_TRUE(ShownMenus().empty());

    // A chosen item arrives as its command.
    AnswerMenuWithText(L"Zoom:200%");
    Click(wide, Button::Right, 10, 10);
    PumpWorker();
    PumpWorker();
    EXPECT_EQ(qiv_image[0].zoom, 200);
}

TEST_F(ImageCommands, WheelAndKeysZoomToggleSmoothingAndPostShortcuts) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "keys", 0, 0, 200, 100, 100); }), 0);
    PumpWorker();
    const HWND hwnd = qiv_image[0].hwnd;

    Wheel(hwnd, 10, 10, -120, CONTROL); // towards the user
    PumpWorker();
    EXPECT_EQ(qiv_image[0].zoom, 111);
    KeyPress(hwnd, '0', CONTROL); // the main keyboard's 0 is no shortcut
    PumpWorker();
    EXPECT_EQ(qiv_image[0].zoom, 111);
    KeyPress(hwnd, VK_NUMPAD0, CONTROL);
    PumpWorker();
    EXPECT_EQ(qiv_image[0].zoom, 100);
    Wheel(hwnd, 10, 10, 120, CONTROL);
    PumpWorker();
    EXPECT_EQ(qiv_image[0].zoom, 90);
    Wheel(hwnd, 10, 10, -120);
    KeyPress(hwnd, VK_ADD, CONTROL);
    PumpWorker();
    EXPECT_EQ(qiv_image[0].zoom, 100);

    EXPECT_EQ(Caption(hwnd), L"keys(100%)");
    KeyPress(hwnd, VK_TAB);
    PumpWorker();
    EXPECT_EQ(Caption(hwnd), L"keys(100%)*");
    // Keys belong to a running click tool.
    ToolActive = 1;
    KeyPress(hwnd, VK_TAB);
    PumpWorker();
    ToolActive = 0;
    EXPECT_EQ(Caption(hwnd), L"keys(100%)*");
    KeyPress(hwnd, VK_TAB, CONTROL);
    PumpWorker();
    EXPECT_EQ(Caption(hwnd), L"keys(100%)");

    // Exit, Start and Stop go to the main window, also with Ctrl where Ctrl means nothing here.
    Log().Clear();
    KeyPress(hwnd, 'S', CONTROL);
    KeyPress(hwnd, VK_ESCAPE);
    PumpWorker();
    ASSERT_TRUE(PumpUntil([&] { return Log().Count(owner, WM_KEYDOWN) == 2; }));
    const std::vector<LoggedMessage> keys = Log().All(owner, WM_KEYDOWN);
    EXPECT_EQ(keys[0].wParam, WPARAM{'S'});
    EXPECT_EQ(keys[1].wParam, WPARAM{VK_ESCAPE});

    KeyPress(hwnd, 'Q', CONTROL);
    PumpWorker();
    PumpWorker();
    EXPECT_EQ(qiv_image[0].inUse, 0);
}

TEST_F(ImageCommands, CutLeavesZerosAndTheClipboardPasteTakesItBack) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "cut", 0, 0, 4, 3, 100); }), 0);
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(1, "paste", 300, 0, 4, 3, 100); }), 0);
    PumpWorker();
    OnWorker([] {
        for (int i = 0; i < 12; ++i) {
            qiv_pixels32[0][i] = 0x102030u + static_cast<std::uint32_t>(i);
        }
        return 0;
    });
    KeyPress(qiv_image[0].hwnd, 'X', CONTROL);
    PumpWorker();
    PumpWorker();
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(qiv_pixels32[0][i], 0u);
    }
    KeyPress(qiv_image[1].hwnd, 'V', CONTROL);
    PumpWorker();
    PumpWorker();
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(qiv_pixels32[1][i], 0x102030u + static_cast<std::uint32_t>(i));
    }
}

TEST_F(ImageCommands, RotationsAndScalingRecreateTheWindowAtTheNewSize) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "turn", 0, 0, 3, 2, 100); }), 0);
    // a b c / d e f
    OnWorker([] {
        for (int i = 0; i < 6; ++i) {
            qiv_pixels32[0][i] = static_cast<std::uint32_t>('a' + i);
        }
        return 0;
    });
    ASSERT_EQ(OnWorker([] { return RotateImage(0, true); }), 0);
    ASSERT_EQ(qiv_image[0].width, 2);
    ASSERT_EQ(qiv_image[0].height, 3);
    const std::vector<std::uint32_t> right(qiv_pixels32[0], qiv_pixels32[0] + 6);
    EXPECT_EQ(right, (std::vector<std::uint32_t>{'d', 'a', 'e', 'b', 'f', 'c'}));
    ASSERT_EQ(OnWorker([] { return RotateImage(0, false); }), 0);
    const std::vector<std::uint32_t> back(qiv_pixels32[0], qiv_pixels32[0] + 6);
    EXPECT_EQ(back, (std::vector<std::uint32_t>{'a', 'b', 'c', 'd', 'e', 'f'}));

    // 8-bit rows are padded: a 2 x 3 image rotates into 3 rows of stride 4.
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage8(1, "turn8", 0, 0, 2, 3, 100); }), 0);
    OnWorker([] {
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 2; ++x) {
                qiv_pixels8[1][y * 4 + x] = static_cast<std::uint8_t>(10 * y + x);
            }
        }
        const RGBQUAD red = {0, 0, 255, 0};
        QIV_SelectImage(1);
        QIV_SetPalette(&red, 1);
        return 0;
    });
    ASSERT_EQ(OnWorker([] { return RotateImage(1, false); }), 0);
    ASSERT_EQ(qiv_image[1].width, 3);
    ASSERT_EQ(qiv_image[1].bits, 8);
    EXPECT_EQ(qiv_pixels8[1][0], 1); // top row: the old right column, top-down
    EXPECT_EQ(qiv_pixels8[1][2], 21);
    EXPECT_EQ(qiv_pixels8[1][4], 0);
    EXPECT_EQ(qiv_pixels8[1][6], 20);
    RGBQUAD table[256];
    OnWorker([&] { return QIV_SelectImage(1) + QIV_GetPalette(table); });
    EXPECT_EQ(table[0].rgbRed, 255);

    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(2, "scale", 0, 0, 100, 100, 100); }), 0);
    ASSERT_EQ(OnWorker([] { return ScaleImage(2, 707); }), 0);
    EXPECT_EQ(qiv_image[2].width, 71);
    EXPECT_EQ(qiv_image[2].height, 71);
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(3, "odd", 0, 0, 101, 101, 100); }), 0);
    OnWorker([] {
        std::fill(qiv_pixels32[3], qiv_pixels32[3] + 101 * 101, 0x336699u);
        return 0;
    });
    ASSERT_EQ(OnWorker([] { return ScaleImage(3, 500); }), 0);
    EXPECT_EQ(qiv_image[3].width, 51);
    EXPECT_EQ(qiv_image[3].height, 51);
    EXPECT_EQ(qiv_pixels32[3][51 * 51 - 1], 0x336699u);
    // Too large to be a picture: refused, and the window stays as it was.
    EXPECT_NE(OnWorker([] { return ScaleImage(3, 2000000000); }), 0);
    EXPECT_EQ(qiv_image[3].width, 51);

    // The menu reaches the same command.
    AnswerMenuWithText(L"R. Rotate");
    Click(qiv_image[0].hwnd, Button::Middle, 1, 1);
    PumpWorker();
    PumpWorker();
    EXPECT_EQ(qiv_image[0].width, 2);
}

TEST_F(ImageCommands, ClippingFlipsAndInvert) {
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage8(0, "clip8", 0, 0, 40, 40, 100); }), 0);
    OnWorker([] {
        RGBQUAD table[256];
        for (int i = 0; i < 256; ++i) {
            table[i] = RGBQUAD{static_cast<BYTE>(i), 0, static_cast<BYTE>(255 - i), 0};
        }
        QIV_SetPalette(table, 256);
        qiv_pixels8[0][20 * ImageStride8(40) + 10] = 77;
        return 0;
    });
    const int m = OnWorker([] { return ClipImageRect(0, 19, 29, 10, 20); });
    ASSERT_EQ(m, 1);
    EXPECT_EQ(qiv_image[m].bits, 8);
    EXPECT_EQ(qiv_image[m].width, 10);
    EXPECT_EQ(qiv_image[m].height, 10);
    EXPECT_EQ(std::strcmp(qiv_image[m].title, "(10,20)-(19,29)"), 0);
    EXPECT_EQ(qiv_pixels8[m][0], 77);
    RGBQUAD table[256];
    OnWorker([&] { return QIV_GetPalette(table); });
    EXPECT_EQ(table[200].rgbBlue, 200);
    EXPECT_EQ(table[200].rgbRed, 55);

    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(2, "flip", 0, 0, 3, 2, 100); }), 0);
    OnWorker([] {
        for (int i = 0; i < 6; ++i) {
            qiv_pixels32[2][i] = static_cast<std::uint32_t>(i + 1);
        }
        return 0;
    });
    const HWND hwnd = qiv_image[2].hwnd;
    OnWorker([hwnd] {
        RunImageCommand(hwnd, IMG_CMD_FLIP_HORZ);
        return 0;
    });
    EXPECT_EQ((std::vector<std::uint32_t>(qiv_pixels32[2], qiv_pixels32[2] + 6)),
              (std::vector<std::uint32_t>{3, 2, 1, 6, 5, 4}));
    OnWorker([hwnd] {
        RunImageCommand(hwnd, IMG_CMD_FLIP_VERT);
        RunImageCommand(hwnd, IMG_CMD_INVERT);
        return 0;
    });
    EXPECT_EQ(
        (std::vector<std::uint32_t>(qiv_pixels32[2], qiv_pixels32[2] + 6)),
        (std::vector<std::uint32_t>{0xFFFFF9, 0xFFFFFA, 0xFFFFFB, 0xFFFFFC, 0xFFFFFD, 0xFFFFFE}));
}

TEST_F(ImageCommands, AFileDroppedOnAWindowLoadsThere) {
    TempFolder folder;
    const std::string path = folder.Path("写真.png");
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(0, "drop", 0, 0, 6, 4, 100); }), 0);
    ASSERT_EQ(OnWorker([] { return QIV_CreateImage(1, "source", 200, 0, 2, 2, 100); }), 0);
    ASSERT_EQ(OnWorker([&] {
                  std::fill(qiv_pixels32[1], qiv_pixels32[1] + 4, 0x00AA55u);
                  return QIV_SaveImage(2, 2, 3, path.c_str());
              }),
              0);
    wchar_t widePath[512];
    Utf8ToWide(path.c_str(), widePath, 512);
    DropFiles(qiv_image[0].hwnd, {widePath}, 3, 3);
    ASSERT_TRUE(PumpUntil(
        [&] {
            PumpWorker();
            return qiv_pixels32[0][0] == 0x00AA55u;
        },
        std::chrono::seconds(20)));
    EXPECT_EQ(qiv_pixels32[0][7], 0x00AA55u);
    EXPECT_EQ(qiv_pixels32[0][2], 0u);
}

TEST_F(ImageCommands, ColourAndFontDialogsSetTheDrawingColoursAndFont) {
    const HWND hwnd = owner;
    OnWorker([] {
        qiv_color = 0x112233;
        ResetCustomColours();
        CreateTrueTypeFont();
        return 0;
    });
    std::vector<COLORREF> custom(16, 0);
    custom[3] = RGB(1, 2, 3);
    AnswerColorDialog(RGB(0xAB, 0xCD, 0xEF), custom);
    OnWorker([hwnd] {
        ChangeColor(hwnd);
        return 0;
    });
    EXPECT_EQ(qiv_color, 0xABCDEF);
    EXPECT_EQ(qiv_tc, 0xABCDEF);
    EXPECT_EQ(qiv_tttc, 0xABCDEF);
    // Cancelled: the starting colour stays; the custom colours are remembered between dialogs.
    AnswerColorDialogCancel();
    OnWorker([hwnd] {
        ChangeColor(hwnd);
        return 0;
    });
    EXPECT_EQ(qiv_color, 0xABCDEF);
    const std::vector<ShownColorDialog> colours = ShownColorDialogs();
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[0].color, RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(colours[0].flags, DWORD{CC_RGBINIT | CC_FULLOPEN});
    EXPECT_EQ(colours[1].custom[3], RGB(1, 2, 3));
    OnWorker([] {
        ResetCustomColours();
        return 0;
    });
    EXPECT_EQ(qiv_customColors[3], 0u);

    LOGFONTW chosen{};
    chosen.lfHeight = -24;
    chosen.lfWeight = FW_BOLD;
    std::wcscpy(chosen.lfFaceName, L"DejaVu Serif");
    AnswerFontDialog(chosen);
    OnWorker([hwnd] {
        ChangeFont(hwnd);
        return 0;
    });
    LOGFONTW now{};
    ASSERT_EQ(GetObjectW(qiv_ttFont, sizeof now, &now), static_cast<int>(sizeof now));
    EXPECT_EQ(std::wstring(now.lfFaceName), L"DejaVu Serif");
    EXPECT_EQ(now.lfHeight, -24);
    AnswerFontDialogCancel();
    OnWorker([hwnd] {
        ChangeFont(hwnd);
        return 0;
    });
    ASSERT_EQ(GetObjectW(qiv_ttFont, sizeof now, &now), static_cast<int>(sizeof now));
    EXPECT_EQ(now.lfWeight, FW_BOLD);
    const std::vector<ShownFontDialog> fonts = ShownFontDialogs();
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(std::wstring(fonts[0].font.lfFaceName), L"ＭＳ ゴシック");
    EXPECT_EQ(std::wstring(fonts[1].font.lfFaceName), L"DejaVu Serif");
}
