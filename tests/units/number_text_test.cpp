// Tests of number display: as a cell shows a number, and exactly.
#include "units/number_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "format_cases.h"

namespace {

const FormatCase kCellTexts[] = {
    {12.000000000000002, "12"},     {0.30480000000000035, "0.3048"}, {212.00000000000003, "212"},
    {-40.0, "-40"},                 {-0.0, "0"},                     {1e300, "1e+300"},
    {0.1 + 0.2, "0.3"},             {123456789012345.6, "123456789012346"},
    {1.0 / 3.0, "0.333333333333333"}, {-2.5e-7, "-2.5e-07"},
};

TEST(FormatCellNumber, ShowsFifteenSignificantDigits) {
  ExpectFormats<kNumberTextSize>(FormatCellNumber, kCellTexts);
}

TEST(FormatRoundTrip, ReadsBackAsTheSameDouble) {
  const double numbers[] = {0.30480000000000035, 0.1 + 0.2, 1.0 / 3.0, 5e-324, 1e300, -40.0,
                            0.0005399568034557236, std::numeric_limits<double>::max()};
  for (double number : numbers) {
    char text[kNumberTextSize];
    FormatRoundTrip(number, text, sizeof text);
    EXPECT_EQ(std::strtod(text, nullptr), number) << text;
  }
  char text[kNumberTextSize];
  FormatRoundTrip(0.30480000000000035, text, sizeof text);
  EXPECT_STREQ(text, "0.30480000000000035");
  FormatRoundTrip(12.0, text, sizeof text);
  EXPECT_STREQ(text, "12");
}

TEST(NumberText, NeverOverrunsASmallBuffer) {
  char text[4] = "xyz";
  FormatCellNumber(1.0 / 3.0, text, sizeof text);
  EXPECT_STREQ(text, "0.3");
  FormatRoundTrip(1.0 / 3.0, text, sizeof text);
  EXPECT_EQ(std::string(text).size(), 3u);
}

}  // namespace
