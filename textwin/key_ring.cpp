// The ring has one producer (the window procedure, worker thread) and one consumer
// (QIV_Input, possibly on the main thread); a lock keeps its three words consistent, since
// an empty ring is marked by the read index and both sides write that.
#include "textwin/key_ring.h"

#include <mutex>

KeyRingRecord KeyRing = {{}, -1, 0};
std::atomic<int> InputRequest{0};
wchar_t LastInputLine[QIV_INPUT_CHARS + 1];

namespace {

std::mutex ringLock;

int Next(int index) {
    return (index + 1) % QIV_KEY_RING;
}

} // namespace

bool KeyRingPut(wchar_t c) {
    std::lock_guard lock(ringLock);
    if (KeyRing.readIndex == KeyRing.writeIndex) {
        return false;
    }
    if (KeyRing.readIndex < 0) {
        KeyRing.readIndex = KeyRing.writeIndex;
    }
    KeyRing.keys[KeyRing.writeIndex] = c;
    KeyRing.writeIndex = Next(KeyRing.writeIndex);
    return true;
}

bool KeyRingTake(wchar_t* c) {
    std::lock_guard lock(ringLock);
    if (KeyRing.readIndex < 0) {
        return false;
    }
    *c = KeyRing.keys[KeyRing.readIndex];
    KeyRing.readIndex = Next(KeyRing.readIndex);
    if (KeyRing.readIndex == KeyRing.writeIndex) {
        KeyRing.readIndex = -1;
    }
    return true;
}

int KeyRingRoom() {
    std::lock_guard lock(ringLock);
    if (KeyRing.readIndex < 0) {
        return QIV_KEY_RING;
    }
    const int used = (KeyRing.writeIndex - KeyRing.readIndex + QIV_KEY_RING) % QIV_KEY_RING;
    return used == 0 ? 0 : QIV_KEY_RING - used;
}

void KeyRingClear() {
    std::lock_guard lock(ringLock);
    KeyRing.readIndex = -1;
    KeyRing.writeIndex = 0;
}

void GetLastInputLine(wchar_t* line) {
    std::lock_guard lock(ringLock);
    for (int i = 0; i <= QIV_INPUT_CHARS; ++i) {
        line[i] = LastInputLine[i];
    }
}

void SetLastInputLine(const wchar_t* line, int length) {
    std::lock_guard lock(ringLock);
    length = length < 0 ? 0 : (length > QIV_INPUT_CHARS ? QIV_INPUT_CHARS : length);
    for (int i = 0; i < length; ++i) {
        LastInputLine[i] = line[i];
    }
    LastInputLine[length] = 0;
}
