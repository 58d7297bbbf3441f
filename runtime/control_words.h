// The words the main thread and the worker share, polled without locks. Each word has one
// writer per transition; atomics make every write visible to the other thread, and the
// request words use release/acquire so that the argument block travels with the code.
#pragma once

#include "platform/win32_types.h"

#include <atomic>

// Start chosen and not yet taken up by the worker.
extern std::atomic<int> StartRequested;
// 1 while the user program runs.
extern std::atomic<int> Running;
// The user asked the running activity to stop; user programs poll it in their waits.
extern std::atomic<int> StopRequested;
// 0 normal, 1 exit requested, 2 worker finished.
extern std::atomic<int> ExitState;
// Non-zero while a text window reads a line (its number + 1). The text windows own the word;
// it lives here so that the main window's menu can see it.
extern std::atomic<int> InputActive;

// The argument block of a request. The requester fills it before publishing RequestCode and
// reads `result` after it sees RequestDone; strings are the requester's and stay valid while
// it waits.
struct RequestBlock {
    unsigned number = 0; // image or text window number, or the input box's item count
    const char* title = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int zoom = 0;
    int bits = 0;
    const char* path = nullptr;
    HBITMAP bitmap = nullptr; // ownership passes to the worker
    int result = 0;
    int* reply = nullptr; // the requester's own copy of result
};

// The pending request, 0 when none; RequestDone is 1 once the last posted one was served.
extern std::atomic<int> RequestCode;
extern std::atomic<int> RequestDone;
extern RequestBlock RequestArgs;

// Request codes.
constexpr int REQUEST_CREATE_IMAGE = 9001;
constexpr int REQUEST_UPDATE_IMAGE = 9002;
constexpr int REQUEST_LOAD_IMAGE = 9003;
constexpr int REQUEST_PASTE_BITMAP = 9004;
constexpr int REQUEST_TEXT_WINDOW = 9005;
constexpr int REQUEST_INPUT_BOX = 9006;
constexpr int REQUEST_BUTTON_BOX = 9007;
constexpr int REQUEST_RESTORE_IMAGE = 9008; // the current image window is the worker's
