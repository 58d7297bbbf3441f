// What the Qt-free core asks of the desktop backend (platform/qt/). Every function may be
// called from any thread; the backend carries the work to the GUI thread itself. Without a
// QApplication (headless tools and tests) they do nothing and windows live only in the table.
#pragma once

#include "platform/win32_user.h"

#include <memory>
#include <string>

namespace platform {

struct ModalRequest;

namespace backend {

bool HasGui();
bool IsGuiThread();
// Interrupts the GUI thread's wait in the Qt event dispatcher.
void WakeGuiThread();
// Processes pending Qt events on the GUI thread; with `wait`, blocks until at least one
// arrives or WakeGuiThread is called.
void ProcessGuiEvents(bool wait);
// As ProcessGuiEvents(true), but returns after at most `milliseconds` without events.
void WaitGuiEvents(int milliseconds);

// Creates the desktop side of a window from its table record; returns when it exists.
void CreateNativeWindow(HWND hwnd);
// Destroys the desktop side (never waits).
void DestroyNativeWindow(HWND hwnd);
// Applies the record's rectangle and client size to the desktop window (never waits).
void ApplyGeometry(HWND hwnd);
void ApplyVisibility(HWND hwnd, bool visible, bool activate);
void ApplyText(HWND hwnd);
void ApplyMenu(HWND hwnd);
void ApplyAcceptDrops(HWND hwnd);
void ApplyEnabled(HWND hwnd);
void Activate(HWND hwnd);
void ApplyFocus(HWND hwnd);
// Repaints part of the client area from the surface (client coordinates; null = all).
void SurfaceChanged(HWND hwnd, const RECT* rect);
// Shows modal UI on the GUI thread; the request completes itself (never waits).
void StartModal(const std::shared_ptr<ModalRequest>& request);

} // namespace backend
} // namespace platform
