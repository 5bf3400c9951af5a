// The exported probe callback and event entry points, with and without a bridge, down to the
// event macro the host runs.
#include "com/bridge_exports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/xll_com.h"
#include "tests/com/bridge_fixture.h"
#include "xll/app.h"

namespace {

class BridgeExports : public ModelTest {
 protected:
  // Gives app a bridge whose host application is the model.
  void Connect() {
    app.com = new CXllCom;
    app.com->app = &app;
    app.com->application = model;
    model->AddRef();
  }

  // Names a macro for each event the bridge raises.
  void SetEventMacros() {
    app.eventMacros[4] = "Activated";
    app.eventMacros[5] = "Deactivated";
    app.eventMacros[6] = "Calculated";
  }

  CXllApp app;
};

TEST_F(BridgeExports, WithoutABridgeEveryEntryPointAnswersOneAndDoesNothing) {
  SetEventMacros();
  EXPECT_EQ(CXllComImpl_OnSheetActivate(), 1);
  EXPECT_EQ(CXllComImpl_OnSheetDeactivate(), 1);
  EXPECT_EQ(CXllComImpl_OnCalculate(), 1);
  ASSERT_EQ(ComInstance, nullptr);
  EXPECT_EQ(xlCheckInstance(), 1);
  EXPECT_TRUE(model->Calls().empty());
}

TEST_F(BridgeExports, EachEventRunsTheMacroSetForItsIndex) {
  Connect();
  SetEventMacros();
  EXPECT_EQ(CXllComImpl_OnSheetActivate(), 1);
  EXPECT_EQ(CXllComImpl_OnSheetDeactivate(), 1);
  EXPECT_EQ(CXllComImpl_OnCalculate(), 1);
  // Deactivation and calculation pass no sheet, so their sheet argument stays empty.
  EXPECT_EQ(model->macros, (std::vector<std::string>{"Activated(\"[Book1]Sheet1\")",
                                                     "Deactivated()", "Calculated()"}));
}

TEST_F(BridgeExports, WithoutEventMacrosTheHostIsNotAsked) {
  Connect();
  EXPECT_EQ(CXllComImpl_OnSheetDeactivate(), 1);
  EXPECT_EQ(CXllComImpl_OnCalculate(), 1);
  EXPECT_TRUE(model->Calls().empty());
}

TEST_F(BridgeExports, OnlyAnArmedBridgeTakesTheProbesAnswer) {
  CXllCom bridge;
  ComInstance = &bridge;
  EXPECT_EQ(xlCheckInstance(), 1);
  EXPECT_EQ(bridge.probeAnswered, 0);
  bridge.probeArmed = 1;
  EXPECT_EQ(xlCheckInstance(), 1);
  EXPECT_EQ(bridge.probeAnswered, 1);
}

}  // namespace
