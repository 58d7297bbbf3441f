// Placeholders for the seams of subsystem_seams.h whose subsystems have not landed yet. Each
// group answers as a program without that kind of window would; the subsystem that lands
// replaces its group with the real call.
#include "runtime/subsystem_seams.h"

#include "platform/win32.h"

// FIXME: the colour dialog's custom colours (image window commands).
void ResetCustomColours() {}
