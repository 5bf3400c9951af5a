// Evaluating formulas against the fake add-in: argument passing, results and their release.
#include "harness/host/evaluator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/fake_addin.h"

namespace {
using fake_addin::OpenedFake;
using fake_addin::state;

std::string Evaluate(SimHost& host, const std::string& formula,
                     NumberStyle style = NumberStyle::kCell) {
  return RenderEvaluation(EvaluateFormula(host, formula), style);
}

TEST(EvaluateFormula, CallsEachShapeWithItsArguments) {
  OpenedFake fake;
  ASSERT_EQ(fake.opened, 1);
  struct Case {
    const char* formula;
    const char* shown;
  };
  const Case cases[] = {
      {"=FakeEcho(1.5,\"ft\",\"in\")", "\"1.5|ft|in\""},
      {"=FakeEcho(TRUE,1.25,FALSE)", "\"1|1.25|FALSE\""},
      {"=FakeEcho(\" -7 \",\"a\"\"b\",)", "\"-7|a\"\"b|\""},
      {"=FakeEcho()", "\"0||\""},
      {"=fakedouble(-2.5e2)", "-500"},
      {"=FakeLength(\"abc\")", "3"},
      {"=FakeLabel(12,\"m\")", "{12,\"m\"}"},
      {"=FakeConcat(\"kg \",\"m\")", "\"kg m\""},
      {"=FakeArray()", "{1,\"a\";TRUE,#N/A}"},
      {"=FakeFail()", "#N/A"},
      {"=FakeNull()", "#VALUE!"},
      {"=FakeCommand()", "41"},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) EXPECT_EQ(Evaluate(fake.host, c.formula), c.shown) << c.formula;
  EXPECT_EQ(state().function_calls, 11);
}

TEST(EvaluateFormula, PassesNumbersAndTextsExactly) {
  OpenedFake fake;
  EXPECT_EQ(Evaluate(fake.host, "=FakeEcho(0.1,\"x\",\"\")"), "\"0.10000000000000001|x|\"");
  EXPECT_EQ(state().last_number, 0.1);
  EXPECT_EQ(Evaluate(fake.host, "=FakeDouble(0.30000000000000004)"), "0.6");
  EXPECT_EQ(Evaluate(fake.host, "=FakeDouble(0.30000000000000004)", NumberStyle::kRoundTrip),
            "0.6000000000000001");
  const std::string longest(255, 'x');
  EXPECT_EQ(Evaluate(fake.host, "=FakeLength(\"" + longest + "\")"), "255");
  EXPECT_EQ(state().last_texts[0], longest);
}

TEST(EvaluateFormula, RefusesWithoutCallingTheAddIn) {
  OpenedFake fake;
  struct Case {
    const char* what;
    std::string formula;
    const char* shown;
  };
  const Case cases[] = {
      {"text that is no number", "=FakeEcho(\"abc\",\"ft\",\"in\")", "#VALUE!"},
      {"256 characters", "=FakeLength(\"" + std::string(256, 'x') + "\")", "#VALUE!"},
      {"too many arguments", "=FakeDouble(1,2)", "#VALUE!"},
      {"a shape the host cannot call", "=FakeBadShape(1,2)", "#VALUE!"},
      {"an error argument", "=FakeConcat(\"a\",#DIV/0!)", "#DIV/0!"},
      {"no such function", "=Nowhere(1)", "#NAME?"},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) EXPECT_EQ(Evaluate(fake.host, c.formula), c.shown) << c.what;
  EXPECT_EQ(state().function_calls, 0);
}

TEST(EvaluateFormula, ReportsMalformedFormulasAsNoValue) {
  OpenedFake fake;
  const char* formulas[] = {"", "=", "=FakeDouble(", "=FakeDouble(1", "=FakeDouble(\"1)",
                            "=FakeDouble(1)+1", "=FakeDouble(A1)", "=FakeDouble(#BAD!)"};
  for (const char* formula : formulas) {
    Evaluation evaluation = EvaluateFormula(fake.host, formula);
    EXPECT_FALSE(evaluation.parsed) << formula;
    EXPECT_EQ(RenderEvaluation(evaluation).rfind("error: ", 0), 0u) << formula;
  }
  EXPECT_EQ(state().function_calls, 0);
}

TEST(EvaluateFormula, HandsBackExactlyTheResultsMarkedForRelease) {
  OpenedFake fake;
  const std::size_t before = fake.host.AutoFreeCalls();
  const int add_in_before = state().auto_free_calls;
  // Marked: FakeEcho, FakeLength, FakeLabel, FakeArray. Not marked: FakeDouble, FakeFail.
  const char* formulas[] = {"=FakeEcho(1,\"a\",\"b\")", "=FakeDouble(2)", "=FakeLength(\"x\")",
                            "=FakeFail()", "=FakeLabel(1,\"m\")", "=FakeArray()"};
  for (const char* formula : formulas) Evaluate(fake.host, formula);
  EXPECT_EQ(fake.host.AutoFreeCalls() - before, 4u);
  EXPECT_EQ(state().auto_free_calls - add_in_before, 4);
  EXPECT_EQ(state().auto_free_unknown, 0);
  EXPECT_TRUE(state().outstanding.empty());
  EXPECT_EQ(fake.host.FreeFaults(), 0u);
}

TEST(EvaluateFormula, TracesTheCallAndItsRelease) {
  OpenedFake fake;
  fake.host.ClearTrace();
  Evaluate(fake.host, "=FakeEcho(1.5,\"ft\",\"in\")");
  EXPECT_EQ(fake.host.TraceText(),
            "add-in: FakeEcho(1.5, \"ft\", \"in\") = \"1.5|ft|in\"\n"
            "add-in: xlAutoFree(\"1.5|ft|in\")\n");
}

TEST(RunCommand, RunsOnlyRegisteredCommands) {
  OpenedFake fake;
  int answer = 0;
  EXPECT_TRUE(RunCommand(fake.host, "fakecommand", &answer));
  EXPECT_EQ(answer, 41);
  EXPECT_TRUE(RunCommand(fake.host, "FakeCommand", &answer));
  EXPECT_EQ(answer, 42);
  answer = 0;
  EXPECT_FALSE(RunCommand(fake.host, "FakeDouble", &answer));
  EXPECT_FALSE(RunCommand(fake.host, "Nowhere", &answer));
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(state().command_runs, 2);
}
std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(EvaluateFormula, Version12HostsPassWideTextsAndTheCodePageToOlderFunctions) {
  OpenedFake fake;
  fake_addin::wide_free_calls = 0;
  struct Case {
    std::string formula;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {u8"=FakeWide(\"k\u03A9\")", u8"\"2|k\u03A9\""},
      {"=FakeWide(UNICHAR(128512))", u8"\"2|\U0001F600\""},  // a surrogate pair
      {"=FakeWide(CHAR(181))", u8"\"1|\u00B5\""},            // the code page's micro sign
      {"=FakeWide(\"" + std::string(32768, 'm') + "\")", "#VALUE!"},
      // A function of the interface of every version gets the code page: one byte a character,
      // '?' for one it lacks, and its answer comes back as UTF-8.
      {u8"=FakeLength(\"\u00B5m\")", "2"},
      {u8"=FakeConcat(\"\u00B5\",\"\u03A9\")", u8"\"\u00B5?\""},
      {"=FakeLength(\"" + Repeated(u8"\u00B5", 255) + "\")", "255"},
      {"=FakeLength(\"" + Repeated(u8"\u00B5", 256) + "\")", "#VALUE!"},  // 256 bytes there
      {"=FakeMacroSafe(1)", "#NAME?"},  // thread-safe with a macro sheet's rights: refused
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    EXPECT_EQ(Evaluate(fake.host, c.formula), c.shown) << c.formula.substr(0, 40);
  }
  // Each version 12 text went back through xlAutoFree12, on the thread that called.
  EXPECT_EQ(fake_addin::wide_free_calls, 3);
  EXPECT_EQ(fake_addin::wide_frees_on_another_thread, 0);
}

TEST(EvaluateFormula, ThreadSafeFunctionsMayCallOnlyTheCApisOwnFunctions) {
  OpenedFake fake;
  struct Case {
    int xlfn;
    int code;
  };
  const std::vector<Case> cases = {
      {xlCoerce, xlretSuccess}, {xlFree, xlretSuccess},
      {xlfGetWorkspace, xlretNotThreadSafe}, {xlfRegister, xlretNotThreadSafe},
      {xlcAlert, xlretNotThreadSafe},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    EXPECT_EQ(Evaluate(fake.host, "=FakeAsk(" + std::to_string(c.xlfn) + ")"),
              std::to_string(c.code))
        << c.xlfn;
  }
  // Outside a thread-safe function the same calls answer.
  XLOPER12 two{};
  two.xltype = xltypeNum;
  two.val.num = 2;
  XLOPER12* args[] = {&two};
  XLOPER12 version{};
  ASSERT_EQ(MdCallBack12(xlfGetWorkspace, 1, args, &version), xlretSuccess);
  EXPECT_EQ(std::u16string(version.val.str + 1, version.val.str[0]), u"16.0");
  Excel12(xlFree, nullptr, 1, &version);
  EXPECT_EQ(fake.host.OutstandingAllocations(), 0u);
}

TEST(EvaluateFormula, OlderHostsHaveNoVersion12Interface) {
  OpenedFake fake("11.0");
  XLOPER12 name{};
  EXPECT_EQ(MdCallBack12(xlGetName, 0, nullptr, &name), xlretFailed);
  // Version 12 functions are listed but cannot be called; the code page's bytes pass as they are.
  EXPECT_EQ(Evaluate(fake.host, "=FakeWide(\"x\")"), "#VALUE!");
  EXPECT_EQ(Evaluate(fake.host, "=FakeWhere(1)"), "#VALUE!");
  EXPECT_EQ(Evaluate(fake.host, u8"=FakeLength(\"\u00B5m\")"), "3");
  EXPECT_EQ(Evaluate(fake.host, u8"=FakeConcat(\"\u03A9\",CHAR(181))"), u8"\"\u03A9\xB5\"");
  for (const TraceEntry& entry : fake.host.Trace()) EXPECT_FALSE(entry.wide) << entry.Line();
}

}  // namespace
