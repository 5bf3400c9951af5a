// Tests of conversion into and out of SI units, the consistency test and out-of-range results.
#include "units/conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

TEST(ValueToMKS, SubtractsTheOffsetThenDividesByTheFactor) {
  double value = -1.0;
  char error_string[kUnitTextSize];
  ASSERT_EQ(ValueToMKS(&value, 0.0, "degC", error_string), 1);
  EXPECT_DOUBLE_EQ(value, 273.15);
  ASSERT_EQ(ValueToMKS(&value, 32.0, "degF", error_string), 1);
  EXPECT_DOUBLE_EQ(value, 273.15);
  ASSERT_EQ(ValueToMKS(&value, 1.0, "ft", error_string), 1);
  EXPECT_NEAR(value, 0.3048, 1e-15);
  ASSERT_EQ(ValueToMKS(&value, 5.0, "degC/s", error_string), 1);
  EXPECT_EQ(value, 5.0) << "only a lone degC carries the offset";
}

TEST(ValueFromMKS, MultipliesByTheFactorThenAddsTheOffset) {
  double value = -1.0;
  char error_string[kUnitTextSize];
  ASSERT_EQ(ValueFromMKS(&value, 273.15, "degF", error_string), 1);
  EXPECT_NEAR(value, 32.0, 1e-12);
  ASSERT_EQ(ValueFromMKS(&value, 1.0, "in", error_string), 1);
  EXPECT_DOUBLE_EQ(value, 39.37007874015748);
}

// One-way conversions that fail: each gives 0 and one message.
struct OneWayRefusal {
  int (*convert)(double*, double, const char*, char*);
  double x;
  const char* units;
  const char* message;
};

const OneWayRefusal kOneWayRefusals[] = {
    {ValueToMKS, 3.0, "xyz", "Unknown unit 'xyz'"},
    {ValueFromMKS, 3.0, "m^^", "^ in wrong place"},
    {ValueFromMKS, 1e300, "nm", "result out of range"},
    {ValueToMKS, 1.0, "/nm^99", "result out of range"},  // 1 / 0
};

TEST(ValueToMKS, FailsWithOneMessageAndZero) {
  ASSERT_GT(std::size(kOneWayRefusals), 0u);
  for (const OneWayRefusal& refusal : kOneWayRefusals) {
    double value = -1.0;
    char error_string[kUnitTextSize];
    EXPECT_EQ(refusal.convert(&value, refusal.x, refusal.units, error_string), 0) << refusal.units;
    EXPECT_EQ(value, 0.0) << refusal.units;
    EXPECT_STREQ(error_string, refusal.message) << refusal.units;
  }
}

// Conversions that must hold, each within the precision to which the catalogue states its factors:
// a mistyped factor or a wrong offset shows here.
struct Identity {
  double value;
  const char* from;
  const char* to;
  double expected;
  double relative_tolerance;
};

const Identity kIdentities[] = {
    {100, "degC", "degF", 212, 1e-14},
    {-40, "degC", "degF", -40, 1e-14},
    {0, "degF", "degC", -160.0 / 9.0, 1e-14},
    {5, "", "", 5, 0},
    {1, "ft/m", "", 0.3048, 1e-14},
    {2, "m^0.5", "cm^0.5", 20, 1e-14},
    {1, "kg m/s^2", "N", 1, 0},
    {1, "mi", "ft", 5280, 1e-14},
    {1, "mile", "yard", 1760, 1e-14},
    {1, "in", "cm", 2.54, 1e-14},
    {1, "ft", "inch", 12, 1e-14},
    {1, "fathom", "feet", 6, 1e-14},
    {1, "km", "m", 1000, 1e-15},
    {1, "angstrom", "nm", 0.1, 1e-15},
    {1, "mil", "mm", 0.0254, 1e-14},
    {1, "Nmile", "m", 1852, 1e-15},
    {1, "league", "Nmile", 3, 1e-14},
    {1, "knot", "m/hr", 1852, 1e-12},
    {1, "acre", "ft^2", 43560, 1e-14},
    {1, "hectare", "m^2", 10000, 1e-15},
    {1, "gal", "in^3", 231, 1e-8},
    {1, "L", "cc", 1000, 1e-15},
    {1, "pint", "cup", 2, 1e-14},
    {1, "Tbs", "tsp", 3, 1e-14},
    {1, "fluidounce", "Tbs", 2, 1e-14},
    {1, "boardfoot", "in^3", 144, 1e-14},
    {1, "lbm", "g", 453.59237, 1e-14},
    {1, "lbm", "ozm", 16, 1e-14},
    {1, "ozm", "grain", 437.5, 1e-14},
    {1, "ton", "lbm", 2240, 1e-14},
    {1, "tonne", "kg", 1000, 1e-15},
    {1, "stone", "lbm", 14, 1e-14},
    {1, "carat", "mg", 200, 1e-14},
    {1, "hr", "s", 3600, 1e-12},
    {1, "h", "min", 60, 1e-12},
    {1, "hour", "s", 3600, 1e-13},
    {1, "day", "hr", 24, 1e-12},
    {1, "ms", "sec", 0.001, 1e-15},
    {1, "rev", "deg", 360, 1e-14},
    {60, "rpm", "Hz", 1, 1e-14},
    {1, "mph", "mi/hr", 1, 1e-12},
    {1, "kph", "km/hr", 1, 1e-12},
    {1, "lbf", "N", 4.4482216, 1e-8},
    {1, "kip", "lbf", 1000, 1e-14},
    {1, "lbf", "ozf", 16, 1e-8},
    {1, "kgf", "N", 9.80665, 1e-15},
    {1, "dyne", "N", 1e-5, 1e-15},
    {1, "atm", "Pa", 101325, 1e-14},
    {1, "bar", "kPa", 100, 1e-14},
    {1, "ksi", "psi", 1000, 1e-14},
    {1, "psi", "lbf/in^2", 1, 1e-7},
    {1, "Torr", "torr", 1, 1e-15},
    {760, "torr", "atm", 1, 1e-15},
    {1, "mmHg", "Pa", 133.322387415, 1e-15},
    {1, "kcal", "cal", 1000, 1e-15},
    {1, "cal", "J", 4.1868, 1e-8},
    {1, "Btu", "J", 1055.056, 1e-6},
    {1, "erg", "J", 1e-7, 1e-15},
    {1, "kW", "W", 1000, 1e-15},
    {1, "hp", "W", 745.69987, 1e-8},
    {1, "poise", "centipoise", 100, 1e-15},
    {1, "stokes", "centistokes", 100, 1e-15},
    {1, "stokes", "m^2/s", 1e-4, 1e-15},
    {1, "gauss", "T", 1e-4, 1e-15},
    {1, "Mx", "Wb", 1e-8, 1e-15},
    {1, "kmol", "mol", 1000, 1e-15},
    {1, "A", "C/s", 1, 1e-15},
    {1, "ohm", "V/A", 1, 1e-15},
    {1, "microfarad", "nanofarad", 1000, 1e-15},
    {10, "degCdiff", "degFdiff", 18, 1e-14},
    {491.67, "degR", "degK", 273.15, 1e-14},
    // as people write them
    {25, "\xC2\xB5m", "in", 0.000984251968503937, 1e-14},
    {85, "m\xC2\xB2", "ft\xC2\xB2", 914.932385420326, 1e-14},
    {100, "km h^-1", "m s^-1", 27.7777777777778, 1e-12},
    {1, "(ft/s)^2", "(m/s)^2", 0.09290304, 1e-14},
    {25, "\xE2\x84\x83", "\xE2\x84\x89", 77, 1e-14},
    {100, "\xC2\xB0" "C", "\xC2\xB0" "F", 212, 1e-14},
    {1, "mL", "L", 0.001, 1e-15},
    {1, "hPa", "Pa", 100, 1e-15},
    {1, "kHz", "Hz", 1000, 1e-15},
    {1, "lb", "kg", 0.45359237, 1e-15},
    {1, "K", "degC", -272.15, 1e-15},
    {1, "kWh", "J", 3.6e6, 1e-15},
    {1, "N\xC2\xB7m", "J", 1, 0},
    {1, "W/(m^2 degKdiff)", "Btu/(hr ft^2 degFdiff)", 0.17611, 1e-4},
};

TEST(ConvertValue, AgreesWithPhysicalIdentities) {
  ASSERT_GT(std::size(kIdentities), 0u);
  for (const Identity& identity : kIdentities) {
    double value = 0.0;
    char error_string[kUnitTextSize];
    ASSERT_EQ(ConvertValue(&value, identity.value, identity.from, identity.to, error_string), 1)
        << identity.from << " -> " << identity.to << ": " << error_string;
    EXPECT_NEAR(value, identity.expected, identity.relative_tolerance * std::abs(identity.expected))
        << identity.value << " " << identity.from << " -> " << identity.to;
  }
}


struct Refusal {
  double x;
  const char* from;
  const char* to;
  const char* message;
};

const Refusal kRefusals[] = {
    {1, "ft", "s", "Inconsistent units"},
    {1, "xyz", "abc", "Unknown unit 'xyz'"},  // the input's message wins
    {1, "ft", "abc", "Unknown unit 'abc'"},
    {1, "degC", "degCdiff", "Inconsistent units"},
    {1, "Hz", "1/s", "Inconsistent units"},
    {1, "rad", "", "Inconsistent units"},
    {1, "m^0.5", "m^0.5000001", "Inconsistent units"},
    {1, "ft^9999", "ft^9999", "result out of range"},  // infinity times zero
    {1e300, "m", "nm", "result out of range"},
    {1, "m^99", "nm^99", "result out of range"},
};

TEST(ConvertValue, RefusesWithTheFirstMessageAndZero) {
  ASSERT_GT(std::size(kRefusals), 0u);
  for (const Refusal& refusal : kRefusals) {
    double value = -1.0;
    char error_string[kUnitTextSize];
    EXPECT_EQ(ConvertValue(&value, refusal.x, refusal.from, refusal.to, error_string), 0)
        << refusal.from << " -> " << refusal.to;
    EXPECT_EQ(value, 0.0) << refusal.from;
    EXPECT_STREQ(error_string, refusal.message) << refusal.from << " -> " << refusal.to;
  }
}

TEST(CheckConsistentUnits, ComparesAllEightExponentsExactly) {
  char error_string[kUnitTextSize] = "stale";
  EXPECT_EQ(CheckConsistentUnits("", "ft/m", error_string), 1);
  EXPECT_EQ(CheckConsistentUnits("mi/hr", "m s^-1", error_string), 1);
  EXPECT_EQ(CheckConsistentUnits("mi/hr", "m s-1", error_string), 1)
      << "a power may follow a name without '^'";
  EXPECT_EQ(CheckConsistentUnits("J", "kg m^2/s^2", error_string), 1);
  EXPECT_EQ(CheckConsistentUnits("degK", "degR", error_string), 1);
  EXPECT_EQ(CheckConsistentUnits("m^3/2", "m^1.5", error_string), 1);
  EXPECT_EQ(CheckConsistentUnits("ft", "m 2", error_string), 0);
  EXPECT_STREQ(error_string, "number in wrong place");
}

// "m^0.0a m^0.0b" against "m^" and the sum written out: the binary sums of decimal powers are
// often a step off the written sum, and both stand for the same power.
TEST(CheckConsistentUnits, ExponentsAgreeingToTheShownDigitsAreConsistent) {
  char error_string[kUnitTextSize];
  int off_by_a_step = 0;
  int pairs = 0;
  for (int a = 1; a < 100; a += 3) {
    for (int b = 1; b < 100; b += 2) {
      char sum[kUnitTextSize];
      char written[kUnitTextSize];
      std::snprintf(sum, sizeof sum, "m^0.%02d m^0.%02d", a, b);
      std::snprintf(written, sizeof written, "m^%d.%02d", (a + b) / 100, (a + b) % 100);
      ParsedUnit in_units;
      ParsedUnit out_units;
      ASSERT_EQ(ParseUnits(sum, &in_units, error_string), 1) << sum;
      ASSERT_EQ(ParseUnits(written, &out_units, error_string), 1) << written;
      off_by_a_step += in_units.exponents[m_exp] != out_units.exponents[m_exp];
      EXPECT_EQ(CheckConsistentUnits(sum, written, error_string), 1) << sum << " and " << written;
      EXPECT_EQ(CheckConsistentUnits(written, sum, error_string), 1) << written << " and " << sum;
      ++pairs;
    }
  }
  EXPECT_GT(pairs, 1000);
  EXPECT_GT(off_by_a_step, 100) << "the table must hold sums that differ in binary";

  // A difference the unit text shows still counts, and so do the two temperature dimensions.
  EXPECT_EQ(CheckConsistentUnits("m^0.3", "m^0.300000000000001", error_string), 0);
  EXPECT_STREQ(error_string, "Inconsistent units");
  EXPECT_EQ(CheckConsistentUnits("m^0.1 m^0.2", "m^0.3 s^0.0001", error_string), 0);
  EXPECT_EQ(CheckConsistentUnits("degC^0.1 degC^0.2", "degCdiff^0.3", error_string), 0);
}

}  // namespace
