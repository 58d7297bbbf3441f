// Click tools: each takes over one image window, asks for points in the main window's status
// line, follows the mouse with an inverted rubber band and returns what the user clicked.
//
// They run on the worker thread and wait by pumping its messages, so the window keeps painting
// and the image window procedure reports the mouse through the click-tool events. Results:
// 0 picked (or stopped by the main window's Stop, with the points picked so far), 1 cancelled
// by a right or middle click (or abandoned because Exit began or the window was closed), 2 the
// window number is outside 0..255 or not in use (nothing happens then). Every output is 0
// at the start. The window becomes the current image window and stays so. Picked points may
// lie outside the image when the mouse leaves it. No rubber band is left in the picture.
#pragma once

// Two clicks. A right click after the first point steps back to it; a right click before it
// cancels. Rectangles come back ordered (x1 <= x2, y1 <= y2), lines as clicked; the circle's
// radius is the distance from the centre to the second click, rounded half up.
int QIV_PickRect(int n, int* x1, int* y1, int* x2, int* y2);
int QIV_PickLine(int n, int* x1, int* y1, int* x2, int* y2);
int QIV_PickCircle(int n, int* cx, int* cy, int* r);

// One click. The guide follows the mouse: none for a point, the whole row or column, or a
// w x h frame centred on the mouse (with its diagonals once both sides reach 9 pixels).
int QIV_PickPoint(int n, int* x, int* y);
int QIV_PickRow(int n, int* x, int* y);
int QIV_PickColumn(int n, int* x, int* y);
int QIV_PickPlace(int n, int* x, int* y, int w, int h);

// The end of every tool: the status line shows the display's colour depth again, the tool
// words are cleared and the main window takes dropped files again (unless a user program
// runs, which refuses them anyway).
void EndClickTool();
