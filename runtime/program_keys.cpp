// The keys that work from every window of the program: the main window answers them.
#include "platform/win32.h"
#include "runtime/main_commands.h"
#include "runtime/program_state.h"

bool ForwardProgramKey(WPARAM key) {
    if (key != 'S' && key != 'C' && key != 'X' && key != VK_ESCAPE) {
        return false;
    }
    PostMessageW(MainWindow, WM_KEYDOWN, key, 0);
    return true;
}
