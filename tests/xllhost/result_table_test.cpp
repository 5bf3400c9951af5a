// The two-column table of formulas and results.
#include "harness/xllhost/result_table.h"

#include <gtest/gtest.h>

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

}  // namespace
