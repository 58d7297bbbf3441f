// The input box: one window of labelled edit fields through which a user program takes
// parameters. Everything here runs on the worker thread.
#pragma once

#include "platform/win32_user.h"

constexpr int QIV_INPUT_ITEMS = 30;
constexpr int QIV_INPUT_TEXT = 256;

struct InputBoxState {
    HWND window = nullptr; // null while no input box is open
    int items = 0;         // 1..30; kept when the box closes
    int ISIZE = 80;        // label width, kept across closing and reopening
    int ESIZE = 70;        // field width, likewise
    HWND label[QIV_INPUT_ITEMS] = {};
    HWND edit[QIV_INPUT_ITEMS] = {};
    // What the getters read: a field's text, captured when it loses the focus or on Enter.
    char* text[QIV_INPUT_ITEMS] = {};
    HWND lastFocus = nullptr; // the field that last had the keyboard focus
    int sizingEdge = 0;       // WMSZ_* edge of the last interactive sizing
    int menuItem = 0;         // item under the last right click
};

extern InputBoxState qiv_inputBox;

// Opens the box with its outer top-left corner at screen (x, y) and 1..30 items (clamped);
// does nothing while a box is open.
void QIV_OpenInputBox(int x, int y, int items);
void QIV_FocusInputBox();
void QIV_SetInputBoxTitle(int i, const char* text);
void QIV_SetInputBoxInt(int i, int value);
void QIV_SetInputBoxDouble(int i, double value);
// Item i's captured text read as atoi / atof would; 0 while closed or out of range.
int QIV_GetInputBoxInt(int i);
double QIV_GetInputBoxDouble(int i);
// Label and field widths (at least 1) for the open box, laid out at once, and for later ones.
void QIV_ResizeInputBox(int isize, int esize);
void QIV_DestroyInputBox();
// Asks for a new label of item i in the current text window.
void QIV_RenameInputBoxItem(int i);

// The procedure of the class "qiv_ib" that start-up registers.
LRESULT CALLBACK InputBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Puts every label and field where the present widths say.
void LayOutInputBox();

// The box window while it is open, else null.
HWND InputBoxWindow();
// Request 9006: an open box is replaced by a new one.
void ReopenInputBox(int x, int y, int items);

// The value format of QIV_SetInputBoxDouble: 10 significant digits, fixed notation for
// decimal exponents -1..9, else d.ddddddddde±nnn; trailing fractional zeros dropped, the
// point kept ("3.", "0.25", "5.e-002"). out holds at least 32 bytes.
void FormatInputBoxDouble(double value, char* out, int size);
