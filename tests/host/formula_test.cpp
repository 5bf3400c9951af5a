// Reading single-call formulas: what they hold, and refusing what is malformed.
#include "harness/host/formula.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {
// The arguments of a parsed formula as RenderValue shows them, separated by '|'.
std::string Shown(const FormulaCall& call) {
  std::string out;
  for (std::size_t i = 0; i < call.arguments.size(); ++i) {
    out += (i ? "|" : "") + RenderValue(call.arguments[i], NumberStyle::kRoundTrip);
  }
  return out;
}

TEST(ParseFormula, ReadsConstantArgumentsOfEveryKind) {
  struct Case {
    const char* formula;
    const char* name;
    const char* arguments;
  };
  const Case cases[] = {
      {"=Mensora(1,\"ft\",\"in\")", "Mensora", "1|\"ft\"|\"in\""},
      {"Grav()", "Grav", ""},
      {"  = Conv ( -1.5e3 , \"a\"\"b\" )  ", "Conv", "-1500|\"a\"\"b\""},
      {"=F(.5,+2,1E+2,-0.25e-1)", "F", "0.5|2|100|-0.025"},
      {"=F(TRUE,false)", "F", "TRUE|FALSE"},
      {"=F(,)", "F", "|"},
      {"=F(1,,\"\")", "F", "1||\"\""},
      {"=F(#N/A,#div/0!,#VALUE!)", "F", "#N/A|#DIV/0!|#VALUE!"},
      {"=My.Func_2(\"(,)\")", "My.Func_2", "\"(,)\""},
      // CHAR and & put any byte into a text, numbers and truth values joined as cells show them.
      {"=F(\"m\" & CHAR(9)&\"s\")", "F", "\"m\ts\""},
      {"=F(char( 65.9 )&CHAR(255),CHAR(34)&1.5&TRUE)", "F", "\"A\xff\"|\"\"\"1.5TRUE\""},
      {"=F(CHAR(0),CHAR(256),\"a\"&#N/A&CHAR(0))", "F", "#VALUE!|#VALUE!|#N/A"},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    FormulaCall call;
    std::string error;
    ASSERT_TRUE(ParseFormula(c.formula, &call, &error)) << c.formula << ": " << error;
    EXPECT_EQ(call.name, c.name) << c.formula;
    EXPECT_EQ(Shown(call), c.arguments) << c.formula;
  }
}

TEST(ParseFormula, RefusesMalformedFormulasSayingWhere) {
  struct Case {
    const char* formula;
    const char* message;
  };
  const Case cases[] = {
      {"", "a function name expected at column 1"},
      {"=", "a function name expected at column 2"},
      {"=1+2", "a function name expected at column 2"},
      {"=F", "'(' expected at column 3"},
      {"=F(", "an argument expected at column 4"},
      {"=F(1", "',' or ')' expected at column 5"},
      {"=F(1 2)", "',' or ')' expected at column 6"},
      {"=F(\"abc)", "closing '\"' missing at column 9"},
      {"=F(1)x", "unexpected text after ')' at column 6"},
      {"=F(A1)", "only constant arguments are supported, not 'A1' at column 4"},
      {"=F(#BAD!)", "unknown error value at column 4"},
      {"=F(1e999)", "number out of range at column 4"},
      {"=F(G(1))", "only constant arguments are supported, not 'G' at column 4"},
      {"=F(CHAR)", "'(' expected at column 8"},
      {"=F(CHAR(x))", "a character code expected at column 9"},
      {"=F(CHAR(1 2))", "')' expected at column 11"},
      {"=F(\"a\"&)", "an argument expected at column 8"},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    FormulaCall call;
    std::string error;
    EXPECT_FALSE(ParseFormula(c.formula, &call, &error)) << c.formula;
    EXPECT_EQ(error, c.message) << c.formula;
  }
}
TEST(ParseFormula, Utf8TextsHaveEveryCharacter) {
  struct Case {
    const char* formula;
    const char* arguments;
  };
  const Case cases[] = {
      {u8"=F(\"k\u03A9\")", u8"\"k\u03A9\""},  // quoted UTF-8 passes as it is
      {"=F(CHAR(181),CHAR(128),CHAR(65))", u8"\"\u00B5\"|\"\u20AC\"|\"A\""},  // the code page's
      {"=F(UNICHAR(937)&UNICHAR(128512),unichar(65.7))", u8"\"\u03A9\U0001F600\"|\"A\""},
      {"=F(UNICHAR(0),UNICHAR(1114112),UNICHAR(55296))", "#VALUE!|#VALUE!|#N/A"},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    FormulaCall call;
    std::string error;
    ASSERT_TRUE(ParseFormula(c.formula, &call, &error, FormulaTexts::kUtf8)) << c.formula;
    EXPECT_EQ(Shown(call), c.arguments) << c.formula;
  }
  // An older host has no UNICHAR.
  FormulaCall call;
  std::string error;
  EXPECT_FALSE(ParseFormula("=F(UNICHAR(937))", &call, &error));
  EXPECT_EQ(error, "only constant arguments are supported, not 'UNICHAR' at column 4");
}

// A chain of 200,000 joins (15 s when each join copied the text so far) reads in well under a
// second; the bound leaves room for a busy machine and the sanitizers.
TEST(ParseFormula, JoinsInTimeProportionalToTheChain) {
  std::string formula = "=F(\"m\"";
  for (int i = 0; i < 200000; ++i) formula += "&\"s\"";
  formula += ")";
  const auto start = std::chrono::steady_clock::now();
  FormulaCall call;
  std::string error;
  ASSERT_TRUE(ParseFormula(formula, &call, &error)) << error;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(call.arguments.size(), 1u);
  EXPECT_EQ(call.arguments[0].text.size(), 200001u);
  EXPECT_LT(seconds, 4.0);
}

}  // namespace
