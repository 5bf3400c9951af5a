// Event macros run through the bridge: the argument text built from the host's objects, and the
// macro's answer read as a truth value.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "com/xll_com.h"
#include "harness/host/automation_app.h"
#include "xll/app.h"
#include "xll/entry_points.h"

namespace {

class AppBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetComStandIn();
    model = SimApplication::Create(nullptr);
    app.com = new CXllCom;
    app.com->app = &app;
    app.com->application = model;
    model->AddRef();  // the bridge's, given back when the application stops it
  }
  void TearDown() override {
    app.StopCom();
    model->Release();
    EXPECT_EQ(platform::OutstandingStrings(), 0);
  }

  CXllApp app;
  SimApplication* model = nullptr;
};

struct EventCase {
  const char* name;
  int index;
  std::function<int(CXllApp&, SimApplication&)> raise;
  const char* macro;
};

TEST_F(AppBridge, EachLetterNamesItsObject) {
  const std::vector<EventCase> cases = {
      {"new workbook", 0,
       [](CXllApp& a, SimApplication& m) { return a.OnNewWorkbook(&m.Workbook()); },
       "M(\"Book1\")"},
      {"selection", 1,
       [](CXllApp& a, SimApplication& m) {
         return a.OnSheetSelectionChange(&m.Worksheet(), &m.Range());
       },
       "M(\"[Book1]Sheet1\",\"B3\")"},
      {"before save", 12,
       [](CXllApp& a, SimApplication& m) { return a.OnWorkbookBeforeSave(&m.Workbook(), 1); },
       "M(\"Book1\",TRUE)"},
      {"new sheet", 14,
       [](CXllApp& a, SimApplication& m) {
         return a.OnWorkbookNewSheet(&m.Workbook(), &m.Worksheet());
       },
       "M(\"Book1\",\"[Book1]Sheet1\")"},
      // A query that fails gives an empty piece, and no comma goes before the first piece.
      {"no sheet", 7,
       [](CXllApp& a, SimApplication& m) { return a.OnSheetChange(nullptr, &m.Range()); },
       "M(\"B3\")"},
      {"no range", 7,
       [](CXllApp& a, SimApplication& m) { return a.OnSheetChange(&m.Worksheet(), nullptr); },
       "M(\"[Book1]Sheet1\",)"},
  };
  ASSERT_FALSE(cases.empty());
  for (const EventCase& c : cases) {
    SCOPED_TRACE(c.name);
    model->macros.clear();
    app.eventMacros[c.index] = "M";
    EXPECT_EQ(c.raise(app, *model), 0);
    EXPECT_EQ(model->macros, std::vector<std::string>{c.macro});
    app.eventMacros[c.index].clear();
  }
}

struct AnswerCase {
  const char* name;
  SimValue answer;
  int result;
};

TEST_F(AppBridge, AnEventThatWantsAnAnswerReadsItAsATruthValue) {
  const std::vector<AnswerCase> cases = {
      {"true", SimValue::Bool(true), 1},
      {"false", SimValue::Bool(false), 0},
      {"number", SimValue::Number(2), 1},
      {"text", SimValue::Text("TRUE"), 1},
      {"text that is no truth", SimValue::Text("maybe"), 0},
      {"error value", SimValue::Error(kMacroErrorName), 0},
  };
  ASSERT_FALSE(cases.empty());
  app.eventMacros[11] = "BeforeClose";
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(c.name);
    model->macroAnswer = c.answer;
    EXPECT_EQ(app.OnWorkbookBeforeClose(&model->Workbook()), c.result);
  }
  // An event that wants no answer gives 0 whatever the macro said.
  model->macroAnswer = SimValue::Bool(true);
  app.eventMacros[8] = "Opened";
  EXPECT_EQ(app.OnWorkbookOpen(&model->Workbook()), 0);
}

TEST_F(AppBridge, AMacroThatCannotRunAnswersZero) {
  model->macroAnswer = SimValue::Bool(true);
  model->SetFailure("ExecuteExcel4Macro", DISP_E_EXCEPTION);
  app.eventMacros[13] = "BeforePrint";
  EXPECT_EQ(app.OnWorkbookBeforePrint(&model->Workbook()), 0);
  EXPECT_TRUE(model->displayAlerts);
}

TEST_F(AppBridge, WithoutABridgeNothingRuns) {
  app.StopCom();
  app.eventMacros[11] = "BeforeClose";
  EXPECT_EQ(app.OnWorkbookBeforeClose(&model->Workbook()), 0);
  EXPECT_TRUE(model->Calls().empty());
}

// Unloading at process exit (a non-null reserved argument) makes no COM call: the application
// object keeps the bridge's reference. An ordinary unload gives it back.
TEST_F(AppBridge, ProcessExitAbandonsTheHostsObjectsAndAnUnloadReleasesThem) {
  struct Case {
    const char* name;
    int reserved;
    ULONG released;
  };
  const Case cases[] = {{"process exit", 1, 0}, {"unload", 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!app.com) {
      app.com = new CXllCom;
      app.com->app = &app;
      app.com->application = model;
      model->AddRef();
    }
    const ULONG before = model->AddRef() - 1;
    model->Release();
    int exit_marker = 0;
    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_DETACH, c.reserved ? &exit_marker : nullptr), TRUE);
    EXPECT_EQ(app.com, nullptr);
    const ULONG after = model->AddRef() - 1;
    model->Release();
    EXPECT_EQ(before - after, c.released);
    if (c.released == 0) model->Release();  // the reference the bridge abandoned
  }
}

}  // namespace
