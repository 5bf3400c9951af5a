// Tests of the printf-style formatter and its cut at 2047 characters.
#include "xll/format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FormatText, FillsInLikePrintf) {
  EXPECT_EQ(FormatText("%s!%d", "", 0), "!0");
  EXPECT_EQ(FormatText("COM initialisation failed: %s\nCOM error: %ld", "no host", -5L),
            "COM initialisation failed: no host\nCOM error: -5");
  EXPECT_EQ(FormatText("%lf", 5.0), "5.000000");
  EXPECT_EQ(FormatText(nullptr), "");
}

TEST(FormatText, CutsLongOutputTo2047Characters) {
  const struct {
    std::size_t length;
    std::size_t kept;
  } cases[] = {{2046, 2046}, {2047, 2047}, {2048, 2047}, {5000, 2047}};
  ASSERT_GT(std::size(cases), 0u);
  for (const auto& c : cases) {
    const std::string text(c.length - 1, 'y');
    const std::string out = FormatText("<%s", text.c_str());
    EXPECT_EQ(out.size(), c.kept) << c.length;
    EXPECT_EQ(out, ("<" + text).substr(0, c.kept));
  }
}

}  // namespace
