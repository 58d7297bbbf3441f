// The one-click tools: a point, a row, a column, or the place of a w x h frame, with a guide
// that follows the mouse from its last known position.
#include "imageops/click_tool_session.h"
#include "imageops/click_tools.h"
#include "imagewin/image_window.h"
#include "imagewin/pointer_events.h"

using detail::Mark;
using detail::MarkShape;
using detail::PassOutcome;
using detail::ToolWindowRef;

namespace {

// Each pass handles the mouse move, then the click, then the cancel: a click and a right click
// in the same pass give the click.
int PickOne(int n, Mark mark, int* x, int* y) {
    if (!IsImageWindowInUse(n)) {
        return 2;
    }
    if (x != nullptr) {
        *x = 0;
    }
    if (y != nullptr) {
        *y = 0;
    }
    const ToolWindowRef window = detail::StartClickTool(n, detail::A_POINT_TEXT);
    // The point tool has no guide and need not repaint as the mouse moves.
    auto refresh = [&window, &mark] {
        if (mark.shape != MarkShape::None) {
            detail::RefreshToolWindow(window);
        }
    };
    mark.x1 = MoveX;
    mark.y1 = MoveY;
    detail::ShowMark(window, &mark);
    refresh();
    int result = 0;
    bool taken = false;
    for (;;) {
        const PassOutcome outcome = detail::ToolPass(window);
        if (outcome == PassOutcome::Abandoned) {
            result = 1;
            break;
        }
        if (outcome == PassOutcome::Stopped || taken) {
            break;
        }
        if (MovePending != 0) {
            MovePending = 0;
            detail::HideMark(window, &mark);
            mark.x1 = MoveX;
            mark.y1 = MoveY;
            detail::ShowMark(window, &mark);
            refresh();
        }
        if (ClickPending != 0) {
            ClickPending = 0;
            // The click wins over a cancel of the same pass, which must not linger and cancel
            // the next tool the moment it starts.
            CancelPending = 0;
            detail::HideMark(window, &mark);
            refresh();
            if (x != nullptr) {
                *x = ClickX;
            }
            if (y != nullptr) {
                *y = ClickY;
            }
            taken = true;
        } else if (CancelPending != 0) {
            CancelPending = 0;
            result = 1;
            break;
        }
    }
    if (mark.shown) {
        detail::HideMark(window, &mark);
        refresh();
    }
    EndClickTool();
    return result;
}

Mark Guide(MarkShape shape, int w = 1, int h = 1) {
    Mark mark;
    mark.shape = shape;
    mark.w = w;
    mark.h = h;
    return mark;
}

} // namespace

int QIV_PickPoint(int n, int* x, int* y) {
    return PickOne(n, Guide(MarkShape::None), x, y);
}

int QIV_PickRow(int n, int* x, int* y) {
    return PickOne(n, Guide(MarkShape::Row), x, y);
}

int QIV_PickColumn(int n, int* x, int* y) {
    return PickOne(n, Guide(MarkShape::Column), x, y);
}

int QIV_PickPlace(int n, int* x, int* y, int w, int h) {
    return PickOne(n, Guide(MarkShape::Place, w, h), x, y);
}
