// The click tools on real image windows of the running program, driven by synthetic mouse
// input while the tool waits on the worker: outputs, status texts, rubber bands on screen, and
// the picture unchanged afterwards.
#include "tests/support/program_fixture.h"

#include "runtime/control_words.h"
#include "runtime/program_state.h"
#include "runtime/qivlib.h"
#include "runtime/worker.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace qivtest;
using namespace platform::testing;

namespace {

constexpr std::uint32_t BACKGROUND = 0x204060;
constexpr std::uint32_t INVERTED = BACKGROUND ^ 0xFFFFFF;
constexpr auto LONG_WAIT = std::chrono::seconds(30);

POINT ShownClientLeftTop(HWND hwnd) {
    ProcessDesktopEvents();
    const DesktopWindow shown = DesktopWindowOf(hwnd);
    return {shown.client.left, shown.client.top};
}

// What a tool returned, written on the worker and read after the user program returned.
struct Picked {
    int result = -1;
    int a = -1;
    int b = -1;
    int c = -1;
    int d = -1;
    int target = -1;
    int toolActive = -1;
    int toolWindow = -2;
};

class ToolTest : public ProgramTest {
protected:
    ToolTest() : ProgramTest(std::chrono::seconds(90)) {}
    void TearDown() override {
        Run([] {
            for (int n = 0; n < 4; ++n) {
                QIV_DestroyImage(n);
            }
        });
        ProgramTest::TearDown();
    }

    // Starts body as the user program without waiting for it.
    void Begin(std::function<void()> body) {
        returnsBefore = UserLog().mainReturns.load();
        SetUserBody(std::move(body));
        PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
        ASSERT_TRUE(PumpMainUntil([this] { return UserLog().mainCalls.load() > returnsBefore; },
                                  LONG_WAIT));
    }
    // Waits for the user program started by Begin to return.
    bool Finished() {
        const int before = returnsBefore;
        const bool done = PumpMainUntil(
            [before] { return UserLog().mainReturns.load() > before && Running.load() == 0; },
            LONG_WAIT);
        SetUserBody(nullptr);
        return done;
    }
    void Run(std::function<void()> body) {
        Begin(std::move(body));
        ASSERT_TRUE(Finished());
    }

    // A window of BACKGROUND pixels, shown, and then window 3 made current so that the tools'
    // selection shows.
    void MakeWindow(int n, int width, int height, int zoom) {
        Run([=] {
            ASSERT_EQ(QIV_CreateImage(n, "tool", 0, 0, width, height, zoom), 0);
            std::fill_n(qiv_pixels32[n], width * height, BACKGROUND);
            QIV_UpdateImage(n);
            ASSERT_EQ(QIV_CreateImage(3, "other", 600, 0, 20, 20, 100), 0);
        });
        hwnd = qiv_image[n].hwnd;
        number = n;
        before.assign(qiv_pixels32[n], qiv_pixels32[n] + width * height);
    }
    bool PictureUnchanged() const {
        const ImageWindowRecord& r = qiv_image[number];
        return std::equal(before.begin(), before.end(), qiv_pixels32[number]) &&
               static_cast<int>(before.size()) == r.width * r.height;
    }

    static std::wstring Status() {
        wchar_t text[80] = {};
        GetWindowTextW(StatusLine, text, 80);
        std::wstring s(text);
        s.erase(0, s.find_first_not_of(L' '));
        return s;
    }
    static bool WaitStatus(const std::wstring& text) {
        return PumpMainUntil([&] { return Status() == text; }, LONG_WAIT);
    }
    // Waits until the client surface at client (x, y) shows the colour.
    bool WaitShown(int x, int y, std::uint32_t color) const {
        return PumpMainUntil(
            [&] {
                Capture c;
                return CaptureClientSurface(hwnd, &c) && x < c.width && y < c.height &&
                       c.At(x, y) == color;
            },
            LONG_WAIT);
    }

    // The tool's result and outputs, and the tool words once it returned.
    static void Record(Picked* p, int result) {
        p->result = result;
        p->target = qiv_target;
        p->toolActive = ToolActive;
        p->toolWindow = ToolWindow;
    }

    HWND hwnd = nullptr;
    int number = 0;
    int returnsBefore = 0;
    std::vector<std::uint32_t> before;
};

TEST_F(ToolTest, RectangleAtZoom200FollowsTheMouseAndLeavesThePictureAsItWas) {
    MakeWindow(0, 120, 80, 200);
    Picked p;
    Begin([&p] { Record(&p, QIV_PickRect(0, &p.a, &p.b, &p.c, &p.d)); });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    Click(hwnd, Button::Left, 101, 81); // image (50, 40)
    ASSERT_TRUE(WaitStatus(L"Click the second point"));
    MouseMove(hwnd, 20, 40); // image (10, 20): the band runs from there to (50, 40)
    EXPECT_TRUE(WaitShown(20, 60, INVERTED));  // left side at (10, 30)
    EXPECT_TRUE(WaitShown(100, 80, INVERTED)); // bottom side at (50, 40)
    Capture shown;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &shown));
    EXPECT_EQ(shown.At(60, 60), BACKGROUND); // inside the box
    Click(hwnd, Button::Left, 20, 40);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ((std::vector<int>{p.a, p.b, p.c, p.d}), (std::vector<int>{10, 20, 50, 40}));
    EXPECT_EQ(Status(), L"32-bit color");
    EXPECT_EQ(p.target, 0);
    EXPECT_EQ(p.toolActive, 0);
    EXPECT_EQ(p.toolWindow, -1);
    EXPECT_TRUE(PictureUnchanged());
    EXPECT_TRUE(WaitShown(20, 60, BACKGROUND));
}

TEST_F(ToolTest, LineIsReturnedAsClickedAndRightClicksStepBackThenCancel) {
    MakeWindow(1, 120, 80, 100);
    Picked line;
    Begin([&line] { Record(&line, QIV_PickLine(1, &line.a, &line.b, &line.c, &line.d)); });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    Click(hwnd, Button::Left, 50, 40);
    ASSERT_TRUE(WaitStatus(L"Click the second point"));
    Click(hwnd, Button::Left, 10, 20);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(line.result, 0);
    EXPECT_EQ((std::vector<int>{line.a, line.b, line.c, line.d}),
              (std::vector<int>{50, 40, 10, 20}));

    Picked cancelled;
    Begin([&cancelled] {
        Record(&cancelled, QIV_PickLine(1, &cancelled.a, &cancelled.b, &cancelled.c, &cancelled.d));
    });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    Click(hwnd, Button::Left, 30, 30);
    ASSERT_TRUE(WaitStatus(L"Click the second point"));
    MouseMove(hwnd, 60, 30);
    EXPECT_TRUE(WaitShown(45, 30, INVERTED));
    Click(hwnd, Button::Right, 60, 30); // back to the first point, the band gone
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    EXPECT_TRUE(WaitShown(45, 30, BACKGROUND));
    Click(hwnd, Button::Middle, 60, 30);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(cancelled.result, 1);
    EXPECT_EQ(Status(), L"32-bit color");
    EXPECT_TRUE(PictureUnchanged());
}

TEST_F(ToolTest, CircleRadiusIsTheRoundedDistanceAndItsBandFollowsTheMouse) {
    MakeWindow(0, 200, 200, 100);
    Picked p;
    Begin([&p] { Record(&p, QIV_PickCircle(0, &p.a, &p.b, &p.c)); });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    Click(hwnd, Button::Left, 100, 100);
    ASSERT_TRUE(WaitStatus(L"Click the second point"));
    MouseMove(hwnd, 120, 100);
    EXPECT_TRUE(WaitShown(80, 100, INVERTED)); // radius 20, left of the centre
    Click(hwnd, Button::Left, 103, 104);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ((std::vector<int>{p.a, p.b, p.c}), (std::vector<int>{100, 100, 5}));
    EXPECT_TRUE(PictureUnchanged());
}

TEST_F(ToolTest, OneClickGuidesFollowTheMouseAndVanish) {
    MakeWindow(2, 100, 60, 100);
    struct Case {
        int tool;
        int probeX; // a pixel the guide covers with the mouse at (40, 30)
        int probeY;
    };
    for (const Case& c : {Case{0, 5, 30}, Case{1, 40, 55}, Case{2, 40 - 10, 30 - 7}}) {
        SCOPED_TRACE(c.tool);
        Picked p;
        const int tool = c.tool;
        Begin([&p, tool] {
            int result = tool == 0   ? QIV_PickRow(2, &p.a, &p.b)
                         : tool == 1 ? QIV_PickColumn(2, &p.a, &p.b)
                                     : QIV_PickPlace(2, &p.a, &p.b, 20, 15);
            Record(&p, result);
        });
        ASSERT_TRUE(WaitStatus(L"Click a point"));
        MouseMove(hwnd, 40, 30);
        EXPECT_TRUE(WaitShown(c.probeX, c.probeY, INVERTED));
        Click(hwnd, Button::Left, 41, 31);
        ASSERT_TRUE(Finished());
        EXPECT_EQ(p.result, 0);
        EXPECT_EQ(p.a, 41);
        EXPECT_EQ(p.b, 31);
        EXPECT_TRUE(PictureUnchanged());
        EXPECT_TRUE(WaitShown(c.probeX, c.probeY, BACKGROUND));
    }
    // The place frame of 20 x 15 around (40, 30): corners (30, 23) and (49, 37), with its
    // diagonals inside.
    Picked place;
    Begin([&place] { Record(&place, QIV_PickPlace(2, &place.a, &place.b, 20, 15)); });
    ASSERT_TRUE(WaitStatus(L"Click a point"));
    MouseMove(hwnd, 40, 30);
    EXPECT_TRUE(WaitShown(49, 37, INVERTED));
    EXPECT_TRUE(WaitShown(31, 24, INVERTED)); // the diagonal's first inner pixel
    Capture c;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &c));
    EXPECT_EQ(c.At(50, 37), BACKGROUND);
    EXPECT_EQ(c.At(29, 23), BACKGROUND);
    Click(hwnd, Button::Right, 40, 30);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(place.result, 1);
    EXPECT_TRUE(PictureUnchanged());

    Picked point;
    Begin([&point] { Record(&point, QIV_PickPoint(2, &point.a, &point.b)); });
    ASSERT_TRUE(WaitStatus(L"Click a point"));
    Click(hwnd, Button::Left, 7, 9, SHIFT);
    ASSERT_TRUE(Finished());
    EXPECT_EQ((std::vector<int>{point.result, point.a, point.b}), (std::vector<int>{0, 7, 9}));
    EXPECT_EQ(PointerShift, 1);
}

TEST_F(ToolTest, StopEndsEveryStageWithResultZeroAndNoMarkLeft) {
    MakeWindow(0, 100, 60, 100);
    Picked early;
    Begin([&early] { Record(&early, QIV_PickRect(0, &early.a, &early.b, &early.c, &early.d)); });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    PostMessageW(MainWindow, WM_COMMAND, CMD_STOP, 0);
    ASSERT_TRUE(Finished());
    EXPECT_EQ((std::vector<int>{early.result, early.a, early.b, early.c, early.d}),
              (std::vector<int>{0, 0, 0, 0, 0}));

    Picked late;
    Begin([&late] { Record(&late, QIV_PickRect(0, &late.a, &late.b, &late.c, &late.d)); });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    Click(hwnd, Button::Left, 40, 30);
    ASSERT_TRUE(WaitStatus(L"Click the second point"));
    MouseMove(hwnd, 20, 10);
    EXPECT_TRUE(WaitShown(30, 10, INVERTED));
    PostMessageW(MainWindow, WM_COMMAND, CMD_STOP, 0);
    ASSERT_TRUE(Finished());
    EXPECT_EQ((std::vector<int>{late.result, late.a, late.b, late.c, late.d}),
              (std::vector<int>{0, 20, 10, 40, 30}));
    EXPECT_TRUE(PictureUnchanged());
    EXPECT_EQ(Status(), L"32-bit color");

    Picked row;
    Begin([&row] { Record(&row, QIV_PickRow(0, &row.a, &row.b)); });
    ASSERT_TRUE(WaitStatus(L"Click a point"));
    MouseMove(hwnd, 50, 50);
    EXPECT_TRUE(WaitShown(0, 50, INVERTED));
    PostMessageW(MainWindow, WM_COMMAND, CMD_STOP, 0);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(row.result, 0);
    EXPECT_TRUE(PictureUnchanged());
    EXPECT_TRUE(WaitShown(0, 50, BACKGROUND));
}

TEST_F(ToolTest, ClosingTheToolsWindowGivesUpTheTool) {
    MakeWindow(0, 100, 60, 100);
    Picked p;
    Begin([&p] { Record(&p, QIV_PickRow(0, &p.a, &p.b)); });
    ASSERT_TRUE(WaitStatus(L"Click a point"));
    MouseMove(hwnd, 10, 10);
    EXPECT_TRUE(WaitShown(0, 10, INVERTED));
    CloseFromDesktop(hwnd);
    ASSERT_TRUE(Finished());
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.toolActive, 0);
    EXPECT_EQ(Status(), L"32-bit color");
}

// The pointer's recording keeps positions inside the image, so a tool never reports a point
// that a program could not index its buffer with.
TEST_F(ToolTest, PointsBeyondTheImageAreHeldAtItsEdge) {
    MakeWindow(0, 100, 60, 100);
    Picked p;
    Begin([&p] { Record(&p, QIV_PickLine(0, &p.a, &p.b, &p.c, &p.d)); });
    ASSERT_TRUE(WaitStatus(L"Click the first point"));
    Click(hwnd, Button::Left, 90, 30);
    ASSERT_TRUE(WaitStatus(L"Click the second point"));
    MouseMove(hwnd, 99, 30);
    EXPECT_TRUE(WaitShown(99, 30, INVERTED));
    Click(hwnd, Button::Left, 150, 30); // past the right edge
    ASSERT_TRUE(Finished());
    EXPECT_EQ((std::vector<int>{p.result, p.a, p.b, p.c, p.d}),
              (std::vector<int>{0, 90, 30, 99, 30}));
    EXPECT_TRUE(PictureUnchanged());
    // A window number that is not in use changes nothing, outputs included.
    Picked invalid;
    invalid.a = 7;
    Run([&invalid] { invalid.result = QIV_PickPoint(9, &invalid.a, &invalid.b); });
    EXPECT_EQ(invalid.result, 2);
    EXPECT_EQ(invalid.a, 7);
}

TEST_F(ToolTest, PasteAtAClickedPlaceCentresThePictureThereAndCancelPastesNothing) {
    MakeWindow(0, 100, 60, 100);
    Run([] {
        ASSERT_EQ(QIV_CreateImage(1, "clip", 300, 0, 20, 10, 100), 0);
        std::fill_n(qiv_pixels32[1], 20 * 10, 0xFF8000u);
        CopyImageToClipboard(1);
    });
    Begin([] { PasteFromClipboard(0, -1, -1); });
    ASSERT_TRUE(WaitStatus(L"Click a point"));
    Click(hwnd, Button::Right, 50, 30);
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(PictureUnchanged());

    Begin([] { PasteFromClipboard(0, -1, -1); });
    ASSERT_TRUE(WaitStatus(L"Click a point"));
    MouseMove(hwnd, 90, 55);
    EXPECT_TRUE(WaitShown(80, 50, INVERTED)); // the 20 x 10 frame's top-left corner
    Click(hwnd, Button::Left, 95, 55);        // near the corner: the picture is clipped
    ASSERT_TRUE(Finished());
    const std::uint32_t* px = qiv_pixels32[0];
    EXPECT_EQ(px[50 * 100 + 85], 0xFF8000u);
    EXPECT_EQ(px[59 * 100 + 99], 0xFF8000u);
    EXPECT_EQ(px[49 * 100 + 85], BACKGROUND);
    EXPECT_EQ(px[50 * 100 + 84], BACKGROUND);
    EXPECT_TRUE(WaitShown(99, 59, 0xFF8000u));
    EXPECT_TRUE(WaitShown(80, 50, BACKGROUND)); // no frame left
}

// The whole bitmap font as a sheet, 16 glyphs a row, saved for a look by eye.
TEST_F(ToolTest, GlyphSheetIsRenderedToAPicture) {
    const std::string path = (std::filesystem::current_path() / "bitmap_font_sheet.png").string();
    int saved = -1;
    Run([&saved, &path] {
        ASSERT_EQ(QIV_CreateImage(0, "glyphs", 0, 0, 16 * 10 + 2, 6 * 18 + 2, 400), 0);
        qiv_tc = 0xFFFFFF;
        for (int c = 0x20; c <= 0x7F; ++c) {
            qiv_textX = qiv_textLeft = 2 + (c - 0x20) % 16 * 10;
            qiv_textY = 16 + (c - 0x20) / 16 * 18;
            QIV_DrawChar(c);
        }
        QIV_UpdateImage(0);
        saved = QIV_SaveImage(qiv_image[0].width, qiv_image[0].height, 3, path.c_str());
    });
    EXPECT_EQ(saved, 0);
    std::printf("bitmap font sheet: %s\n", path.c_str());
}

TEST_F(ToolTest, TrueTypeTextSitsOnTheBaselineAdvancesByItsWidthsAndTakesStyles) {
    MakeWindow(0, 200, 60, 100);
    struct Drawn {
        int endX = 0;
        int abcAdvance = 0;
        int ink = 0;
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    };
    // Draws text at (10, 40) on a black window and measures it.
    auto draw = [](const char* text, Drawn* d) {
        QIV_ClearImage(0);
        qiv_textX = qiv_textLeft = 10;
        qiv_textY = 40;
        qiv_tttc = 0xFFFFFF;
        QIV_TTString(text);
        d->endX = qiv_textX;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (qiv_pixels32[0][y * 200 + x] != 0) {
                    ++d->ink;
                    d->left = std::min(d->left, x);
                    d->right = std::max(d->right, x);
                    d->top = std::min(d->top, y);
                    d->bottom = std::max(d->bottom, y);
                }
            }
        }
    };
    Drawn ab, normal, bold, italic, underlined, wide, cut, twoLines;
    LOGFONTW after{};
    Run([&] {
        QIV_SelectImage(0);
        draw("AB", &ab);
        HGDIOBJ old = SelectObject(qiv_image[0].memDC, qiv_ttFont);
        ABC abc[2] = {};
        GetCharABCWidthsW(qiv_image[0].memDC, 'A', 'B', abc);
        SelectObject(qiv_image[0].memDC, old);
        ab.abcAdvance = abc[0].abcA + static_cast<int>(abc[0].abcB) + abc[0].abcC + abc[1].abcA +
                        static_cast<int>(abc[1].abcB) + abc[1].abcC;
        draw("W", &normal);
        draw("\3W\4", &bold);
        draw("\1W\2", &italic);
        draw("\5W\6", &underlined);
        GetObjectW(qiv_ttFont, sizeof after, &after);
        draw("\xE6\x97\xA5\xE6\x9C\xAC", &wide); // two kanji
        draw("A\xE6\x97", &cut);
        draw("a\nb", &twoLines);
        QIV_UpdateImage(0);
    });
    EXPECT_EQ(ab.endX, 10 + ab.abcAdvance);
    EXPECT_EQ(ab.abcAdvance, 16); // two cells of the 8-wide Gothic
    EXPECT_GE(ab.left, 10);
    EXPECT_LT(ab.right, 26);
    EXPECT_GE(ab.top, 25); // the cell's top is qiv_textY - qiv_ttHeight + 1
    EXPECT_LE(ab.bottom, 40);
    EXPECT_GT(bold.ink, normal.ink);
    EXPECT_NE(italic.left + italic.right * 1000, normal.left + normal.right * 1000);
    EXPECT_GT(underlined.ink, normal.ink);
    EXPECT_EQ(after.lfWeight, FW_NORMAL);
    EXPECT_EQ(after.lfItalic, 0);
    EXPECT_EQ(after.lfUnderline, 0);
    EXPECT_EQ(wide.endX, 10 + 32);
    EXPECT_GT(wide.right - wide.left, 20);
    EXPECT_EQ(cut.endX, 18);
    EXPECT_EQ(twoLines.endX, 18);
    EXPECT_GT(twoLines.bottom, 40); // b went one line (16 rows) down

    int made = -1;
    LOGFONTW big{};
    Run([&] {
        made = QIV_TTSetSize(33, 30);
        GetObjectW(qiv_ttFont, sizeof big, &big);
        QIV_TTSetSize(16, 16);
    });
    EXPECT_EQ(made, 0);
    EXPECT_EQ(big.lfWidth, 16);
    EXPECT_EQ(big.lfHeight, 30);
    EXPECT_EQ(std::wstring(big.lfFaceName), L"ＭＳ ゴシック");
}

TEST_F(ToolTest, RowGraphWindowsHaveTheirSizesTitlesAndMargins) {
    MakeWindow(0, 200, 20, 100);
    int rgb = -2, ycrcb = -2, wrongDepth = -2, crcb = -2, area = -2;
    Run([&] {
        std::fill_n(qiv_pixels32[0] + 5 * 200, 200, 0xFF0000u);
        rgb = GraphImageRow(0, RowGraph::Rgb, 5);
        ycrcb = GraphImageRow(0, RowGraph::YCrCb, 5);
        wrongDepth = GraphImageRow(0, RowGraph::Luminance, 5);
        crcb = GraphImageRow(0, RowGraph::CrCb, 5);
        area = GraphCrCbArea(0, 10, 4, 19, 6);
    });
    ASSERT_EQ(rgb, 1); // the lowest free number
    EXPECT_EQ(ycrcb, 2);
    EXPECT_EQ(wrongDepth, -1);
    EXPECT_EQ(crcb, 4);
    EXPECT_EQ(area, 5);
    EXPECT_EQ(qiv_target, 5);
    EXPECT_EQ(qiv_image[rgb].width, 212);
    EXPECT_EQ(qiv_image[rgb].height, 128);
    EXPECT_EQ(qiv_image[ycrcb].width, 220);
    EXPECT_EQ(qiv_image[crcb].width, 256);
    EXPECT_EQ(std::string(qiv_image[rgb].title), "RGB(Y=5)");
    EXPECT_EQ(std::string(qiv_image[area].title), "CrCb(10,4)-(19,6)");
    const std::uint32_t* g = qiv_pixels32[rgb];
    EXPECT_EQ(g[12], 0xFF0000u); // R along the top from x = 12
    EXPECT_EQ(g[211], 0xFF0000u);
    EXPECT_EQ(g[127 * 212 + 12], 0x0000FFu);
    EXPECT_EQ(g[127 * 212 + 11], 0u);
    int letterInk = 0; // "R" in red left of the graph, above baseline 40
    for (int y = 26; y < 40; ++y) {
        for (int x = 2; x < 10; ++x) {
            letterInk += g[y * 212 + x] == 0xFF0000u;
        }
    }
    EXPECT_GT(letterInk, 10);
    const POINT client = ShownClientLeftTop(qiv_image[rgb].hwnd); // at (0, 0), framed
    EXPECT_EQ(client.x, 2);
    EXPECT_EQ(client.y, 2);
    Run([] {
        for (int n = 4; n < QIV_IMAGE_WINDOWS; ++n) {
            QIV_DestroyImage(n);
        }
    });
}

TEST_F(ToolTest, GraphsNeedAFreeNumber) {
    MakeWindow(0, 8, 4, 100);
    int result = -2;
    int inUse = 0;
    Run([&] {
        for (int n = 1; n < QIV_IMAGE_WINDOWS; ++n) {
            QIV_CreateImage(n, "full", 0, 0, 2, 2, 100);
        }
        result = GraphImageRow(0, RowGraph::Rgb, 0);
        for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
            inUse += IsImageWindowInUse(n) ? 1 : 0;
        }
        for (int n = 4; n < QIV_IMAGE_WINDOWS; ++n) {
            QIV_DestroyImage(n);
        }
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(inUse, QIV_IMAGE_WINDOWS);
}

// Exit while a tool waits: the tool gives up and the worker ends within its grace period.
TEST(ToolExit, ExitEndsAWaitingTool) {
    Watchdog watch(std::chrono::seconds(60), "tool exit");
    ASSERT_TRUE(StartTestProgram());
    const int before = UserLog().mainReturns.load();
    int result = -1;
    SetUserBody([&result] {
        if (QIV_CreateImage(0, "exit", 0, 0, 50, 50, 100) == 0) {
            int x = 0;
            int y = 0;
            result = QIV_PickPoint(0, &x, &y);
        }
    });
    PostMessageW(MainWindow, WM_COMMAND, CMD_START, 0);
    ASSERT_TRUE(PumpMainUntil([] {
        wchar_t text[80] = {};
        GetWindowTextW(StatusLine, text, 80);
        return std::wstring(text).find(L"Click a point") != std::wstring::npos;
    }));
    EndTestProgram();
    EXPECT_TRUE(WorkerFinished());
    EXPECT_EQ(UserLog().mainReturns.load(), before + 1);
    EXPECT_EQ(result, 1);
    SetUserBody(nullptr);
}

} // namespace
