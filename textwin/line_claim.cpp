// Who holds the line input. One lock guards three words: the holding thread (none when free),
// whether it holds it for a dialogue, and whether a QIV_Input of it is reading. The holder
// releases; other threads only look.
#include "textwin/line_claim.h"

#include "textwin/text_internal.h"

#include <mutex>
#include <thread>

namespace {

std::mutex claimLock;
std::thread::id holder; // default-constructed: nobody
bool dialogue = false;
bool reading = false;

void FreeIfDone() {
    if (!dialogue && !reading) {
        holder = std::thread::id();
    }
}

} // namespace

bool BeginLineDialogue() {
    std::lock_guard lock(claimLock);
    if (holder != std::thread::id()) {
        return false;
    }
    holder = std::this_thread::get_id();
    dialogue = true;
    return true;
}

void EndLineDialogue() {
    std::lock_guard lock(claimLock);
    if (holder == std::this_thread::get_id()) {
        dialogue = false;
        FreeIfDone();
    }
}

bool LineInputBusy() {
    std::lock_guard lock(claimLock);
    return holder != std::thread::id();
}

namespace textwin {

LineClaim TryClaimLineForInput() {
    const std::thread::id self = std::this_thread::get_id();
    std::lock_guard lock(claimLock);
    if (holder == std::thread::id()) {
        holder = self;
        reading = true;
        return LineClaim::LINE;
    }
    if (holder != self) {
        return LineClaim::BUSY;
    }
    if (reading) {
        return LineClaim::REFUSED;
    }
    reading = true;
    return LineClaim::DIALOGUE;
}

void ReleaseLineForInput(LineClaim claim) {
    if (claim != LineClaim::LINE && claim != LineClaim::DIALOGUE) {
        return;
    }
    std::lock_guard lock(claimLock);
    reading = false;
    FreeIfDone();
}

} // namespace textwin
