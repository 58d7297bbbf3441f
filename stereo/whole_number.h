// The one parser of whole numbers on command lines: decimal digits with an optional sign and
// nothing around them, so " 16", "0x10" and "1e3" are refused rather than read some other way.
#pragma once

#include <charconv>
#include <string_view>

enum WholeNumberResult {
    WHOLE_NUMBER_OK = 0,
    WHOLE_NUMBER_MALFORMED = 1,    // not a decimal whole number
    WHOLE_NUMBER_OUT_OF_RANGE = 2, // a whole number past what an int holds
};

inline int ParseWholeNumber(std::string_view text, int* value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return WHOLE_NUMBER_MALFORMED;
        }
    }
    if (text.empty()) {
        return WHOLE_NUMBER_MALFORMED;
    }
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, parsed);
    if (ptr != end || error == std::errc::invalid_argument) {
        return WHOLE_NUMBER_MALFORMED;
    }
    if (error == std::errc::result_out_of_range) {
        return WHOLE_NUMBER_OUT_OF_RANGE;
    }
    *value = parsed;
    return WHOLE_NUMBER_OK;
}
