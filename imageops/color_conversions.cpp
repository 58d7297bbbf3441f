// The forward conversions and HSV, all in integer arithmetic.
#include "imageops/colors.h"

#include <algorithm>

namespace {

struct Channels {
    int r;
    int g;
    int b;
};

Channels Split(int color) {
    const auto word = static_cast<unsigned>(color);
    return {static_cast<int>((word >> 16) & 0xFFu), static_cast<int>((word >> 8) & 0xFFu),
            static_cast<int>(word & 0xFFu)};
}

// C++ integer division already truncates toward zero; the helper names the rule the formulas
// depend on (a shift would round negative numerators down instead).
int Fixed(int numerator) {
    return numerator / 65536;
}

} // namespace

int QIV_GetY(int color) {
    const Channels c = Split(color);
    return Fixed(19595 * c.r + 38470 * c.g + 7471 * c.b + 32768);
}

int QIV_GetCr(int color) {
    const Channels c = Split(color);
    return Fixed(32768 * (c.r + 1) - 27460 * c.g - 5308 * c.b);
}

int QIV_GetCb(int color) {
    const Channels c = Split(color);
    return Fixed(32768 * (c.b + 1) - 11076 * c.r - 21692 * c.g);
}

int QIV_GetU(int color) {
    const Channels c = Split(color);
    return Fixed(28574 * c.b - 9634 * c.r - 18940 * c.g + 32768);
}

int QIV_GetV(int color) {
    const Channels c = Split(color);
    return Fixed(40305 * c.r - 33751 * c.g - 6554 * c.b + 32768);
}

int QIV_GetI(int color) {
    const Channels c = Split(color);
    return Fixed(39053 * c.r - 18022 * c.g - 21037 * c.b + 32768);
}

int QIV_GetQ(int color) {
    const Channels c = Split(color);
    return Fixed(13533 * c.r - 32565 * c.g + 19032 * c.b + 32768);
}

void QIV_RgbToHsv(int color, int* h, int* s, int* v) {
    const Channels c = Split(color);
    const int max = std::max({c.r, c.g, c.b});
    const int min = std::min({c.r, c.g, c.b});
    const int diff = max - min;
    int hue = 0;
    // The first matching row wins, so R = G = max with B = min takes the first.
    if (diff == 0) {
        hue = 0;
    } else if (max == c.r && min == c.b) {
        hue = 60 * (c.g - c.b) / diff;
    } else if (max == c.g && min == c.b) {
        hue = 60 * (c.g - c.r) / diff + 60;
    } else if (max == c.g && min == c.r) {
        hue = 60 * (c.b - c.r) / diff + 120;
    } else if (max == c.b && min == c.r) {
        hue = 60 * (c.b - c.g) / diff + 180;
    } else if (max == c.b && min == c.g) {
        hue = 60 * (c.r - c.g) / diff + 240;
    } else {
        hue = 60 * (c.r - c.b) / diff + 300;
    }
    if (h != nullptr) {
        *h = hue;
    }
    if (s != nullptr) {
        *s = diff;
    }
    if (v != nullptr) {
        *v = max;
    }
}

int QIV_GetHue(int color) {
    int h = 0;
    QIV_RgbToHsv(color, &h, nullptr, nullptr);
    return h;
}

int QIV_GetSaturation(int color) {
    int s = 0;
    QIV_RgbToHsv(color, nullptr, &s, nullptr);
    return s;
}

int QIV_GetValue(int color) {
    int v = 0;
    QIV_RgbToHsv(color, nullptr, nullptr, &v);
    return v;
}

int QIV_HsvToRgb(int v, int s, int h) {
    // Out-of-range arguments would otherwise carry into the neighbouring channels.
    v = std::clamp(v, 0, 255);
    s = std::clamp(s, 0, 255);
    h = std::clamp(h, 0, 359);
    const int m = std::max(v - s, 0);
    const int span = v - m;
    Channels c{};
    if (h <= 59) {
        c = {v, m + span * h / 60, m};
    } else if (h <= 119) {
        c = {m + span * (120 - h) / 60, v, m};
    } else if (h <= 179) {
        c = {m, v, m + span * (h - 120) / 60};
    } else if (h <= 239) {
        c = {m, m + span * (240 - h) / 60, v};
    } else if (h <= 299) {
        c = {m + span * (h - 240) / 60, m, v};
    } else {
        c = {v, m, m + span * (360 - h) / 60};
    }
    return c.r * 65536 + c.g * 256 + c.b;
}
