// Tests of the 16-significant-digit general format of fractional exponents.
#include "units/exponent_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "format_cases.h"

namespace {

const FormatCase kFormats[] = {
    {0.5, "0.5"},
    {1.5, "1.5"},
    {0.25, "0.25"},
    {1.0 / 3.0, "0.3333333333333333"},
    {2.0 / 3.0, "0.6666666666666666"},
    {0.05, "5.e-002"},
    {0.123, "0.123"},
    {1e-5, "1.e-005"},
    {1.25e-300, "1.25e-300"},
    {99999999999.0, "99999999999."},
    {2147483648.0, "2147483648."},
    {1234567890123456.0, "1234567890123456."},
    {1e16, "1.e+016"},
    {12345678901234567890.0, "1.234567890123457e+019"},
    {1e43, "1.e+043"},
    {0.09999999999999999, "9.999999999999999e-002"},
    {0.99999999999999999, "1."},
    {std::numeric_limits<double>::max(), "1.797693134862316e+308"},
    {std::numeric_limits<double>::denorm_min(), "4.940656458412465e-324"},
    {-0.5, "-0.5"},
    {std::numeric_limits<double>::infinity(), "inf"},
    {-std::numeric_limits<double>::infinity(), "-inf"},
    {std::nan(""), "nan"},
};

TEST(FormatGeneralExponent, WritesSixteenDigitsWithoutTrailingZeros) {
  ExpectFormats<kExponentTextSize>(FormatGeneralExponent, kFormats);
}

TEST(FormatGeneralExponent, CutsToASmallBuffer) {
  char small[6] = "";
  FormatGeneralExponent(1.0 / 3.0, small, sizeof small);
  EXPECT_STREQ(small, "0.333");
}

}  // namespace
