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

    int x1, y1, x2, y2, r;
    Say("step rect");
    Say("PickRect %d -> %d %d %d %d", QIV_PickRect(0, &x1, &y1, &x2, &y2), x1, y1, x2, y2);
    QIV_DrawBox(x1, y1, x2, y2);
    Show();
    Say("step line");
    Say("PickLine %d -> %d %d %d %d", QIV_PickLine(0, &x1, &y1, &x2, &y2), x1, y1, x2, y2);
    QIV_DrawLine(x1, y1, x2, y2, 0xFFFF00);
    Show();
    Say("step circle");
    Say("PickCircle %d -> %d %d r %d", QIV_PickCircle(0, &x1, &y1, &r), x1, y1, r);
    QIV_DrawCircle(x1, y1, r, 0x00FFFF);
    Show();
    Say("step point");
    Say("PickPoint %d -> %d %d", QIV_PickPoint(0, &x1, &y1), x1, y1);
    Say("step column");
    Say("PickColumn %d -> %d %d", QIV_PickColumn(0, &x1, &y1), x1, y1);
    Say("step place");
    Say("PickPlace %d -> %d %d", QIV_PickPlace(0, &x1, &y1, 60, 40), x1, y1);
    qiv_textX = qiv_textLeft = x1 - 28;
    qiv_textY = y1 + 7;
    qiv_tc = 0xFFFFFF;
    QIV_DrawPrintf("Hi %d", 7);
    qiv_textX = qiv_textLeft = x1 - 28;
    qiv_textY = y1 + 30;
    QIV_TTString("\3Bold\4 \xE6\x97\xA5\xE6\x9C\xAC");
    Show();
    const RowGraph graphs[] = {RowGraph::Rgb, RowGraph::Hsv, RowGraph::YCrCb, RowGraph::CrCb};
    for (RowGraph graph : graphs) {
        Say("step row graph %d", static_cast<int>(graph));
        Say("graph window %d", PickAndGraphRow(0, graph));
    }
    Say("step area");
    Say("area window %d", PickAndGraphCrCbArea(0));
    Say("step done");
}
