// Helpers shared by the text window's files. Functions taking a record expect the caller to
// hold that slot's lock.
#pragma once

#include "textwin/text_window.h"

#include <mutex>

namespace textwin {

std::mutex& SlotLock(int n);

// A 0xRRGGBB colour in GDI's 0x00BBGGRR order.
COLORREF GdiColor(int rgb);

// Memory DC and bitmap of the record's size, with the black brush, the OEM fixed font and the
// current colours selected and the picture black. False if GDI refuses.
bool CreateMemorySurface(TextWindowRecord& t);
void ReleaseMemorySurface(TextWindowRecord& t);

// Draws count characters at (x, y) in the current colours with an opaque background, each in
// the one or two cells the layout gives it.
void DrawCells(TextWindowRecord& t, const wchar_t* text, int count, int x, int y);

// After a line feed or break: moves the picture up one line if the cursor's line does not
// fit. Returns whether it scrolled.
bool ScrollIfNeeded(TextWindowRecord& t);

// Pumps the calling thread's queue: the main thread uses the pump without dialog handling.
void PumpCallerMessages();

// Writes narrow text to the window's log while it is logging.
void WriteLog(TextWindowRecord& t, const char* text);
// Closes the record's log file, if any, and sets its state to 0.
void CloseLog(TextWindowRecord& t);

// How QIV_Input holds the line input (line_claim.h): inside the calling thread's own
// dialogue, or taken for this one line; or not: another thread holds it (BUSY, try again
// later), or this thread is reading already (REFUSED).
enum class LineClaim { LINE, DIALOGUE, BUSY, REFUSED };
LineClaim TryClaimLineForInput();
void ReleaseLineForInput(LineClaim claim);

} // namespace textwin
