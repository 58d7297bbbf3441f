// Starting and stopping the platform layer around the QApplication.
#pragma once

namespace platform::qt {

// Before the QApplication exists: the xcb platform unless the user chose one (window
// positions are honoured there, also under Wayland through XWayland), and no high-DPI
// scaling, so that one image pixel is one screen pixel.
void PrepareEnvironment();

// On the GUI thread once the QApplication exists: measures the desktop (screen, work area,
// window frames, menu bar height) and starts carrying calls to the GUI thread.
void InitializePlatform();

// Before the QApplication goes: releases every waiting thread and deletes remaining widgets.
void ShutDownPlatform();

} // namespace platform::qt
