// The host's events reaching the application's hooks, and the undoing of hooks installed in the
// host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/automation_value.h"
#include "com/host_objects.h"
#include "com/xll_com.h"
#include "tests/com/bridge_fixture.h"
#include "xll/app.h"
#include "xll/host_call.h"

namespace {

// An application that notes which sheet hook ran and with which sheet's name.
class HookedApp : public CXllApp {
 public:
  int OnSheetActivate(IDispatch* sheet) override { return Note("activate", sheet); }
  int OnSheetDeactivate(IDispatch* sheet) override { return Note("deactivate", sheet); }
  int OnSheetCalculate(IDispatch* sheet) override { return Note("calculate", sheet); }

  std::vector<std::string> hooks;

 private:
  int Note(const std::string& hook, IDispatch* sheet) {
    std::string name = "<none>";
    if (sheet) GetSheetName(sheet, name);
    hooks.push_back(hook + " " + name);
    return 1;
  }
};

class EventHooks : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    bridge.app = &hooked;
    bridge.application = model;
    model->AddRef();  // the bridge's own, which Term gives back
  }

  // Runs Term with hooks installed, on a host of this version.
  void TermWithHooks(const std::string& version) {
    SimHost host;
    host.SetVersion(version);
    ResetHostVersionCache();
    bridge.hooksInstalled = 1;
    bridge.Term();
    ResetHostVersionCache();
  }

  HookedApp hooked;
  CXllCom bridge;
};

TEST_F(EventHooks, EachEventReachesItsHook) {
  bridge.OnHostEvent(0);
  bridge.OnHostEvent(1);
  bridge.OnHostEvent(2);
  bridge.OnHostEvent(3);  // no such event
  bridge.OnHostEvent(-1);
  EXPECT_EQ(hooked.hooks,
            (std::vector<std::string>{"activate Sheet1", "deactivate <none>", "calculate <none>"}));
  EXPECT_TRUE(model->macros.empty());
}

TEST_F(EventHooks, WithoutAnActiveSheetTheActivationHookGetsNone) {
  model->SetFailure("ActiveWorksheet", DISP_E_EXCEPTION);
  bridge.OnHostEvent(0);
  EXPECT_EQ(hooked.hooks, std::vector<std::string>{"activate <none>"});
}

TEST_F(EventHooks, ASavedHostMacroRunsAfterTheHook) {
  bridge.savedHandlers[2] = "Recalculated";
  bridge.OnHostEvent(2);
  bridge.OnHostEvent(1);
  EXPECT_EQ(model->macros, std::vector<std::string>{"Recalculated()"});
}

TEST_F(EventHooks, TermOnAnOldHostWritesTheSavedMacrosBack) {
  bridge.savedHandlers[0] = "Activated";
  bridge.savedHandlers[2] = "Recalculated";
  TermWithHooks("5.0");
  EXPECT_EQ(model->eventProperties[0], "Activated");
  EXPECT_EQ(model->eventProperties[1], "");
  EXPECT_EQ(model->eventProperties[2], "Recalculated");
  EXPECT_EQ(bridge.hooksInstalled, 0);
  EXPECT_EQ(bridge.application, nullptr);
}

TEST_F(EventHooks, RestoringStopsAtTheFirstRefusedProperty) {
  model->SetFailure("OnSheetDeactivate", DISP_E_EXCEPTION);
  bridge.savedHandlers[0] = "A";
  bridge.savedHandlers[2] = "C";
  TermWithHooks("4.0");
  EXPECT_EQ(model->eventProperties[0], "A");
  EXPECT_EQ(model->eventProperties[2], "");
  EXPECT_TRUE(model->CallsOf("OnCalculate").empty());
}

TEST_F(EventHooks, TermReleasesAnEventSinkItHolds) {
  PlainObject sink;
  sink.AddRef();
  bridge.eventSink = &sink;
  TermWithHooks("16.0");
  EXPECT_EQ(sink.references(), 1u);
  EXPECT_EQ(bridge.eventSink, nullptr);
  EXPECT_EQ(bridge.hooksInstalled, 0);
  EXPECT_TRUE(model->Calls().empty());  // newer hosts keep no event properties to restore
}

}  // namespace
