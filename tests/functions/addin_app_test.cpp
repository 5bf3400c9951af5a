// The whole add-in in the simulated host: attach, open, formulas, the add-in manager, close,
// remove and detach, as the host drives them, with the real seven registration records.
#include "functions/addin_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/host/addin_session.h"
#include "harness/host/evaluator.h"
#include "harness/host/sim_host.h"
#include "harness/platform/module.h"
#include "xll/entry_points.h"
#include "xll/host_call.h"
#include "xll/xll_function.h"

namespace {

constexpr char kXllName[] = "C:\\AddIns\\MENSORA.xll";
HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(0x10000000);

// The application object GetApp returned once static construction was over, before any test
// made its own.
CXllApp* g_static_app = nullptr;

class StaticAppWatch : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!g_static_app) g_static_app = GetApp();
  }
};
::testing::Environment* const kStaticAppWatch =
    ::testing::AddGlobalTestEnvironment(new StaticAppWatch);

// Host calls only: what the add-in asked of the host, without the releases of host memory.
std::vector<std::string> HostCallNames(const SimHost& host) {
  std::vector<std::string> names;
  for (const TraceEntry& entry : host.Trace()) {
    if (!entry.into_addin && entry.xlfn != xlFree) names.push_back(entry.name);
  }
  return names;
}

std::vector<std::string> Repeat(const std::vector<std::string>& names, int times) {
  std::vector<std::string> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), names.begin(), names.end());
  return all;
}

// The add-in loaded into a fresh simulated host, with a fresh application object of its own
// that the library entry point attaches and detaches as the loader would. The host is of version
// 11, which takes the interface of every version only; Addin12 below is a host of today.
class Addin : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHostVersionCache();
    host.SetVersion(version());
    session.SetAttachHooks([] { DllMain(kInstance, DLL_PROCESS_ATTACH, nullptr); },
                           [] { DllMain(kInstance, DLL_PROCESS_DETACH, nullptr); });
    std::string error;
    ASSERT_TRUE(session.Load("", kXllName, &error)) << error;
  }

  void TearDown() override {
    session.Unload();
    EXPECT_EQ(host.OutstandingAllocations(), 0u);
    for (const std::string& fault : host.FreeFaultMessages()) ADD_FAILURE() << fault;
  }

  // The answer of xlAddInManagerInfo to action, as the host copies it before handing it back.
  HostValue ManagerInfo(CXllValue action) {
    return host.AcceptResult(session.module(), "xlAddInManagerInfo", {action.ToText()},
                             xlAddInManagerInfo(&action));
  }

  virtual const char* version() const { return "11.0"; }

  SimHost host;
  CAddInApp app;
  AddinSession session{host};
};

class Addin12 : public Addin {
 protected:
  const char* version() const override { return "16.0"; }
};

TEST(AddinStatic, OneApplicationObjectIsReadyBeforeTheLibraryIsAttached) {
  ASSERT_NE(g_static_app, nullptr);
  ASSERT_NE(dynamic_cast<CAddInApp*>(g_static_app), nullptr);
  EXPECT_TRUE(g_static_app->functions.empty());
  EXPECT_EQ(g_static_app->opened, 0);
  EXPECT_EQ(g_static_app->com, nullptr);

  g_static_app->OnAttach();
  EXPECT_EQ(g_static_app->title, "Mensora");
  EXPECT_EQ(g_static_app->functions.size(), 7u);
  g_static_app->OnDetach();
  EXPECT_TRUE(g_static_app->functions.empty());
}

TEST_F(Addin, OpenRegistersTheSevenFunctionsInOrderOfTheirNames) {
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(session.Title(), "Mensora");
  EXPECT_EQ(app.opened, 1);

  // The bridge's start, which finds no host application here, then the registrations.
  std::vector<std::string> expected_calls = {"xlcEcho", "xlcNew",  "xlfGetWorkspace",
                                             "xlcClose", "xlcEcho", "xlGetName"};
  for (int i = 0; i < 7; ++i) expected_calls.push_back("xlfRegister");
  expected_calls.push_back("xlCoerce");  // the add-in manager asking for the title
  EXPECT_EQ(HostCallNames(host), expected_calls) << host.TraceText();

  struct Expected {
    const char* name;
    std::size_t arguments;
  };
  const std::vector<Expected> expected = {
      {"FromMetric", 12}, {"GasConst", 8},   {"Grav", 8},     {"Mensora", 13},
      {"ShowCommonMetric", 11}, {"ShowMetric", 11}, {"ToMetric", 12}};
  const std::vector<RegisteredFunction>& functions = host.Functions();
  ASSERT_EQ(functions.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(functions[i].function_text, expected[i].name);
    EXPECT_EQ(functions[i].arguments.size(), expected[i].arguments);
    EXPECT_NE(functions[i].address, nullptr);
    EXPECT_EQ(app.FindFunction(expected[i].name)->registerId, functions[i].id);
  }
  // Every value goes as text; the helps end in a blank.
  const RegisteredFunction* mensora = host.FindFunction("Mensora");
  ASSERT_NE(mensora, nullptr);
  const std::vector<std::string> texts = {
      kXllName, "Mensora", "RBCC", "Mensora", "Val,InUnits,OutUnits", "1", "Mensora", "", "!0",
      "Change Val from InUnits to OutUnits ", "= Input value expressed in InUnits (number) ",
      "= The units of Val (text) ", "= The units to output (text). "};
  ASSERT_EQ(mensora->arguments.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(mensora->arguments[i].type, xltypeStr) << "argument " << i + 1;
    EXPECT_EQ(mensora->arguments[i].text, texts[i]) << "argument " << i + 1;
  }
}

TEST_F(Addin, OldHostGetsEightArgumentsForEveryFunction) {
  host.SetVersion("4.0");
  ASSERT_EQ(session.Open(), 1);
  ASSERT_EQ(host.Functions().size(), 7u);
  for (const RegisteredFunction& function : host.Functions()) {
    EXPECT_EQ(function.arguments.size(), 8u) << function.function_text;
  }
}

TEST_F(Addin, LifeFromOpenToDetach) {
  ASSERT_EQ(session.Open(), 1);
  std::vector<double> ids;
  for (const RegisteredFunction& function : host.Functions()) ids.push_back(function.id);

  // After closing the host has dropped the functions; opening again registers them anew.
  EXPECT_EQ(session.Close(), 1);
  EXPECT_TRUE(host.Functions().empty());
  EXPECT_EQ(app.FindFunction("Mensora")->registered, 0);
  host.ClearTrace();
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(host.CallsOf(xlfRegister).size(), 7u) << host.TraceText();
  ASSERT_EQ(host.Functions().size(), 7u);
  ids.clear();
  for (const RegisteredFunction& function : host.Functions()) ids.push_back(function.id);
  host.ClearTrace();

  // Removing unregisters each by its id, in order of the names, leaving the hidden entries.
  EXPECT_EQ(session.Remove(), 1);
  EXPECT_EQ(HostCallNames(host),
            Repeat({"xlfUnregister", "xlfSetName", "xlGetName", "xlfRegister"}, 7))
      << host.TraceText();
  std::vector<double> unregistered;
  for (const TraceEntry& entry : host.CallsOf(xlfUnregister)) {
    EXPECT_EQ(entry.result, "TRUE");
    unregistered.push_back(std::stod(entry.arguments.at(0)));
  }
  EXPECT_EQ(unregistered, ids);
  ASSERT_EQ(host.Functions().size(), 7u);
  for (const RegisteredFunction& function : host.Functions()) {
    EXPECT_EQ(function.procedure, "xlAutoRemove");
    EXPECT_EQ(function.macro_type, 0);
    EXPECT_EQ(function.type_text, "J");
  }
  EXPECT_EQ(app.functions.size(), 7u);
  EXPECT_EQ(app.FindFunction("Mensora")->registered, 0);

  // A formula calling a removed function reaches nothing of the add-in's conversions.
  EXPECT_NE(RenderEvaluation(EvaluateFormula(host, "=Mensora(1,\"ft\",\"in\")")), "12");

  // Detaching drops the functions without a word to the host.
  host.ClearTrace();
  session.Unload();
  EXPECT_TRUE(app.functions.empty());
  EXPECT_TRUE(host.Trace().empty()) << host.TraceText();
  EXPECT_EQ(XllInstance(), nullptr);
}

// The add-in switched off and on again in one session, as the add-in manager does it: every open
// after a close or a removal registers the seven functions again, and the formulas work; an open
// with neither before it registers nothing.
TEST_F(Addin, EveryOpenAfterACloseOrRemovalRegistersAgain) {
  struct Sequence {
    const char* steps;  // o open, c close, r remove
    std::size_t registrations;
  };
  const std::vector<Sequence> sequences = {
      {"oo", 7}, {"oco", 14}, {"orco", 14}, {"oro", 14}, {"ococo", 21}, {"ocoo", 14},
  };
  ASSERT_FALSE(sequences.empty());
  for (const Sequence& sequence : sequences) {
    SCOPED_TRACE(sequence.steps);
    host.ClearTrace();
    for (const char* step = sequence.steps; *step; ++step) {
      const int answer = *step == 'o' ? session.Open()
                         : *step == 'c' ? session.Close()
                                        : session.Remove();
      EXPECT_EQ(answer, 1) << *step;
    }
    std::size_t registrations = 0;
    for (const TraceEntry& entry : host.CallsOf(xlfRegister)) {
      registrations += entry.arguments.size() > 1 && entry.arguments[1] != "\"xlAutoRemove\"";
    }
    EXPECT_EQ(registrations, sequence.registrations);
    EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=Mensora(1,\"ft\",\"in\")")), "12");
    EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=Grav()")), "{9.80665,\"m / s^2\"}");
    // Back to the state a fresh load is in.
    session.Remove();
    session.Close();
  }
}

TEST_F(Addin, ManagerInfoAnswersTheTitleForActionOneOnly) {
  EXPECT_EQ(RenderValue(ManagerInfo(CXllValue(1.0))), "\"Mensora\"");
  EXPECT_EQ(RenderValue(ManagerInfo(CXllValue(2.0))), "#VALUE!");
  EXPECT_EQ(RenderValue(ManagerInfo(CXllValue("not a number"))), "#VALUE!");
  const std::vector<TraceEntry> coercions = host.CallsOf(xlCoerce);
  ASSERT_EQ(coercions.size(), 3u);
  EXPECT_EQ(coercions[0].arguments.at(1), "2048");
  EXPECT_EQ(host.AutoFreeCalls(), 3u);
}

TEST_F(Addin, ReportedBridgeFailureAlertsAndRegistersNothing) {
  app.reportComFailure = 1;
  EXPECT_EQ(session.Open(), 0);
  EXPECT_EQ(host.Alerts(),
            std::vector<std::string>{
                "COM initialisation failed: CLSIDFromProgID(\"Excel.Application\", ...) failed "
                "with error 800401f3\nCOM error: 1"});
  EXPECT_TRUE(host.Functions().empty());
  EXPECT_EQ(app.opened, 1);
  EXPECT_EQ(session.Open(), 1);
  EXPECT_TRUE(host.Functions().empty());
}

TEST_F(Addin, WorksheetFormulasAfterOpening) {
  ASSERT_EQ(session.Open(), 1);
  struct Case {
    const char* formula;
    const char* cell;
  };
  const std::vector<Case> cases = {
      {"=Mensora(1,\"ft\",\"s\")", "\"Inconsistent units\""},
      {"=Mensora(1,\"xyz\",\"abc\")", "\"Unknown unit 'xyz'\""},
      {"=Mensora(100,\"degC\",\"degF\")", "212"},
      {"=Mensora(1,\"ft\",\"in\")", "12"},
      {"=Mensora(5,\"\",\"\")", "5"},
      {"=ToMetric(0,\"degC\")", "{273.15,\"degK \"}"},
      {"=ToMetric(1,\"ft\")", "{0.3048,\"m \"}"},
      {"=ShowMetric(\"J / mol / degK\")", "\"kg m^2 / s^2 degK mol \""},
      {"=ShowCommonMetric(\"Btu\")", "\"J\""},
      {"=ShowMetric(\"Btu\")", "\"kg m^2 / s^2 \""},
      {"=ShowMetric(\"ft/m\")", "\"\""},
      {"=Grav()", "{9.80665,\"m / s^2\"}"},
      {"=GasConst()", "{8.31446261815324,\"J / mol / degK\"}"},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, c.formula)), c.cell) << c.formula;
  }

  // Results that are right within rounding: [number, unit text].
  struct NearCase {
    const char* formula;
    double number;
    const char* units;
  };
  const std::vector<NearCase> near_cases = {
      {"=FromMetric(273.15,\"degF\")", 32, "degK "},
      // The SI units, not the common name "J".
      {"=ToMetric(1,\"Btu\")", 1055.056, "kg m^2 / s^2 "},
  };
  for (const NearCase& c : near_cases) {
    SCOPED_TRACE(c.formula);
    const Evaluation cell = EvaluateFormula(host, c.formula);
    ASSERT_EQ(cell.value.type, xltypeMulti);
    ASSERT_EQ(cell.value.elements.size(), 2u);
    EXPECT_NEAR(cell.value.elements[0].number, c.number, 1e-3);
    EXPECT_EQ(cell.value.elements[1].text, c.units);
  }
  // The title, then every formula's answer, went back through xlAutoFree.
  EXPECT_EQ(host.AutoFreeCalls(), 1 + cases.size() + near_cases.size());
}

TEST_F(Addin12, OpenRegistersTheSevenThroughExcel12AsThreadSafe) {
  EXPECT_EQ(session.Open(), 1);
  EXPECT_EQ(app.interface12, 1);
  // The version is read through the interface of every version, then everything else of the
  // registration goes through version 12's.
  std::vector<std::string> expected_calls = {"xlcEcho", "xlcNew", "xlfGetWorkspace",
                                             "xlcClose", "xlcEcho", "xlGetName"};
  for (int i = 0; i < 7; ++i) expected_calls.push_back("xlfRegister");
  expected_calls.push_back("xlCoerce");
  EXPECT_EQ(HostCallNames(host), expected_calls) << host.TraceText();
  for (const TraceEntry& entry : host.Trace()) {
    if (entry.into_addin || entry.xlfn == xlFree) continue;
    const bool wide = entry.xlfn == xlGetName || entry.xlfn == xlfRegister;
    EXPECT_EQ(entry.wide, wide) << entry.Line();
  }
  const std::vector<RegisteredFunction>& functions = host.Functions();
  ASSERT_EQ(functions.size(), 7u);
  for (const RegisteredFunction& function : functions) {
    SCOPED_TRACE(function.function_text);
    EXPECT_EQ(function.procedure, function.function_text + "12");
    EXPECT_EQ(function.type_text.front(), 'Q');
    EXPECT_EQ(function.type_text.back(), '$');
    EXPECT_TRUE(function.callable && function.shape.thread_safe);
    EXPECT_NE(function.address, nullptr);
  }
  // The same texts as an older host gets, but for the entry point and its type text.
  const RegisteredFunction* mensora = host.FindFunction("Mensora");
  ASSERT_NE(mensora, nullptr);
  const std::vector<std::string> texts = {
      kXllName, "Mensora12", "QBD%D%$", "Mensora", "Val,InUnits,OutUnits", "1", "Mensora", "",
      "!0", "Change Val from InUnits to OutUnits ", "= Input value expressed in InUnits (number) ",
      "= The units of Val (text) ", "= The units to output (text). "};
  ASSERT_EQ(mensora->arguments.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(mensora->arguments[i].text, texts[i]) << "argument " << i + 1;
  }

  // Removal unregisters through version 12's interface too, leaving the hidden entries.
  host.ClearTrace();
  EXPECT_EQ(session.Remove(), 1);
  EXPECT_EQ(HostCallNames(host),
            Repeat({"xlfUnregister", "xlfSetName", "xlGetName", "xlfRegister"}, 7));
  for (const RegisteredFunction& function : host.Functions()) {
    EXPECT_EQ(function.procedure, "xlAutoRemove");
  }
}

TEST_F(Addin12, FormulasAnswerAsInAnOlderHostWithNothingToGiveBack) {
  ASSERT_EQ(session.Open(), 1);
  const std::vector<const char*> formulas = {
      "=Mensora(1,\"ft\",\"in\")", "=Mensora(1,\"ft\",\"s\")", "=ToMetric(0,\"degC\")",
      "=FromMetric(1,\"mi/hr\")", "=ShowMetric(\"J / mol / degK\")", "=ShowCommonMetric(\"Btu\")",
      "=Grav()", "=GasConst()", "=Mensora(1,\"xyz\",\"abc\")"};
  std::vector<std::string> today;
  for (const char* formula : formulas) {
    today.push_back(RenderEvaluation(EvaluateFormula(host, formula), NumberStyle::kRoundTrip));
  }
  // Only the title went back through xlAutoFree: the results live in the thread's storage.
  EXPECT_EQ(host.AutoFreeCalls(), 1u);
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, u8"=Mensora(1,\"k\u03A9\",\"\u03A9\")")), "1000");

  session.Remove();
  session.Close();
  session.Unload();
  ResetHostVersionCache();
  SimHost older;
  older.SetVersion("11.0");
  CAddInApp older_app;
  AddinSession older_session{older};
  older_session.SetAttachHooks([] { DllMain(kInstance, DLL_PROCESS_ATTACH, nullptr); },
                               [] { DllMain(kInstance, DLL_PROCESS_DETACH, nullptr); });
  std::string error;
  ASSERT_TRUE(older_session.Load("", kXllName, &error)) << error;
  ASSERT_EQ(older_session.Open(), 1);
  EXPECT_EQ(older_app.interface12, 0);
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    EXPECT_EQ(RenderEvaluation(EvaluateFormula(older, formulas[i]), NumberStyle::kRoundTrip),
              today[i])
        << formulas[i];
  }
  older_session.Unload();
}

}  // namespace
