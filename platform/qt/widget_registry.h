// Which widget stands for which window. GUI thread only.
#pragma once

#include "platform/win32_user.h"

#include <QWidget>

namespace platform::qt {

class NativeWindow;

QWidget* WidgetOf(HWND hwnd);
NativeWindow* TopLevelOf(HWND hwnd);
// The widget that children of hwnd are placed in (its client area).
QWidget* ContainerOf(HWND hwnd);
void RegisterWidget(HWND hwnd, QWidget* widget);
void UnregisterWidget(HWND hwnd);
// Every top-level widget (for shutdown).
std::vector<HWND> RegisteredWindows();

} // namespace platform::qt
