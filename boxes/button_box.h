// The button box: one window with a grid of push buttons whose presses a user program polls.
// Everything here runs on the worker thread.
#pragma once

#include "platform/win32_user.h"

constexpr int QIV_BUTTONS = 256;

struct ButtonBoxState {
    HWND window = nullptr; // null while no button box is open
    int nx = 0;            // columns
    int ny = 0;            // rows
    int count = 0;         // nx × ny, at most 256
    int width = 98;        // every button's size; recomputed on WM_SIZE, kept across reopening
    int height = 26;
    HWND button[QIV_BUTTONS] = {};
    int pressCount[QIV_BUTTONS] = {}; // presses not yet taken by QIV_CheckButton
    int menuButton = 0;               // button under the last right click
};

extern ButtonBoxState qiv_buttonBox;

// Opens nx × ny buttons with the outer top-left corner at screen (x, y); does nothing while a
// box is open or when nx or ny is below 1 or nx × ny is above 256.
void QIV_OpenButtonBox(int x, int y, int nx, int ny);
void QIV_SetButtonBoxTitle(int i, const char* text);
// The presses of button i since the last check, which are then cleared.
int QIV_CheckButton(int i);
// Gives the open box a client area of w × h with the buttons stretched to it.
void QIV_ResizeButtonBox(int w, int h);
void QIV_DestroyButtonBox();
// Asks for a new caption of button i in the current text window.
void QIV_RenameButton(int i);

// The procedure of the class "qiv_bb" that start-up registers.
LRESULT CALLBACK ButtonBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Puts every button where the present button size says.
void LayOutButtonBox();
// The button under a client point; points in a gap belong to the button left of or above it.
int ButtonAtPoint(int x, int y);

// The box window while it is open, else null.
HWND ButtonBoxWindow();
// Request 9007: an open box is replaced by a new one.
void ReopenButtonBox(int x, int y, int nx, int ny);
