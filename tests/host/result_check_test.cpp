// Matching rendered results against expected texts.
#include "harness/host/result_check.h"

#include <gtest/gtest.h>

namespace {
TEST(ResultMatches, ComparesNumbersWithinToleranceAndTheRestExactly) {
  struct Case {
    const char* rendered;
    const char* expected;
    bool match;
  };
  const Case cases[] = {
      {"12", "12", true},
      {"12.0000000000001", "12", true},
      {"12.0000000001", "12", false},
      {"-0.3048", "-0.3048", true},
      {"0", "0", true},
      {"1e-300", "0", false},
      {"\"Inconsistent units\"", "\"Inconsistent units\"", true},
      {"\"12\"", "\"12.0\"", false},
      {"\"abc\"", "abc", false},
      {"#VALUE!", "#VALUE!", true},
      {"#VALUE!", "#NAME?", false},
      {"{273.15,\"degK \"}", "{273.150000000000001,\"degK \"}", true},
      {"{1,2}", "{1;2}", false},
      {"{1,2}", "{1,2,3}", false},
      {"{1,\"a,b\"}", "{1,\"a,b\"}", true},
      {"{1,\"a,b\"}", "{1,\"a\",b\"}", false},
      {"12", "{12}", false},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    EXPECT_EQ(ResultMatches(c.rendered, c.expected), c.match)
        << c.rendered << " against " << c.expected;
  }
}
}  // namespace
