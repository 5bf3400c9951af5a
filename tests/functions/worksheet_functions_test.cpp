// The worksheet functions as the host sees them: the cell value each call hands back.
#include "functions/worksheet_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "tests/functions/refused_allocation.h"
#include "xll/cell_value.h"

namespace {

// One answer of a worksheet function, given back to the add-in through xlAutoFree as the host
// does once it has read it.
class Answer {
 public:
  explicit Answer(XLOPER* value) : value_(value) {}
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;
  ~Answer() {
    if (value_ != nullptr) xlAutoFree(value_);
  }

  XLOPER* get() const { return value_; }
  uint16_t type() const { return value_->xltype & ~xlbitDLLFree; }
  bool handedOver() const { return (value_->xltype & xlbitDLLFree) != 0; }

  const XLOPER& element(int column) const { return value_->val.array.lparray[column]; }

 private:
  XLOPER* value_;
};

std::string TextOf(const XLOPER& value) {
  const auto* counted = reinterpret_cast<const unsigned char*>(value.val.str);
  return std::string(reinterpret_cast<const char*>(counted + 1), counted[0]);
}

// Expects a single text (never the 1 x 2 array) holding expected.
void ExpectText(const Answer& answer, const std::string& expected) {
  ASSERT_EQ(answer.type(), xltypeStr);
  EXPECT_EQ(TextOf(*answer.get()), expected);
}

// Expects the 1 x 2 array [number within tolerance, units].
void ExpectValueWithUnits(const Answer& answer, double number, double tolerance,
                          const std::string& units) {
  ASSERT_EQ(answer.type(), xltypeMulti);
  ASSERT_EQ(answer.get()->val.array.rows, 1);
  ASSERT_EQ(answer.get()->val.array.columns, 2);
  ASSERT_EQ(answer.element(0).xltype, xltypeNum);
  EXPECT_NEAR(answer.element(0).val.num, number, tolerance);
  ASSERT_EQ(answer.element(1).xltype, xltypeStr);
  EXPECT_EQ(TextOf(answer.element(1)), units);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Texts of 255, 256 and 300 characters: the first fits a unit buffer, the others do not. Each
// starts with a unit name so that a function that cut the text instead of refusing it would
// answer with a plausible number.
const std::string kLongest = "m" + std::string(254, ' ');
const std::string kTooLong256 = "m" + std::string(255, ' ');
const std::string kTooLong300 = "m" + std::string(299, ' ');
// 255 characters of the host's code page (Windows-1252 natively), whose UTF-8 is longer.
const std::string kLongestSquared = "m\xB2" + std::string(253, '\xA0');
const std::string kLongestMicros(255, '\xB5');

struct TextCase {
  const char* what;
  std::function<XLOPER*()> call;
  std::string expected;
};

void ExpectTexts(const std::vector<TextCase>& cases) {
  ASSERT_FALSE(cases.empty());
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    Answer answer(c.call());
    ExpectText(answer, c.expected);
  }
}

TEST(WorksheetFunctions, FailuresAndUnitTextsAreSingleTexts) {
  const std::vector<TextCase> cases = {
      {"different dimensions", [] { return Mensora(1, "ft", "s"); }, "Inconsistent units"},
      {"input error wins", [] { return Mensora(1, "xyz", "abc"); }, "Unknown unit 'xyz'"},
      {"output error", [] { return Mensora(1, "ft", "abc"); }, "Unknown unit 'abc'"},
      {"overflow into SI", [] { return Mensora(1e308, "mi", "in"); }, "result out of range"},
      {"overflow out of SI", [] { return Mensora(1e308, "m", "in"); }, "result out of range"},
      {"not a number", [] { return Mensora(kNaN, "m", "m"); }, "result out of range"},
      {"ToMetric unknown", [] { return ToMetric(1, "xyz"); }, "Unknown unit 'xyz'"},
      {"ToMetric overflow", [] { return ToMetric(1e308, "mi"); }, "result out of range"},
      {"FromMetric unknown", [] { return FromMetric(1, "xyz"); }, "Unknown unit 'xyz'"},
      {"FromMetric overflow", [] { return FromMetric(1e308, "in"); }, "result out of range"},
      {"ShowMetric", [] { return ShowMetric("J / mol / degK"); }, "kg m^2 / s^2 degK mol "},
      {"ShowMetric has no common names", [] { return ShowMetric("Btu"); }, "kg m^2 / s^2 "},
      {"ShowMetric dimensionless", [] { return ShowMetric("ft/m"); }, ""},
      {"ShowMetric unknown", [] { return ShowMetric("xyz"); }, "Unknown unit 'xyz'"},
      {"ShowMetric null text", [] { return ShowMetric(nullptr); }, ""},
      {"ShowMetric 255 characters", [] { return ShowMetric(kLongest.c_str()); }, "m "},
      {"ShowCommonMetric names", [] { return ShowCommonMetric("Btu"); }, "J"},
      {"ShowCommonMetric otherwise", [] { return ShowCommonMetric("ft"); }, "m "},
      {"ShowCommonMetric unknown", [] { return ShowCommonMetric("xyz"); }, "Unknown unit 'xyz'"},
      // Texts in the host's code page are read as its characters, and come back in it.
      {"code page superscript", [] { return ShowMetric("m\xB2/s"); }, "m^2 / s "},
      {"code page message", [] { return ShowMetric("\xB5xyz"); }, "Unknown unit '\xB5xyz'"},
      {"255 code page characters", [] { return ShowMetric(kLongestSquared.c_str()); }, "m^2 "},
      {"message cut to whole characters", [] { return ToMetric(1, kLongestMicros.c_str()); },
       "Unknown unit '" + std::string(120, '\xB5') + "'"},
  };
  ExpectTexts(cases);
}

TEST(WorksheetFunctions, OverlongTextsAreRefusedNotCut) {
  const char* too_long = kTooLong300.c_str();
  const std::vector<TextCase> cases = {
      {"Mensora input", [=] { return Mensora(1, too_long, "m"); }, "string length too long"},
      {"Mensora output", [=] { return Mensora(1, "m", too_long); }, "string length too long"},
      {"256 characters", [] { return Mensora(1, "m", kTooLong256.c_str()); },
       "string length too long"},
      {"input error still wins", [=] { return Mensora(1, "xyz", too_long); },
       "Unknown unit 'xyz'"},
      {"ToMetric", [=] { return ToMetric(1, too_long); }, "string length too long"},
      {"FromMetric", [=] { return FromMetric(1, too_long); }, "string length too long"},
      {"ShowMetric", [=] { return ShowMetric(too_long); }, "string length too long"},
      {"ShowCommonMetric", [=] { return ShowCommonMetric(too_long); }, "string length too long"},
  };
  ExpectTexts(cases);
}

TEST(WorksheetFunctions, MensoraConvertsBetweenExpressions) {
  struct Case {
    double value;
    const char* in;
    const char* out;
    double expected;
  };
  const std::vector<Case> cases = {
      {100, "degC", "degF", 212},
      {1, "ft", "in", 12},
      {1, "mi", "ft", 5280},
      {1, "atm", "Pa", 101325},
      {5, "", "", 5},
      {5, nullptr, nullptr, 5},
      {1, kLongest.c_str(), "m", 1},
      {100, "\xB0" "C", "\xB0" "F", 212},
      {25, "\xB5m", "in", 0.000984251968503937},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in ? c.in : "(null)") + " -> " + (c.out ? c.out : "(null)"));
    Answer answer(Mensora(c.value, c.in, c.out));
    ASSERT_EQ(answer.type(), xltypeNum);
    EXPECT_NEAR(answer.get()->val.num, c.expected, 1e-9 * std::fabs(c.expected));
  }
}

TEST(WorksheetFunctions, ValueAndUnitPairs) {
  struct Case {
    const char* what;
    std::function<XLOPER*()> call;
    double number;
    double tolerance;
    std::string units;
  };
  const std::vector<Case> cases = {
      {"ToMetric degC", [] { return ToMetric(0, "degC"); }, 273.15, 1e-9, "degK "},
      {"ToMetric Btu keeps SI text", [] { return ToMetric(1, "Btu"); }, 1055.056, 1e-3,
       "kg m^2 / s^2 "},
      {"ToMetric ft", [] { return ToMetric(1, "ft"); }, 0.3048, 1e-12, "m "},
      {"FromMetric degF", [] { return FromMetric(273.15, "degF"); }, 32, 1e-9, "degK "},
      {"FromMetric shows SI units, not OutUnits", [] { return FromMetric(0.3048, "ft"); }, 1,
       1e-12, "m "},
      {"Grav", [] { return Grav(); }, 9.80665, 0, "m / s^2"},
      {"GasConst", [] { return GasConst(); }, 8.31446261815324, 0, "J / mol / degK"},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Answer answer(c.call());
    ExpectValueWithUnits(answer, c.number, c.tolerance, c.units);
  }
}

TEST(WorksheetFunctions, EveryAnswerIsHandedOverThroughOneSlot) {
  const std::vector<std::function<XLOPER*()>> calls = {
      [] { return Mensora(1, "ft", "in"); },  [] { return Mensora(1, "ft", "s"); },
      [] { return ToMetric(1, "ft"); },       [] { return FromMetric(1, "xyz"); },
      [] { return ShowMetric("N"); },         [] { return ShowCommonMetric("N"); },
      [] { return Grav(); },                  [] { return GasConst(); },
  };
  ASSERT_FALSE(calls.empty());
  XLOPER* slot = nullptr;
  for (const auto& call : calls) {
    Answer answer(call());
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_TRUE(answer.handedOver());
    if (slot == nullptr) slot = answer.get();
    EXPECT_EQ(answer.get(), slot);
  }
  // Without xlAutoFree in between, the next hand-back releases the previous one (the sanitizer
  // build sees a leak otherwise).
  XLOPER* first = ToMetric(1, "ft");
  Answer second(ShowMetric("ft"));
  EXPECT_EQ(first, second.get());
  ExpectText(second, "m ");
}

TEST(WorksheetFunctions, ExhaustedHeapGivesTheValueError) {
  // Only answers that need the heap: a plain number does not.
  const std::vector<std::function<XLOPER*()>> calls = {
      [] { return Mensora(1, "ft", "s"); }, [] { return ToMetric(1, "ft"); },
      [] { return ShowCommonMetric("N"); }, [] { return Grav(); },
  };
  ASSERT_FALSE(calls.empty());
  for (const auto& call : calls) {
    RefuseAllocations(true);
    Answer answer(call());
    RefuseAllocations(false);
    ASSERT_EQ(answer.type(), xltypeErr);
    EXPECT_EQ(answer.get()->val.err, xlerrValue);
  }
  Answer recovered(Grav());
  ExpectValueWithUnits(recovered, 9.80665, 0, "m / s^2");
}

}  // namespace
