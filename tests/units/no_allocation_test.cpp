// The unit engine takes nothing from the heap: thousands of parses, conversions and unit texts,
// failures and over-long texts among them, are counted and must make no allocation at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "tests/units/allocation_count.h"
#include "units/catalogue.h"
#include "units/conversion.h"
#include "units/parse_cache.h"
#include "units/parser.h"
#include "units/unit_text.h"

namespace {

// Where a test's deliberate allocations are kept, so that the compiler cannot drop them.
void* volatile g_kept;

// Expressions of every shape the parser knows, and every way it fails.
std::vector<std::string> Expressions() {
  std::vector<std::string> expressions = {
      "", "   ", "m", "ft", "kg m/s^2", "kg*m/s^2", "J / mol / degK", "lbf/in^2", "m^3/2/s",
      "mi/hr", "degC", "degF", "1 degC", "degC/s", "m^0.5", "m^2/3 s", "m/3", "m/2/2",
      "cm^3/2", "(kg/m) s", "Hz", "1/s", "F", "ohm", "Btu", "N m", "J/degK", "m^.0001",
      "m^123456789012", "m^99999999999999999999/.000000000000000000001", "degF/degC",
      "ft^2.5", "in^3 mi^-7/hr^1/3", "m^-2", "s-1", "m$", "\xC2\xB5m", "xyz", "KG", "m..2", "1.2.3",
      "m^^2", "m^2^3", "m/^2", "m/0", "m/.", "2", "m 2", ".", "m 1.5", "s^-1", "(m/s)^2", "1/(m/s)",
      "(m", "m)", "m^(2)", "((((((((((((((((((m))))))))))))))))))", "kHz", "k\xCE\xA9",
      "\xC2\xB0" "C", "m\xC2\xB2", "s\xE2\x81\xBB\xC2\xB9", "N\xC2\xB7m", "\xFF\xFE", "m2",
      "W m\xE2\x88\x92" "2", "fl oz", "miles per hour", "square feet", "kilometres", "megohm",
      "cmH2O", "%", "metr", "MM", "square"};
  expressions.push_back("m" + std::string(254, ' '));              // 255 characters: parses
  expressions.push_back("m" + std::string(255, ' '));              // 256: too long
  expressions.push_back(std::string(400, 'm'));                    // too long
  expressions.push_back(std::string(250, 'q'));                    // unknown, message cut
  expressions.push_back(std::string(240, '1') + ".." + "m");       // two points, message cut
  expressions.push_back(std::string(255, '/'));                    // all operators
  std::string many_units;
  while (many_units.size() + 3 <= 255) many_units += "kg ";
  expressions.push_back(many_units);                               // 85 units
  return expressions;
}

// Conversions that succeed, refuse the pair, or overflow.
struct Conversion {
  double x;
  const char* in_units;
  const char* out_units;
};
const Conversion kConversions[] = {
    {1.0, "mi/hr", "m/s"},      {100.0, "degC", "degF"},  {1.0, "ft", "in"},
    {1.0, "lbf/in^2", "kPa"},   {5.0, "", ""},            {1.0, "ft", "s"},
    {1.0, "xyz", "abc"},        {1.0, "m", "qq"},         {1e300, "m", "nm"},
    {1.0, "ft^9999", "ft^9999"}, {1.0, "degC", "degCdiff"}, {1.0, "Hz", "1/s"},
};

const char* const kNames[] = {"kg", "KG", "degKdiff", "millidarcy", "", "KrWavelength",
                              "KrWavelengths", "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"};

TEST(AllocationCount, SeesAllocationsByEveryRoute) {
  const long before = AllocationCount();
  void* block = std::malloc(48);
  g_kept = block;
  std::free(block);
  g_kept = ::operator new(64);
  ::operator delete(g_kept);
  const std::string text(200, 'x');  // longer than any small-string buffer
  g_kept = const_cast<char*>(text.data());
  EXPECT_GE(AllocationCount() - before, 3)
      << "the counter is blind, and a count of zero below would prove nothing";
}

TEST(UnitEngine, AllocatesNothing) {
  const std::vector<std::string> expressions = Expressions();
  ASSERT_GT(expressions.size(), 50u);
  ASSERT_GT(std::size(kConversions), 0u);

  // Everything the loop writes lives here, made before counting starts.
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  char MKSunits_str[kUnitTextSize];
  double value = 0.0;
  DimensionVector dimension;
  int successes = 0;
  int failures = 0;
  int calls = 0;

  const long before = AllocationCount();
  for (int round = 0; round < 20; ++round) {
    for (const std::string& expression : expressions) {
      const char* text = expression.c_str();
      const int parses = ParseUnits(text, &parsed, error_string);
      successes += parses;
      failures += !parses;
      ParseUnitsRemembered(text, &parsed, error_string);
      MKSUnitsText(MKSunits_str, text, error_string);
      CommonMKSUnitsText(MKSunits_str, text, error_string);
      ValueToMKS(&value, 3.5, text, error_string);
      ValueFromMKS(&value, 3.5, text, error_string);
      CheckConsistentUnits(text, "kg m/s^2", error_string);
      FindUnit(text, &value, &dimension);
      calls += 8;
    }
    for (const Conversion& conversion : kConversions) {
      ConvertValue(&value, conversion.x, conversion.in_units, conversion.out_units, error_string);
      ++calls;
    }
    for (const char* name : kNames) {
      FindUnit(name, &value, &dimension);
      ++calls;
    }
  }
  const long allocations = AllocationCount() - before;

  EXPECT_EQ(allocations, 0) << "in " << calls << " calls";
  EXPECT_GT(calls, 5000);
  EXPECT_GT(successes, 0);
  EXPECT_GT(failures, 0);
}

}  // namespace
