#include "boxes/input_box.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Drops the zeros that end the fractional part; the point stays.
void TrimFraction(std::string* digits) {
    std::size_t point = digits->find('.');
    if (point == std::string::npos) {
        return;
    }
    std::size_t last = digits->find_last_not_of('0');
    digits->erase(std::max(last, point) + 1);
}

// The decimal exponent of the first significant digit of the exact value. Eighteen digits
// are more than a double holds, so rounding them can never carry into the next power of ten.
int DecimalExponent(double magnitude) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17e", magnitude);
    const char* e = std::strchr(buffer, 'e');
    return e ? std::atoi(e + 1) : 0;
}

} // namespace

void FormatInputBoxDouble(double value, char* out, int size) {
    if (!out || size <= 0) {
        return;
    }
    std::string result;
    if (!std::isfinite(value)) {
        result = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    } else {
        if (value == 0) {
            value = 0; // no "-0."
        }
        int e = value == 0 ? 0 : DecimalExponent(std::fabs(value));
        char buffer[64];
        if (e >= -1 && e <= 9) {
            std::snprintf(buffer, sizeof buffer, "%#.*f", 9 - e, value);
            result = buffer;
            TrimFraction(&result);
        } else {
            std::snprintf(buffer, sizeof buffer, "%#.9e", value);
            std::string text = buffer;
            std::size_t mark = text.find('e');
            std::string mantissa = text.substr(0, mark);
            TrimFraction(&mantissa);
            int exponent = std::atoi(text.c_str() + mark + 1);
            std::snprintf(buffer, sizeof buffer, "e%c%03d", exponent < 0 ? '-' : '+',
                          std::abs(exponent));
            result = mantissa + buffer;
        }
    }
    std::snprintf(out, static_cast<std::size_t>(size), "%s", result.c_str());
}
