// A user program that walks through the click tools, the graphs and text drawing on a real
// image window, for a person (or a driving script) to click through. It reports each step on
// standard output and in a text window.
//
//   QIV_DEMO_PICTURE=FILE QIV_DEMO_SIZE=WxH qiv_tools_demo
// Without a picture it draws the RGB test pattern.
#include "runtime/program_state.h"
#include "runtime/qivlib.h"

#include <cstdio>
#include <cstdlib>

namespace {

void Say(const char* format, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0) {
    char line[160];
    std::snprintf(line, sizeof line, format, a, b, c, d, e);
    std::printf("%s\n", line);
    std::fflush(stdout);
    QIV_Printf("%s\n", line);
}

void Show() {
    QIV_SelectImage(0);
    QIV_UpdateImage(0);
}

} // namespace

void UserInit() {
    PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
}

void UserMain() {
    QIV_OpenTextWindow(0, 700, 0, 560, 280);
    const char* picture = std::getenv("QIV_DEMO_PICTURE");
    const char* size = std::getenv("QIV_DEMO_SIZE");
    int width = 320;
    int height = 240;
    if (size == nullptr || std::sscanf(size, "%dx%d", &width, &height) != 2) {
        width = 320;
        height = 240;
    }
    if (QIV_CreateImage(0, picture ? picture : "pattern", 0, 300, width, height, 100) != 0) {
        return;
    }
    if (picture == nullptr || QIV_LoadImage(picture, 0, 0) != 0) {
        QIV_TestPatternRGB();
    }
    RECT client{};
    GetClientRect(qiv_image[0].hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(qiv_image[0].hwnd, &origin);
    Say("window 0 client at %d %d zoom %d", origin.x, origin.y, qiv_image[0].zoom);
    Show();

    int x1, y1, x2, y2, r, result;
    Say("step rect");
    result = QIV_PickRect(0, &x1, &y1, &x2, &y2);
    Say("PickRect %d -> %d %d %d %d", result, x1, y1, x2, y2);
    QIV_DrawBox(x1, y1, x2, y2);
    Show();
    Say("step line");
    result = QIV_PickLine(0, &x1, &y1, &x2, &y2);
    Say("PickLine %d -> %d %d %d %d", result, x1, y1, x2, y2);
    QIV_DrawLine(x1, y1, x2, y2, 0xFFFF00);
    Show();
    Say("step circle");
    result = QIV_PickCircle(0, &x1, &y1, &r);
    Say("PickCircle %d -> %d %d r %d", result, x1, y1, r);
    QIV_DrawCircle(x1, y1, r, 0x00FFFF);
    Show();
    Say("step point");
    result = QIV_PickPoint(0, &x1, &y1);
    Say("PickPoint %d -> %d %d", result, x1, y1);
    Say("step column");
    result = QIV_PickColumn(0, &x1, &y1);
    Say("PickColumn %d -> %d %d", result, x1, y1);
    Say("step place");
    result = QIV_PickPlace(0, &x1, &y1, 60, 40);
    Say("PickPlace %d -> %d %d", result, x1, y1);
    qiv_textX = qiv_textLeft = x1 - 28;
    qiv_textY = y1 + 7;
    qiv_tc = 0xFFFFFF;
    QIV_DrawPrintf("Hi %d", 7);
    qiv_textX = qiv_textLeft = x1 - 28;
    qiv_textY = y1 + 30;
    QIV_TTString("\3Bold\4 \xE6\x97\xA5\xE6\x9C\xAC");
    Show();
    const RowGraph graphs[] = {RowGraph::Rgb, RowGraph::Hsv, RowGraph::YCrCb, RowGraph::CrCb};
    for (int i = 0; i < 4; ++i) {
        Say("step row graph %d", i);
        Say("graph window %d made", PickAndGraphRow(0, graphs[i]));
    }
    Say("step area");
    Say("area window %d", PickAndGraphCrCbArea(0));
    Say("step done");
}
