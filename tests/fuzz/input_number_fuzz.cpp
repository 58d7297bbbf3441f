// The input box's numbers: whatever a user types into a field reads as a number without
// undefined behaviour, and a double shown by the box reads back as the value it stands for.
#include "boxes/input_box.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char text[QIV_INPUT_TEXT] = {};
    std::memcpy(text, data, size < sizeof text - 1 ? size : sizeof text - 1);
    // The getters read the captured text of an open box; a stand-in handle opens it.
    qiv_inputBox.window = reinterpret_cast<HWND>(std::uintptr_t{1});
    qiv_inputBox.items = 1;
    qiv_inputBox.text[0] = text;
    volatile int whole = QIV_GetInputBoxInt(0);
    (void)whole;
    const double value = QIV_GetInputBoxDouble(0);
    qiv_inputBox.window = nullptr;
    qiv_inputBox.text[0] = nullptr;

    char shown[64];
    FormatInputBoxDouble(value, shown, sizeof shown);
    if (std::memchr(shown, '\0', sizeof shown) == nullptr) {
        std::abort();
    }
    if (std::isfinite(value)) {
        const double back = std::strtod(shown, nullptr);
        // Ten significant digits; values below the smallest normal lose digits of their own, and
        // the largest doubles round up past the largest one.
        const bool roundedPastTop = std::isinf(back) && std::fabs(value) > 1.7976931345e308;
        if (!roundedPastTop && !(std::fabs(back - value) <= 1e-9 * std::fabs(value) + 1e-300)) {
            std::abort();
        }
    }
    return 0;
}
