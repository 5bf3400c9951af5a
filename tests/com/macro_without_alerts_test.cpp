// Running a macro with the host's alerts off: when alerts are switched and restored, and what
// stops the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/automation_value.h"
#include "com/xll_com.h"
#include "tests/com/bridge_fixture.h"

namespace {

class MacroWithoutAlerts : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    bridge.application = model;
  }
  void TearDown() override {
    bridge.application = nullptr;  // the model's reference is the fixture's
    ModelTest::TearDown();
  }

  // Runs text and returns the code; the answer goes into answer_text.
  HRESULT Run(const std::string& text) {
    VARIANT result;
    VariantInit(&result);
    const HRESULT code = bridge.ExecuteMacroWithoutAlerts(text, &result);
    answer_text = result.vt == VT_BSTR ? BstrToText(result.bstrVal) : "";
    VariantClear(&result);
    return code;
  }

  // The DisplayAlerts calls, each as "get" or "put <value>".
  std::vector<std::string> AlertCalls() const {
    std::vector<std::string> calls;
    for (const MemberCall& call : model->CallsOf("DisplayAlerts")) {
      calls.push_back(call.flags & DISPATCH_PROPERTYPUT ? "put " + call.arguments.at(0) : "get");
    }
    return calls;
  }

  CXllCom bridge;
  std::string answer_text;
};

TEST_F(MacroWithoutAlerts, AlertsOnAreSwitchedOffForTheRunAndBackOn) {
  model->macroAnswer = SimValue::Text("done");
  EXPECT_EQ(Run("Report(\"[Book1]Sheet1\")"), S_OK);
  EXPECT_EQ(answer_text, "done");
  EXPECT_EQ(AlertCalls(), (std::vector<std::string>{"get", "put FALSE", "put TRUE"}));
  EXPECT_EQ(model->macros, std::vector<std::string>{"Report(\"[Book1]Sheet1\")"});
  EXPECT_EQ(model->CallsOf("ExecuteExcel4Macro").at(0).flags, DISPATCH_METHOD);
  EXPECT_TRUE(model->displayAlerts);
}

TEST_F(MacroWithoutAlerts, AlertsAlreadyOffAreNeitherWrittenNorRestored) {
  model->displayAlerts = false;
  EXPECT_EQ(Run("Report()"), S_OK);
  EXPECT_EQ(AlertCalls(), std::vector<std::string>{"get"});
  EXPECT_FALSE(model->displayAlerts);
}

TEST_F(MacroWithoutAlerts, AFailedRunStillRestoresAlerts) {
  model->SetFailure("ExecuteExcel4Macro", DISP_E_EXCEPTION);
  EXPECT_EQ(Run("Report()"), DISP_E_EXCEPTION);
  EXPECT_EQ(AlertCalls(), (std::vector<std::string>{"get", "put FALSE", "put TRUE"}));
  EXPECT_TRUE(model->displayAlerts);
}

TEST_F(MacroWithoutAlerts, AlertsThatCannotBeReadOrSwitchedStopTheRun) {
  model->SetFailure("DisplayAlerts", DISP_E_EXCEPTION, DISPATCH_PROPERTYGET);
  EXPECT_EQ(Run("Report()"), DISP_E_EXCEPTION);
  EXPECT_TRUE(model->macros.empty());

  SimApplication* other = SimApplication::Create(nullptr);
  bridge.application = other;
  other->SetFailure("DisplayAlerts", E_FAIL, DISPATCH_PROPERTYPUT);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(bridge.ExecuteMacroWithoutAlerts("Report()", &result), E_FAIL);
  EXPECT_TRUE(other->macros.empty());
  EXPECT_EQ(other->CallsOf("DisplayAlerts").size(), 2u);  // read, then the refused write
  bridge.application = model;
  other->Release();
}

struct AlertsCase {
  SimValue answer;
  HRESULT code;
  int truth;
};

TEST_F(MacroWithoutAlerts, DisplayAlertsIsReadAsATruthValue) {
  const std::vector<AlertsCase> cases = {
      {SimValue::Bool(true), S_OK, 1},
      {SimValue::Bool(false), S_OK, 0},
      {SimValue::Number(0), S_OK, 0},
      {SimValue::Text("True"), S_OK, 1},
      {SimValue::Text("perhaps"), DISP_E_TYPEMISMATCH, -1},
  };
  ASSERT_FALSE(cases.empty());
  for (const AlertsCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "answer " << c.answer.number << " " << c.answer.text);
    model->SetAnswer("DisplayAlerts", c.answer);
    int truth = -1;
    EXPECT_EQ(bridge.GetDisplayAlerts(&truth), c.code);
    EXPECT_EQ(truth, c.truth);
  }
}

}  // namespace
