// The two-click tools: a rectangle, a line or a circle, with a rubber band from the first point
// to the mouse.
//
// Stages: 0 waits for the first point, 1 for the second, 2 is done. Each pass pumps, then
// looks at the pending events. The rectangle tests the click before the cancel; the line and
// the circle test the cancel first and skip the mouse move of a pass that had a cancel.
#include "imageops/click_tool_session.h"
#include "imageops/click_tools.h"
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"
#include "runtime/helpers.h"

#include <algorithm>

using detail::Mark;
using detail::MarkShape;
using detail::PassOutcome;
using detail::ToolWindowRef;

namespace {

struct TwoPoints {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int r = 0;
};

class TwoClickTool {
public:
    TwoClickTool(MarkShape shape, const ToolWindowRef& window) : window(window) {
        mark.shape = shape;
    }

    // Runs the passes; returns the tool's result with the points in *points.
    int Run(TwoPoints* points) {
        const bool cancelFirst = mark.shape != MarkShape::Box;
        int result = 0;
        for (;;) {
            const PassOutcome outcome = detail::ToolPass(window);
            if (outcome == PassOutcome::Abandoned) {
                result = 1;
                break;
            }
            if (outcome == PassOutcome::Stopped || stage == 2) {
                break;
            }
            bool cancelled = false;
            if (cancelFirst && CancelPending != 0) {
                cancelled = true;
                if (!Cancel()) {
                    result = 1;
                    break;
                }
            }
            if (ClickPending != 0) {
                Click();
            }
            if (!cancelFirst && CancelPending != 0 && !Cancel()) {
                result = 1;
                break;
            }
            if (MovePending != 0 && stage == 1 && !cancelled) {
                MovePending = 0;
                detail::HideMark(window, &mark);
                Follow(MoveX, MoveY);
                detail::ShowMark(window, &mark);
                detail::RefreshToolWindow(window);
            }
        }
        // A tool that is stopped or abandoned leaves no mark behind.
        if (mark.shown) {
            detail::HideMark(window, &mark);
            detail::RefreshToolWindow(window);
        }
        *points = {mark.x1, mark.y1, mark.x2, mark.y2, mark.r};
        return result;
    }

private:
    void Click() {
        ClickPending = 0;
        if (stage == 0) {
            // The second point (or the radius) starts on the first.
            mark.x1 = mark.x2 = ClickX;
            mark.y1 = mark.y2 = ClickY;
            mark.r = 0;
            detail::ShowMark(window, &mark);
            detail::RefreshToolWindow(window);
            QIV_SetStatus(detail::SECOND_POINT_TEXT);
            stage = 1;
        } else if (stage == 1) {
            detail::HideMark(window, &mark);
            detail::RefreshToolWindow(window);
            Follow(ClickX, ClickY);
            stage = 2;
        }
    }

    // False when the cancel ends the tool.
    bool Cancel() {
        CancelPending = 0;
        if (stage == 0) {
            return false;
        }
        if (stage == 1) {
            detail::HideMark(window, &mark);
            detail::RefreshToolWindow(window);
            QIV_SetStatus(detail::FIRST_POINT_TEXT);
            stage = 0;
        }
        return true;
    }

    void Follow(int x, int y) {
        mark.x2 = x;
        mark.y2 = y;
        mark.r = detail::RoundedDistance(mark.x1, mark.y1, x, y);
    }

    ToolWindowRef window;
    Mark mark;
    int stage = 0;
};

int PickTwo(int n, MarkShape shape, TwoPoints* points) {
    const ToolWindowRef window = detail::StartClickTool(n, detail::FIRST_POINT_TEXT);
    TwoClickTool tool(shape, window);
    const int result = tool.Run(points);
    EndClickTool();
    return result;
}

void Store(int* out, int value) {
    if (out != nullptr) {
        *out = value;
    }
}

} // namespace

int QIV_PickRect(int n, int* x1, int* y1, int* x2, int* y2) {
    if (!IsImageWindowInUse(n)) {
        return 2;
    }
    for (int* out : {x1, y1, x2, y2}) {
        Store(out, 0);
    }
    TwoPoints p;
    const int result = PickTwo(n, MarkShape::Box, &p);
    Store(x1, std::min(p.x1, p.x2));
    Store(y1, std::min(p.y1, p.y2));
    Store(x2, std::max(p.x1, p.x2));
    Store(y2, std::max(p.y1, p.y2));
    return result;
}

int QIV_PickLine(int n, int* x1, int* y1, int* x2, int* y2) {
    if (!IsImageWindowInUse(n)) {
        return 2;
    }
    for (int* out : {x1, y1, x2, y2}) {
        Store(out, 0);
    }
    TwoPoints p;
    const int result = PickTwo(n, MarkShape::Line, &p);
    Store(x1, p.x1);
    Store(y1, p.y1);
    Store(x2, p.x2);
    Store(y2, p.y2);
    return result;
}

int QIV_PickCircle(int n, int* cx, int* cy, int* r) {
    if (!IsImageWindowInUse(n)) {
        return 2;
    }
    for (int* out : {cx, cy, r}) {
        Store(out, 0);
    }
    TwoPoints p;
    const int result = PickTwo(n, MarkShape::Circle, &p);
    Store(cx, p.x1);
    Store(cy, p.y1);
    Store(r, p.r);
    return result;
}
