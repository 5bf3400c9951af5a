// Decimal numbers in text: what counts as one.
#include "harness/host/decimal_text.h"

#include <gtest/gtest.h>

namespace {
TEST(ParseDecimal, ReadsWholeDecimalNumbersOnly) {
  struct Case {
    const char* text;
    bool ok;
    double number;
  };
  const Case cases[] = {
      {"12", true, 12},       {" -1.5e3 ", true, -1500}, {".5", true, 0.5},
      {"+7.", true, 7},       {"1E-2", true, 0.01},      {"", false, 0},
      {"   ", false, 0},      {"1x", false, 0},          {"abc", false, 0},
      {"1 2", false, 0},      {"inf", false, 0},         {"nan", false, 0},
      {"0x10", false, 0},     {"1e999", false, 0},       {".", false, 0},
      {"-", false, 0},        {"2e", false, 0},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    double number = -99;
    EXPECT_EQ(ParseDecimal(c.text, &number), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(number, c.ok ? c.number : -99) << '"' << c.text << '"';
  }
}
}  // namespace
