// What every click tool shares: the start and end sequences, the waiting pass and the marks.
#include "imageops/click_tool_session.h"
#include "imageops/click_tools.h"
#include "imageops/drawing.h"
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <thread>

namespace detail {

namespace {

// True while the tool's window is the one it started on, not a window that took its number.
bool SameWindow(const ToolWindowRef& window) {
    return IsImageWindowInUse(window.number) && qiv_image[window.number].hwnd == window.hwnd;
}

} // namespace

ToolWindowRef StartClickTool(int n, const char* status) {
    QIV_SetStatus(status);
    if (MainWindow != nullptr) {
        DragAcceptFiles(MainWindow, FALSE);
    }
    QIV_SelectImage(n);
    ToolWindow = n;
    ClickPending = 0;
    StopRequested = 0;
    ToolActive = 1;
    return {n, qiv_image[n].hwnd};
}

PassOutcome ToolPass(const ToolWindowRef& window) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QIV_PumpMessages();
    // Exit raises StopRequested too, so it is told apart first: nobody is left to use the
    // points. A window closed under the tool could never deliver its click.
    if (ExitState.load() != 0 || !SameWindow(window)) {
        return PassOutcome::Abandoned;
    }
    if (StopRequested.load() != 0) {
        return PassOutcome::Stopped;
    }
    return PassOutcome::Continue;
}

namespace {

constexpr int MAX_FRAME_SIDE = 65535;

void Invert(const ToolWindowRef& window, const Mark& mark) {
    if (!SameWindow(window)) {
        return;
    }
    // The mark belongs to the tool's window whatever a message handler left current.
    const int saved = qiv_target;
    qiv_target = window.number;
    const int width = qiv_image[window.number].width;
    const int height = qiv_image[window.number].height;
    switch (mark.shape) {
    case MarkShape::None:
        break;
    case MarkShape::Box:
        QIV_XorBox(mark.x1, mark.y1, mark.x2, mark.y2);
        break;
    case MarkShape::Line:
        QIV_XorLine(mark.x1, mark.y1, mark.x2, mark.y2);
        break;
    case MarkShape::Circle:
        QIV_XorCircle(mark.x1, mark.y1, mark.r);
        break;
    case MarkShape::Row:
        QIV_XorLine(0, mark.y1, width - 1, mark.y1);
        break;
    case MarkShape::Column:
        QIV_XorLine(mark.x1, 0, mark.x1, height - 1);
        break;
    case MarkShape::Place: {
        const int w = std::clamp(mark.w, 1, MAX_FRAME_SIDE);
        const int h = std::clamp(mark.h, 1, MAX_FRAME_SIDE);
        const int left = mark.x1 - w / 2;
        const int top = mark.y1 - h / 2;
        const int right = left + w - 1;
        const int bottom = top + h - 1;
        QIV_XorBox(left, top, right, bottom);
        if (w >= 9 && h >= 9) {
            QIV_XorLine(left + 1, top + 1, right - 1, bottom - 1);
            QIV_XorLine(right - 1, top + 1, left + 1, bottom - 1);
        }
        break;
    }
    }
    qiv_target = saved;
}

} // namespace

void ShowMark(const ToolWindowRef& window, Mark* mark) {
    if (!mark->shown) {
        Invert(window, *mark);
        mark->shown = true;
    }
}

void HideMark(const ToolWindowRef& window, Mark* mark) {
    if (mark->shown) {
        Invert(window, *mark);
        mark->shown = false;
    }
}

void RefreshToolWindow(const ToolWindowRef& window) {
    if (SameWindow(window)) {
        InvalidateRect(window.hwnd, nullptr, FALSE);
    }
}

int RoundedDistance(int x1, int y1, int x2, int y2) {
    const auto dx = static_cast<double>(std::int64_t{x2} - x1);
    const auto dy = static_cast<double>(std::int64_t{y2} - y1);
    const double rounded = std::floor(std::sqrt(dx * dx + dy * dy) + 0.5);
    return static_cast<int>(std::min(rounded, 2147483647.0));
}

} // namespace detail

void EndClickTool() {
    char text[32];
    std::snprintf(text, sizeof text, "%d-bit color", ScreenBitsPerPixel);
    QIV_SetStatus(text);
    ToolActive = 0;
    ToolWindow = -1;
    // A running user program keeps the main window closed to drops until it returns.
    if (MainWindow != nullptr && Running.load() == 0) {
        DragAcceptFiles(MainWindow, TRUE);
    }
}
