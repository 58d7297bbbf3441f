// Requests from the main thread to the worker.
//
// A requester waits until RequestCode is 0, fills RequestArgs, clears RequestDone and then
// publishes the code with a release store; the worker's acquire load of the code therefore
// sees the arguments. The worker stores the result, then RequestDone, then 0 into the code,
// each with release, and the requester's acquire load of RequestDone sees the result. Both
// waits pump the main thread's messages, so the main window procedure can run again inside
// them and post a nested request; each requester also passes its own result slot, so a nested
// request cannot overwrite the result of the one it waited behind. Once Exit has begun the
// worker serves nothing more, and the waits give up.
#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "imagewin/image_files.h"
#include "imagewin/image_window.h"
#include "platform/win32.h"
#include "runtime/control_words.h"
#include "runtime/worker.h"
#include "textwin/text_window.h"

namespace {

constexpr int NOT_POSTED = -2; // Exit began before the request went out
constexpr int NOT_SERVED = -1; // Exit ended the worker before it served the request
constexpr DWORD REQUEST_WAIT_MS = 50;

// Result slots of the requests in progress, one per nesting level. They are static so that a
// worker still finishing a request that Exit gave up on never writes into a dead stack frame.
constexpr int MAX_NESTING = 64;
int replies[MAX_NESTING];
int nesting = 0;

struct NestingLevel {
    NestingLevel() : slot(&replies[nesting % MAX_NESTING]) { ++nesting; }
    ~NestingLevel() { --nesting; }
    int* slot;
};

// Sleeps until a message arrives: the worker wakes this thread when it finishes a request, after
// the caller's last look at the request words. The timeout only bounds the cost of a lost wake.
void WaitForWorker() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, REQUEST_WAIT_MS, QS_ALLINPUT);
}

// Posts a request with the given arguments and waits for it.
int Post(int code, RequestBlock args) {
    while (RequestCode.load(std::memory_order_acquire) != 0) {
        if (ExitState.load() != 0) {
            return NOT_POSTED;
        }
        PumpMainMessages();
        if (RequestCode.load(std::memory_order_acquire) != 0) {
            WaitForWorker();
        }
    }
    if (ExitState.load() != 0) {
        return NOT_POSTED;
    }
    NestingLevel level;
    *level.slot = NOT_SERVED;
    args.result = 0;
    args.reply = level.slot;
    RequestArgs = args;
    RequestDone.store(0, std::memory_order_relaxed);
    RequestCode.store(code, std::memory_order_release);
    WakeWorker();
    while (RequestDone.load(std::memory_order_acquire) == 0) {
        if (ExitState.load() != 0) {
            return NOT_SERVED;
        }
        PumpMainMessages();
        if (RequestDone.load(std::memory_order_acquire) == 0) {
            WaitForWorker();
        }
    }
    return *level.slot;
}

} // namespace

void ServiceRequest() {
    int code = RequestCode.load(std::memory_order_acquire);
    RequestBlock& args = RequestArgs;
    switch (code) {
    case REQUEST_CREATE_IMAGE:
        args.result = args.number >= 256
                          ? 4
                          : CreateImageWindow(args.zoom, static_cast<int>(args.number), args.title,
                                              args.x, args.y, args.width, args.height, args.bits);
        break;
    case REQUEST_UPDATE_IMAGE:
        QIV_UpdateImage(static_cast<int>(args.number));
        break;
    case REQUEST_LOAD_IMAGE:
        QIV_SelectImage(static_cast<int>(args.number));
        args.result = QIV_LoadImage(args.path, args.x, args.y);
        QIV_RestoreImage();
        break;
    case REQUEST_PASTE_BITMAP:
        PasteBitmap(args.bitmap);
        break;
    case REQUEST_RESTORE_IMAGE:
        args.result = QIV_RestoreImage();
        break;
    case REQUEST_TEXT_WINDOW:
        if (args.number < 256) {
            QIV_OpenTextWindow(static_cast<int>(args.number), -1, -1, -1, -1);
        }
        break;
    case REQUEST_INPUT_BOX:
        ReopenInputBox(args.x, args.y, static_cast<int>(args.number));
        break;
    case REQUEST_BUTTON_BOX:
        ReopenButtonBox(args.x, args.y, args.width, args.height);
        break;
    default:
        return; // no requester produces other codes
    }
    if (args.reply) {
        *args.reply = args.result;
    }
    RequestDone.store(1, std::memory_order_release);
    RequestCode.store(0, std::memory_order_release);
    WakeMainThread();
}

int RequestCreateImage(int number, const char* title, int width, int height, int bits) {
    RequestBlock args;
    args.number = static_cast<unsigned>(number);
    args.title = title;
    args.x = -1;
    args.y = -1;
    args.width = width;
    args.height = height;
    args.zoom = 100;
    args.bits = bits;
    return Post(REQUEST_CREATE_IMAGE, args);
}

void RequestUpdateImage(int number) {
    RequestBlock args;
    args.number = static_cast<unsigned>(number);
    Post(REQUEST_UPDATE_IMAGE, args);
}

int RequestLoadImage(int number, const char* path) {
    RequestBlock args;
    args.number = static_cast<unsigned>(number);
    args.path = path;
    args.x = 0;
    args.y = 0;
    return Post(REQUEST_LOAD_IMAGE, args);
}

void RequestPasteBitmap(HBITMAP bitmap) {
    RequestBlock args;
    args.bitmap = bitmap;
    if (Post(REQUEST_PASTE_BITMAP, args) == NOT_POSTED && bitmap) {
        // The worker never saw it.
        DeleteObject(bitmap);
    }
}

int RequestRestoreImage() {
    return Post(REQUEST_RESTORE_IMAGE, RequestBlock{});
}

void RequestTextWindow(int number) {
    if (number >= 0 && number < 256) {
        if (HWND open = TextWindowHandle(number)) {
            SetForegroundWindow(open);
            return;
        }
    }
    RequestBlock args;
    args.number = static_cast<unsigned>(number);
    args.x = args.y = args.width = args.height = -1;
    Post(REQUEST_TEXT_WINDOW, args);
}

void RequestInputBox(int items) {
    RequestBlock args;
    args.number = static_cast<unsigned>(items);
    args.x = 0;
    args.y = 0;
    Post(REQUEST_INPUT_BOX, args);
}

void RequestButtonBox(int nx, int ny) {
    RequestBlock args;
    args.x = 0;
    args.y = 0;
    args.width = nx;
    args.height = ny;
    Post(REQUEST_BUTTON_BOX, args);
}
