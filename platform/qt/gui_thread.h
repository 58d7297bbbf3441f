// Carrying work to the GUI thread, where every Qt object lives.
#pragma once

#include <functional>

namespace platform::qt {

enum class GuiCall {
    Wait,   // return after the work has run (or the platform shut down)
    NoWait, // queue the work and return at once
};

// Runs fn on the GUI thread. On the GUI thread itself it runs at once: a blocking queued call
// to one's own thread would never return. Without a QApplication it runs inline; after
// shutdown it is dropped.
void RunOnGuiThread(std::function<void()> fn, GuiCall mode);

// Creates the object that queued calls are delivered to; call on the GUI thread once the
// QApplication exists.
void StartGuiThreadCalls();
// Releases every thread waiting for a GUI call and drops later ones.
void StopGuiThreadCalls();

} // namespace platform::qt
