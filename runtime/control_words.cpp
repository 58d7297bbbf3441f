#include "runtime/control_words.h"

std::atomic<int> StartRequested{0};
std::atomic<int> Running{0};
std::atomic<int> StopRequested{0};
std::atomic<int> ExitState{0};
std::atomic<int> InputActive{0};

std::atomic<int> RequestCode{0};
std::atomic<int> RequestDone{1};
RequestBlock RequestArgs;
