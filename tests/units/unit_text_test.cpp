// Tests of SI unit texts: term order, the "/ " part, common names and unusual exponents.
#include "units/unit_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

namespace {

struct TextCase {
  const char* expression;
  const char* si_text;
  const char* common_text;
};

const TextCase kTexts[] = {
    {"ft", "m ", "m "},
    {"mi/hr", "m / s ", "m / s "},
    {"Hz", "rad / s ", "rad / s "},
    {"1/s", "1 / s ", "1 / s "},
    {"N", "kg m / s^2 ", "N"},
    {"Btu", "kg m^2 / s^2 ", "J"},
    {"kcal", "kg m^2 / s^2 ", "J"},
    {"N m", "kg m^2 / s^2 ", "J"},
    {"J/s", "kg m^2 / s^3 ", "W"},
    {"psi", "kg / m s^2 ", "Pa"},
    {"mA", "C / s ", "A"},
    {"microfarad", "s^2 C^2 / kg m^2 ", "F"},
    {"mV", "kg m^2 / s^2 C ", "V"},
    {"ohm", "kg m^2 / s C^2 ", "ohm"},
    {"henry", "kg m^2 / C^2 ", "H"},
    {"maxwell", "kg m^2 / s C ", "Wb"},
    {"gauss", "kg / s C ", "T"},
    {"J / mol / degK", "kg m^2 / s^2 degK mol ", "kg m^2 / s^2 degK mol "},
    {"J/degK", "kg m^2 / s^2 degK ", "kg m^2 / s^2 degK "},
    {"F", "s^2 C^2 / kg m^2 ", "F"},
    {"degC", "degK ", "degK "},
    {"degCdiff", "degK ", "degK "},
    {"m^0.5", "m^0.5 ", "m^0.5 "},
    {"m^3/2", "m^1.5 ", "m^1.5 "},
    {"m/3", "m^0.3333333333333333 ", "m^0.3333333333333333 "},
    {"m/s/20", "m / s^5.e-002 ", "m / s^5.e-002 "},
    {"/m^2 s", "1 / m^2 s ", "1 / m^2 s "},
    {"Oe", "C / m s ", "C / m s "},
    {"rpm", "rad / s ", "rad / s "},
    {"ft/m", "", ""},
    {"", "", ""},
    {"m^99999999999", "m^99999999999. ", "m^99999999999. "},
    {"m^2147483647", "m^2147483647 ", "m^2147483647 "},
    {"m^2147483648", "m^2147483648. ", "m^2147483648. "},
    {"/m^2147483647", "1 / m^2147483647 ", "1 / m^2147483647 "},
    {"/m^2147483648", "1 / m^2147483648 ", "1 / m^2147483648 "},
    {"/m^2147483649", "1 / m^2147483649. ", "1 / m^2147483649. "},
    {"m^999999999999999999999/0.0000000000000000000001", "m^9.999999999999999e+042 ",
     "m^9.999999999999999e+042 "},
};

TEST(UnitText, WritesTheSIAndCommonTexts) {
  ASSERT_GT(std::size(kTexts), 0u);
  for (const TextCase& expected : kTexts) {
    char MKSunits_str[kUnitTextSize] = "stale";
    char error_string[kUnitTextSize] = "stale";
    ASSERT_EQ(MKSUnitsText(MKSunits_str, expected.expression, error_string), 1)
        << expected.expression << ": " << error_string;
    EXPECT_STREQ(MKSunits_str, expected.si_text) << expected.expression;
    EXPECT_STREQ(error_string, "");
    ASSERT_EQ(CommonMKSUnitsText(MKSunits_str, expected.expression, error_string), 1);
    EXPECT_STREQ(MKSunits_str, expected.common_text) << expected.expression;
  }
}

TEST(UnitText, FailsWithAnEmptyTextAndTheParsersMessage) {
  char MKSunits_str[kUnitTextSize] = "stale";
  char error_string[kUnitTextSize];
  EXPECT_EQ(MKSUnitsText(MKSunits_str, "m 2", error_string), 0);
  EXPECT_STREQ(MKSunits_str, "");
  EXPECT_STREQ(error_string, "number in wrong place");
  std::strcpy(MKSunits_str, "stale");
  EXPECT_EQ(CommonMKSUnitsText(MKSunits_str, "xyz", error_string), 0);
  EXPECT_STREQ(MKSunits_str, "");
  EXPECT_STREQ(error_string, "Unknown unit 'xyz'");
}

// Exponents that no parse of 255 characters reaches but that FormatMKSUnits must still write
// sanely and within its buffer.
struct ExtremeCase {
  double exponent;
  const char* text;
};

constexpr double kInfinity = std::numeric_limits<double>::infinity();

const ExtremeCase kExtremes[] = {
    {kInfinity, "m^inf "},
    {-kInfinity, "1 / m^inf "},
    {std::nan(""), ""},
    {-2147483648.0, "1 / m^2147483648 "},
    {-2147483649.0, "1 / m^2147483649. "},
    {1e300, "m^1.e+300 "},
    {-0.0, ""},
};

TEST(FormatMKSUnits, WritesInfiniteHugeAndNaNExponentsSanely) {
  ASSERT_GT(std::size(kExtremes), 0u);
  for (const ExtremeCase& extreme : kExtremes) {
    double exponents[kDimensionCount] = {};
    exponents[m_exp] = extreme.exponent;
    char MKSunits_str[kUnitTextSize];
    FormatMKSUnits(MKSunits_str, exponents);
    EXPECT_STREQ(MKSunits_str, extreme.text) << extreme.exponent;
  }
}

TEST(FormatMKSUnits, LongestTextFitsItsBuffer) {
  struct {
    char text[kUnitTextSize];
    char guard[64];
  } block;
  std::memset(block.guard, 'G', sizeof block.guard);
  double exponents[kDimensionCount];
  for (double& exponent : exponents) exponent = -1.2345678901234567e-300;
  FormatMKSUnits(block.text, exponents);
  EXPECT_EQ(std::string(block.text).rfind("1 / kg^1.234567890123457e-300 ", 0), 0u) << block.text;
  EXPECT_LT(std::strlen(block.text), kUnitTextSize);
  EXPECT_EQ(std::string(block.guard, sizeof block.guard), std::string(sizeof block.guard, 'G'));
  // NaN in every other slot, as infinity times zero leaves it, writes nothing there.
  for (double& exponent : exponents) exponent = std::nan("");
  exponents[s_exp] = -kInfinity;
  FormatMKSUnits(block.text, exponents);
  EXPECT_STREQ(block.text, "1 / s^inf ");
}

TEST(AppendUnitTerm, WritesOnlyItsPassesSign) {
  char text[kUnitTextSize] = "kg ";
  int had_numerator = 0;
  AppendUnitTerm(text, "m", -2, -2.0, 1, &had_numerator);
  EXPECT_STREQ(text, "kg ") << "a negative exponent waits for the denominator";
  EXPECT_EQ(had_numerator, 0);
  AppendUnitTerm(text, "s", 1, 1.0, 1, &had_numerator);
  EXPECT_STREQ(text, "kg s ");
  EXPECT_EQ(had_numerator, 1);
  AppendUnitTerm(text, "m", -2, -2.0, 0, &had_numerator);
  AppendUnitTerm(text, "C", -1, -1.0, 0, &had_numerator);
  AppendUnitTerm(text, "mol", 0, 0.0, 0, &had_numerator);
  AppendUnitTerm(text, "rad", 0, -0.25, 0, &had_numerator);
  EXPECT_STREQ(text, "kg s m^2 C rad^0.25 ");
}

}  // namespace
