// Finding the own host: the ProgID by host version, the active object and the running object
// table as candidates, the probe that only the own process answers, and every message.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "com/xll_com.h"
#include "tests/com/bridge_fixture.h"
#include "xll/host_call.h"

namespace {

class ApplicationLookup : public BridgeTest {
 protected:
  // Runs a bridge's FindApplication as Init would, with COM initialised around it. Returns its
  // result; the bridge keeps what it found.
  int Find(CXllCom& bridge) {
    ComInstance = &bridge;  // as Init sets it, so that the own host's probe is answered
    CoInitialize(nullptr);
    const int found = bridge.FindApplication(message, status);
    CoUninitialize();
    return found;
  }

  std::string message = "not written";
  long status = -1;
};

struct VersionCase {
  const char* version;
  const char* registered;
  bool found;
  const char* message;
};

TEST_F(ApplicationLookup, TheHostVersionChoosesTheProgId) {
  const std::vector<VersionCase> cases = {
      {"7.0", "Excel.Application.5", true, ""},
      {"7.01", "Excel.Application", true, ""},
      {"8.0", "Excel.Application", true, ""},
      {"7.0", "Excel.Application", false,
       "CLSIDFromProgID(\"Excel.Application.5\", ...) failed with error 800401f3"},
      {"8.0", "Excel.Application.5", false,
       "CLSIDFromProgID(\"Excel.Application\", ...) failed with error 800401f3"},
  };
  ASSERT_FALSE(cases.empty());
  SimApplication* own = OwnHost();
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(std::string(c.version) + " with " + c.registered);
    host.SetVersion(c.version);
    ResetHostVersionCache();
    RegisterClass({c.registered});
    MakeActive(own);
    CXllCom bridge;
    EXPECT_EQ(Find(bridge), c.found ? 1 : 0);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(bridge.application, c.found ? static_cast<IDispatch*>(own) : nullptr);
    registration.Revoke();
  }
}

TEST_F(ApplicationLookup, TheOwnActiveHostIsFoundWithoutOpeningTheTable) {
  SimApplication* own = OwnHost();
  RegisterClass();
  MakeActive(own);
  const int resolutions = own->Resolutions("Application");
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 1);
  EXPECT_EQ(message, "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Probes(), 1);
  EXPECT_EQ(platform::ComCallCount(platform::ComCall::kCreateBindCtx), 0);
  // "Application" is resolved anew at every lookup.
  EXPECT_EQ(own->Resolutions("Application"), resolutions + 1);
  CXllCom again;
  EXPECT_EQ(Find(again), 1);
  EXPECT_EQ(own->Resolutions("Application"), resolutions + 2);
}

TEST_F(ApplicationLookup, ADecoyActiveHostIsSkippedAndTheOwnIsFoundInTheTable) {
  SimApplication* decoy = OtherHost();
  SimApplication* own = OwnHost();
  RegisterClass();
  MakeActive(decoy);
  EnterRunning(&own->Workbook(), "C:\\Books\\Book1.xls");
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 1);
  EXPECT_EQ(bridge.application, static_cast<IDispatch*>(own));
  EXPECT_EQ(message, "");
  EXPECT_EQ(status, 0);
  // The decoy ran the probe in its own process, which answered there and not here.
  EXPECT_EQ(decoy->macros, std::vector<std::string>{kProbeMacro});
  EXPECT_EQ(own->macros, std::vector<std::string>{kProbeMacro});
  EXPECT_EQ(Probes(), 1);
  EXPECT_EQ(bridge.probeArmed, 0);
}

TEST_F(ApplicationLookup, WithoutAnActiveObjectTheTableIsStillSearchedAndTheMessageStays) {
  SimApplication* own = OwnHost();
  RegisterClass();
  EnterRunning(&own->Range(), "C:\\Books\\Book1.xls");
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 1);
  EXPECT_EQ(bridge.application, static_cast<IDispatch*>(own));
  EXPECT_EQ(message, "GetActiveObject(\"Excel.Application\") failed with error 800401e3");
  EXPECT_EQ(status, 0);
}

TEST_F(ApplicationLookup, AnActiveObjectWithoutAutomationIsReportedAndSkipped) {
  SimApplication* own = OwnHost();
  RegisterClass();
  MakeActive(&plain);
  EnterRunning(&own->Workbook(), "C:\\Books\\Book1.xls");
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 1);
  EXPECT_EQ(message, "QueryInterface(IID_IDispatch) failed with error 80004002");
  registration.Revoke();
  EXPECT_EQ(plain.references(), 1u);  // what the lookup took, it gave back
}

TEST_F(ApplicationLookup, ATableOfStrangersEndsWithStatusOneAndTheGeneralMessage) {
  SimApplication* decoy = OtherHost();
  SimApplication* stranger = OtherHost();
  SimApplication* no_application = OwnHost();
  SimApplication* not_an_object = OwnHost();
  no_application->Workbook().RemoveMember("Application");
  not_an_object->Workbook().SetAnswer("Application", SimValue::Number(1));
  RegisterClass();
  MakeActive(decoy);
  EnterRunning(&plain, "C:\\Books\\Plain.xls");
  EnterRunning(&stranger->Workbook(), "C:\\Books\\Stranger.xls");
  EnterRunning(&no_application->Workbook(), "C:\\Books\\None.xls");
  EnterRunning(&not_an_object->Workbook(), "C:\\Books\\Number.xls");
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 0);
  EXPECT_EQ(bridge.application, nullptr);
  EXPECT_EQ(message, "Failed to find running application");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(decoy->macros.size(), 1u);
  EXPECT_EQ(stranger->macros.size(), 1u);
  EXPECT_EQ(Probes(), 0);
  EXPECT_TRUE(no_application->macros.empty());
  EXPECT_TRUE(not_an_object->macros.empty());
}

TEST_F(ApplicationLookup, NothingRunningKeepsTheFirstMessage) {
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 0);
  EXPECT_EQ(message, "CLSIDFromProgID(\"Excel.Application\", ...) failed with error 800401f3");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Probes(), 0);
}

TEST_F(ApplicationLookup, InitWithNothingToProbeRemovesTheCallbackAgain) {
  CXllCom bridge;
  std::string init_message;
  long init_status = 0;
  EXPECT_EQ(bridge.Init(init_message, init_status), 0);
  EXPECT_EQ(init_status, 1);
  EXPECT_EQ(app.FindFunction(kCheckInstanceName), nullptr);
}

struct TableFailureCase {
  platform::ComCall call;
  HRESULT code;
  const char* message;
};

TEST_F(ApplicationLookup, AFailingStepOfTheTableEndsTheSearch) {
  const std::vector<TableFailureCase> cases = {
      {platform::ComCall::kCreateBindCtx, E_OUTOFMEMORY,
       "CreateBindCtx() failed with error 8007000e"},
      {platform::ComCall::kGetRunningObjectTable, E_FAIL,
       "GetRunningObjectTable() failed with error 80004005"},
      {platform::ComCall::kEnumRunning, E_OUTOFMEMORY, "EnumRunning() failed with error 8007000e"},
      // Success codes other than S_OK end it as well.
      {platform::ComCall::kReset, S_FALSE, "Reset() failed with error 1"},
      // An enumerator error is the end of the table.
      {platform::ComCall::kNext, E_FAIL, "Failed to find running application"},
  };
  ASSERT_FALSE(cases.empty());
  SimApplication* own = OwnHost();
  RegisterClass();
  MakeActive(OtherHost());
  EnterRunning(&own->Workbook(), "C:\\Books\\Book1.xls");
  for (const TableFailureCase& c : cases) {
    SCOPED_TRACE(c.message);
    platform::SetComAnswer(c.call, c.code);
    CXllCom bridge;
    EXPECT_EQ(Find(bridge), 0);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(status, c.code);
    platform::ResetComAnswer(c.call);
  }
  EXPECT_TRUE(own->macros.empty());
}

TEST_F(ApplicationLookup, AnEntryThatCannotBeBoundIsSkipped) {
  SimApplication* own = OwnHost();
  RegisterClass();
  EnterRunning(&own->Workbook(), "C:\\Books\\Book1.xls");
  platform::SetComAnswer(platform::ComCall::kBindToObject, MK_E_UNAVAILABLE);
  CXllCom bridge;
  EXPECT_EQ(Find(bridge), 0);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(platform::ComCallCount(platform::ComCall::kBindToObject), 1);
}

TEST_F(ApplicationLookup, AProbeNeedsTheAddinsFileName) {
  SimApplication* own = OwnHost();
  host.SetAddinName("");  // the host cannot say
  CXllCom bridge;
  EXPECT_EQ(bridge.ProbeInstance(own), 0);
  EXPECT_TRUE(own->macros.empty());
  EXPECT_EQ(bridge.probeArmed, 0);
}

}  // namespace
