// Placeholder user program until the stereo application lands.
#include "runtime/qivlib.h"

void UserInit() {}

void UserMain() {
    MessageBoxW(nullptr, L"The stereo application is not built yet.", L"Pause", MB_OK);
}
