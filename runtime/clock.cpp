#include "runtime/helpers.h"

#include <chrono>
#include <cmath>

namespace {

// Milliseconds per tick of the monotonic clock.
const double msPerTick =
    1000.0 * std::chrono::steady_clock::period::num / std::chrono::steady_clock::period::den;

} // namespace

std::uint32_t QIV_GetTime() {
    double ms = std::floor(
        static_cast<double>(std::chrono::steady_clock::now().time_since_epoch().count()) *
        msPerTick);
    // Only the low 32 bits are kept: readings wrap, and callers take unsigned differences.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}
