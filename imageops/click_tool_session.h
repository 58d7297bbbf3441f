// Internal to the click tools: starting and ending a tool, one waiting pass, and the inverted
// marks that follow the mouse.
#pragma once

#include "platform/win32_types.h"

namespace detail {

constexpr const char* FIRST_POINT_TEXT = "Click the first point";
constexpr const char* SECOND_POINT_TEXT = "Click the second point";
constexpr const char* A_POINT_TEXT = "Click a point";

// The window a tool works on, as it was when the tool started.
struct ToolWindowRef {
    int number;
    HWND hwnd;
};

// For a window n in use (the caller checks): shows the first status text, refuses drops on the
// main window, selects n and raises ToolActive.
ToolWindowRef StartClickTool(int n, const char* status);

enum class PassOutcome {
    Continue,
    Stopped,   // the main window's Stop: the tool ends with result 0
    Abandoned, // Exit began or the window went away: the tool ends with result 1
};

// Pumps the worker's messages once (after a short sleep, so that waiting costs no CPU) and
// says whether the tool goes on.
PassOutcome ToolPass(const ToolWindowRef& window);

enum class MarkShape { None, Box, Line, Circle, Row, Column, Place };

// An inverted mark. Inverting twice restores the picture, so Show and Hide are the same
// operation; `shown` keeps them paired.
struct Mark {
    MarkShape shape = MarkShape::None;
    int x1 = 0; // first point, centre of a circle, or the mouse for one-point guides
    int y1 = 0;
    int x2 = 0; // second point
    int y2 = 0;
    int r = 0; // circle radius
    int w = 1; // frame size of MarkShape::Place
    int h = 1;
    bool shown = false;
};

void ShowMark(const ToolWindowRef& window, Mark* mark);
void HideMark(const ToolWindowRef& window, Mark* mark);
// The window repaints at its next paint without erasing its background.
void RefreshToolWindow(const ToolWindowRef& window);

// Distance rounded half up: floor(sqrt(dx^2 + dy^2) + 0.5).
int RoundedDistance(int x1, int y1, int x2, int y2);

} // namespace detail
