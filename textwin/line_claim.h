// One line reader at a time. Typed keys go into one ring and InputActive names one reading
// window, so two readers at once would split the keys and end each other's lines. Readers are
// the user program's QIV_Input (worker), the main window's creation prompts (main thread), and
// the dialogues that window procedures start inside a pump: renaming a box item, the command
// prompt.
//
// A dialogue (prompt and answer, possibly several lines) claims the line input first and is
// refused while anyone holds it: the user started it, and starting nothing is the honest
// answer. QIV_Input called outside a dialogue waits, pumping, while another thread reads; when
// a reader on its own thread is already reading (a call nested inside that reader's pump),
// it returns an empty line at once, since waiting there could never end.
#pragma once

// Claims the line input for a dialogue on the calling thread; false while anyone holds it.
bool BeginLineDialogue();
// Ends the calling thread's dialogue.
void EndLineDialogue();
// True while a dialogue or a QIV_Input holds the line input. The main window greys its
// prompts and refuses Start meanwhile.
bool LineInputBusy();
