// The input box's 10-significant-digit value format.
#include "boxes/input_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

std::string Format(double value) {
    char out[64];
    FormatInputBoxDouble(value, out, sizeof out);
    return out;
}

TEST(DoubleFormatTest, FixedNotationForExponentsMinusOneToNine) {
    EXPECT_EQ(Format(3.0), "3.");
    EXPECT_EQ(Format(-2.5), "-2.5");
    EXPECT_EQ(Format(0.25), "0.25");
    EXPECT_EQ(Format(0.0), "0.");
    EXPECT_EQ(Format(-0.0), "0.");
    EXPECT_EQ(Format(1234.5), "1234.5");
    EXPECT_EQ(Format(0.1), "0.1");
    EXPECT_EQ(Format(1.0 / 3.0), "0.3333333333");
    EXPECT_EQ(Format(2.0 / 3.0), "0.6666666667");
    EXPECT_EQ(Format(123456789.0), "123456789.");
    EXPECT_EQ(Format(1234567890.0), "1234567890.");
    EXPECT_EQ(Format(9999999999.0), "9999999999.");
    EXPECT_EQ(Format(-1234567890.25), "-1234567890.");
    EXPECT_EQ(Format(3.14159265358979), "3.141592654");
}

TEST(DoubleFormatTest, ExponentialNotationOutsideThatRange) {
    EXPECT_EQ(Format(0.05), "5.e-002");
    EXPECT_EQ(Format(12345678901.0), "1.23456789e+010");
    EXPECT_EQ(Format(-0.0123), "-1.23e-002");
    EXPECT_EQ(Format(1e100), "1.e+100");
    EXPECT_EQ(Format(1e-300), "1.e-300");
    EXPECT_EQ(Format(-1.5e300), "-1.5e+300");
    EXPECT_EQ(Format(4.9406564584124654e-324), "4.940656458e-324"); // the smallest double
    EXPECT_EQ(Format(1.7976931348623157e308), "1.797693135e+308");
}

TEST(DoubleFormatTest, TheExponentComesFromTheValueBeforeRounding) {
    // 0.09999999999 rounds up to 0.1 but its first digit sits at 10^-2: exponential.
    EXPECT_EQ(Format(0.099999999999), "1.e-001");
    // 9999999999.6 has exponent 9: fixed, rounded to no decimals.
    EXPECT_EQ(Format(9999999999.6), "10000000000.");
    EXPECT_EQ(Format(0.99999999999), "1.");
}

TEST(DoubleFormatTest, NonFiniteValuesAreNamed) {
    EXPECT_EQ(Format(INFINITY), "inf");
    EXPECT_EQ(Format(-INFINITY), "-inf");
    EXPECT_EQ(Format(NAN), "nan");
}

TEST(DoubleFormatTest, ValuesReadBackWithinTenDigits) {
    const double values[] = {3.0,      -2.5,    0.25,      0.05,   12345678901.0, 1e-7,
                             -6.02e23, 1.0 / 7, 299792458, 1e-300, 65535.123456,  -0.5};
    for (double v : values) {
        double back = std::atof(Format(v).c_str());
        EXPECT_NEAR(back, v, std::fabs(v) * 5e-10) << Format(v);
    }
}

TEST(DoubleFormatTest, SmallBuffersGetACutTerminatedText) {
    char out[4] = {'x', 'x', 'x', 'x'};
    FormatInputBoxDouble(1234.5, out, sizeof out);
    EXPECT_EQ(std::string(out), "123");
    FormatInputBoxDouble(1.0, nullptr, 10); // ignored, no crash
}

} // namespace
