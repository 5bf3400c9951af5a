// The two-column table of formulas and results.
#include "harness/xllhost/result_table.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(ResultTable, AlignsTheResultsAfterTheWidestFormula) {
  EXPECT_EQ(FormatResultTable({{"=Mensora(1,\"ft\",\"in\")", "12"},
                               {"=Grav()", "{9.806652,\"m / s^2\"}"}}),
            "formula                result\n"
            "---------------------  --------------------\n"
            "=Mensora(1,\"ft\",\"in\")  12\n"
            "=Grav()                {9.806652,\"m / s^2\"}\n");
}

TEST(ResultTable, ShortFormulasKeepTheHeadingsWidthAndEmptyResultsNoTrailingBlanks) {
  EXPECT_EQ(FormatResultTable({{"=A()", "1"}, {"=B()", ""}}),
            "formula  result\n"
            "-------  ------\n"
            "=A()     1\n"
            "=B()\n");
  EXPECT_EQ(FormatResultTable({}),
            "formula  result\n"
            "-------  ------\n");
}

TEST(ResultTable, CountsCharactersOfUtf8AndBytesOfACodePage) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {u8"=Mensora(1,\"k\u03A9\",\"\u03A9\")", "1000"}, {"=Grav()", "x"}};
  EXPECT_EQ(FormatResultTable(rows, TableTexts::kUtf8),
            u8"formula               result\n"
            u8"--------------------  ------\n"
            u8"=Mensora(1,\"k\u03A9\",\"\u03A9\")  1000\n"
            u8"=Grav()               x\n");
  // The same bytes read as a code page are as many characters as bytes.
  const std::string bytes = FormatResultTable(rows);
  EXPECT_EQ(bytes.substr(bytes.rfind("=Grav")), "=Grav()                 x\n");
}

}  // namespace
