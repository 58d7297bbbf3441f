// Window rectangles on the virtual screen, metrics, moves and sizes made by the user.
#include "tests/support/window_fixture.h"

using namespace qivtest;
using namespace platform::testing;

namespace {

constexpr DWORD FRAMED = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

class GeometryTest : public WindowTest {};

TEST_F(GeometryTest, VirtualScreenMetrics) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 1024 - GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYFRAME), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYMENU), 10);
    EXPECT_EQ(GetSystemMetrics(SM_CXMIN), 5);
    EXPECT_EQ(GetSystemMetrics(SM_CYMIN), 5);
    EXPECT_EQ(GetSystemMetrics(12345), 0);
}

TEST_F(GeometryTest, AdjustWindowRectMatchesTheDesktopFrame) {
    RECT r = {0, 0, 240, 100};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_VISIBLE | FRAMED, FALSE));
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"frame", WS_VISIBLE | FRAMED, 300, 200, width,
                                height, nullptr, nullptr, nullptr, nullptr);
    ProcessDesktopEvents();
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 100);
    DesktopWindow shown = DesktopWindowOf(hwnd);
    RECT expected = {300, 200, 300 + width, 200 + height};
    EXPECT_TRUE(Same(shown.frame, expected)) << Show(shown.frame);
    EXPECT_EQ(shown.client.right - shown.client.left, 240);
    EXPECT_EQ(shown.client.bottom - shown.client.top, 100);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x, shown.client.left);
    EXPECT_EQ(origin.y, shown.client.top);
    DestroyWindow(hwnd);
}

TEST_F(GeometryTest, WindowCreatedOnAWorkerAppearsAtItsOuterRectangle) {
    Worker worker;
    HWND owner = CreateWindowExW(0, RecordingClass(), L"owner", WS_VISIBLE | FRAMED, 10, 10, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
    HWND hwnd = nullptr;
    worker.Call([&] {
        hwnd = CreateWindowExW(0, RecordingClass(), L"worker window", WS_VISIBLE | FRAMED, 420, 310,
                               333, 222, owner, nullptr, nullptr, nullptr);
    });
    ProcessDesktopEvents();
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_TRUE(Same(r, RECT{420, 310, 753, 532})) << Show(r);
    DesktopWindow shown = DesktopWindowOf(hwnd);
    EXPECT_TRUE(shown.visible);
    EXPECT_TRUE(Same(shown.frame, RECT{420, 310, 753, 532})) << Show(shown.frame);
    EXPECT_EQ(shown.title, L"worker window");
    EXPECT_TRUE(shown.transientForOwner);
    worker.Call([&] { DestroyWindow(hwnd); });
    ProcessDesktopEvents();
    EXPECT_FALSE(DesktopWindowOf(hwnd).exists);
    DestroyWindow(owner);
}

TEST_F(GeometryTest, CreationSendsSizeAndMoveWithClientValues) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"sizes", FRAMED, 50, 60, 104, 84, nullptr,
                                nullptr, nullptr, nullptr);
    auto sizes = Log().All(hwnd, WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lParam), 100);
    EXPECT_EQ(HIWORD(sizes[0].lParam), 80);
    auto moves = Log().All(hwnd, WM_MOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 52);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 62);
    DestroyWindow(hwnd);
}

TEST_F(GeometryTest, SetWindowPosMovesResizesAndNotifies) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"pos", WS_VISIBLE | FRAMED, 50, 60, 104, 84,
                                nullptr, nullptr, nullptr, nullptr);
    Log().Clear();
    SetWindowPos(hwnd, nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Log().Count(hwnd, WM_MOVE), 1);
    EXPECT_EQ(Log().Count(hwnd, WM_SIZE), 0);
    MoveWindow(hwnd, 70, 90, 204, 104, TRUE);
    EXPECT_EQ(Log().Count(hwnd, WM_SIZE), 1);
    ProcessDesktopEvents();
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_TRUE(Same(r, RECT{70, 90, 274, 194})) << Show(r);
    EXPECT_TRUE(Same(DesktopWindowOf(hwnd).frame, r)) << Show(DesktopWindowOf(hwnd).frame);
    // Our own moves are not mistaken for the user's.
    PumpAll();
    EXPECT_EQ(Log().Count(hwnd, WM_MOVING), 0);
    EXPECT_EQ(Log().Count(hwnd, WM_SIZING), 0);
    DestroyWindow(hwnd);
}

TEST_F(GeometryTest, UserDragReportsMovingAndTheProcedureCorrectsIt) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"drag", WS_VISIBLE | FRAMED, 100, 100, 200,
                                150, nullptr, nullptr, nullptr, nullptr);
    PumpAll();
    // Snap the proposed position to a multiple of 50, keeping the size.
    RECT proposed{};
    SetBehaviour([&](HWND h, UINT m, WPARAM, LPARAM lParam, LRESULT* result) {
        if (h == hwnd && m == WM_MOVING) {
            auto* r = reinterpret_cast<RECT*>(lParam);
            proposed = *r;
            int dx = (r->left + 25) / 50 * 50 - r->left;
            int dy = (r->top + 25) / 50 * 50 - r->top;
            r->left += dx;
            r->right += dx;
            r->top += dy;
            r->bottom += dy;
            *result = TRUE;
            return true;
        }
        return false;
    });
    Log().Clear();
    DragWindowTo(hwnd, RECT{307, 296, 507, 446}, CONTROL);
    PumpAll();
    ProcessDesktopEvents();
    auto moving = Log().All(hwnd, WM_MOVING);
    ASSERT_EQ(moving.size(), 1u);
    EXPECT_TRUE(Same(proposed, RECT{307, 296, 507, 446})) << Show(proposed);
    // The drag was made with Ctrl held, and the procedure saw it.
    EXPECT_LT(moving[0].control, 0);
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_TRUE(Same(r, RECT{300, 300, 500, 450})) << Show(r);
    EXPECT_TRUE(Same(DesktopWindowOf(hwnd).frame, r)) << Show(DesktopWindowOf(hwnd).frame);
    EXPECT_EQ(Log().Count(hwnd, WM_MOVE), 1);
    EXPECT_EQ(Log().Count(hwnd, WM_SIZING), 0);
    DestroyWindow(hwnd);
}

TEST_F(GeometryTest, UserResizeReportsTheEdgeAndCanBeRefused) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"size", WS_VISIBLE | FRAMED, 100, 100, 200,
                                150, nullptr, nullptr, nullptr, nullptr);
    PumpAll();
    std::vector<WPARAM> edges;
    SetBehaviour([&](HWND h, UINT m, WPARAM w, LPARAM lParam, LRESULT*) {
        if (h == hwnd && m == WM_SIZING) {
            edges.push_back(w);
            // Refuse any size change, as the image windows do.
            GetWindowRect(h, reinterpret_cast<RECT*>(lParam));
        }
        return false;
    });
    DragWindowTo(hwnd, RECT{80, 100, 300, 250}); // left edge
    PumpAll();
    DragWindowTo(hwnd, RECT{100, 100, 300, 290}); // bottom edge
    PumpAll();
    DragWindowTo(hwnd, RECT{100, 60, 340, 250}); // top-right corner
    PumpAll();
    ProcessDesktopEvents();
    ASSERT_EQ(edges.size(), 3u);
    EXPECT_EQ(edges[0], static_cast<WPARAM>(WMSZ_LEFT));
    EXPECT_EQ(edges[1], static_cast<WPARAM>(WMSZ_BOTTOM));
    EXPECT_EQ(edges[2], static_cast<WPARAM>(WMSZ_TOPRIGHT));
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_TRUE(Same(r, RECT{100, 100, 300, 250})) << Show(r);
    EXPECT_TRUE(Same(DesktopWindowOf(hwnd).frame, r)) << Show(DesktopWindowOf(hwnd).frame);
    EXPECT_EQ(Log().Count(hwnd, WM_SIZE), 1); // only the one from creation
    DestroyWindow(hwnd);
}

TEST_F(GeometryTest, AcceptedUserResizeChangesTheClientAndSurface) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"grow", WS_VISIBLE | FRAMED, 100, 100, 104,
                                104, nullptr, nullptr, nullptr, nullptr);
    PumpAll();
    Log().Clear();
    DragWindowTo(hwnd, RECT{100, 100, 304, 154}, NO_MODIFIER, 3);
    PumpAll();
    auto sizes = Log().All(hwnd, WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(LOWORD(sizes.back().lParam), 200);
    EXPECT_EQ(HIWORD(sizes.back().lParam), 50);
    Capture surface;
    ASSERT_TRUE(CaptureClientSurface(hwnd, &surface));
    EXPECT_EQ(surface.width, 200);
    EXPECT_EQ(surface.height, 50);
    // The class background (COLOR_BTNFACE) fills the new part.
    EXPECT_EQ(surface.At(150, 10), 0xF0F0F0u);
    DestroyWindow(hwnd);
}

TEST_F(GeometryTest, ClosingFromTheDesktopAsksTheWindow) {
    HWND keep = CreateWindowExW(0, RecordingClass(), L"keep", WS_VISIBLE | FRAMED, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
    HWND close = CreateWindowExW(0, RecordingClass(), L"close", WS_VISIBLE | FRAMED, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetBehaviour([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT* result) {
        if (h == keep && m == WM_CLOSE) {
            *result = 0;
            return true; // refuses to close
        }
        return false;
    });
    CloseFromDesktop(keep);
    CloseFromDesktop(close);
    // Nothing happens before the owning thread pumps.
    EXPECT_TRUE(IsWindow(close));
    PumpAll();
    EXPECT_EQ(Log().Count(keep, WM_CLOSE), 1);
    EXPECT_TRUE(IsWindow(keep));
    EXPECT_FALSE(IsWindow(close)); // DefWindowProcW destroyed it
    ProcessDesktopEvents();
    EXPECT_TRUE(DesktopWindowOf(keep).visible);
    DestroyWindow(keep);
}

TEST_F(GeometryTest, DefaultPositionAndHugeSizesStaySane) {
    HWND a = CreateWindowExW(0, RecordingClass(), L"a", FRAMED, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                             100, nullptr, nullptr, nullptr, nullptr);
    HWND b = CreateWindowExW(0, RecordingClass(), L"b", FRAMED, CW_USEDEFAULT, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
    RECT ra{};
    RECT rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    EXPECT_EQ(ra.right - ra.left, 100);
    EXPECT_NE(ra.left, rb.left); // cascaded
    HWND huge = CreateWindowExW(0, RecordingClass(), L"huge", FRAMED, 0, 0, 1 << 30, -50, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindow(huge));
    RECT client{};
    GetClientRect(huge, &client);
    EXPECT_LE(client.right, 8192);
    EXPECT_EQ(client.bottom, 0);
    DestroyWindow(a);
    DestroyWindow(b);
    DestroyWindow(huge);
}

TEST_F(GeometryTest, WindowTextRoundTripsAndTruncates) {
    HWND hwnd = CreateWindowExW(0, RecordingClass(), L"title", FRAMED, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr);
    EXPECT_TRUE(SetWindowTextW(hwnd, L"QIVLIB 7.3  \u65e5\u672c"));
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 14);
    wchar_t buffer[8];
    EXPECT_EQ(GetWindowTextW(hwnd, buffer, 8), 7);
    EXPECT_STREQ(buffer, L"QIVLIB ");
    EXPECT_EQ(GetWindowTextW(hwnd, buffer, 0), 0);
    ProcessDesktopEvents();
    EXPECT_EQ(DesktopWindowOf(hwnd).title, L"QIVLIB 7.3  \u65e5\u672c");

    HWND label = CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, 0, 6, 234, 20, hwnd,
                                 reinterpret_cast<HMENU>(2001), nullptr, nullptr);
    ASSERT_TRUE(IsWindow(label));
    SetWindowTextW(label, L"32-bit color");
    wchar_t text[32];
    GetWindowTextW(label, text, 32);
    EXPECT_STREQ(text, L"32-bit color");
    RECT r{};
    GetWindowRect(label, &r);
    POINT origin = {0, 6};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(r.left, origin.x);
    EXPECT_EQ(r.top, origin.y);
    EXPECT_EQ(r.right - r.left, 234);
    DestroyWindow(hwnd);
}

} // namespace
