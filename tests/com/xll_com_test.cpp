// The bridge's life: a real open with the own host found, the single-instance checks, every
// failure of Init with its message, and the echo and temporary-workbook measures around the
// lookup.
#include "com/xll_com.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/host/evaluator.h"
#include "platform/system.h"
#include "tests/com/bridge_fixture.h"
#include "tests/functions/refused_allocation.h"
#include "xll/host_call.h"
#include "xll/xll_function.h"

namespace {

class XllCom : public BridgeTest {
 protected:
  // Runs bridge's Init into message and status and returns its result. With refuse, every
  // allocation fails meanwhile; the message has room reserved, so writing it needs none.
  int Init(CXllCom& bridge, bool refuse = false) {
    message.reserve(128);
    RefuseAllocations(refuse);
    const int started = bridge.Init(message, status);
    RefuseAllocations(false);
    return started;
  }

  std::string message;
  long status = -1;
};

// The echo and workbook commands of the trace, each with its argument.
std::vector<std::string> EchoAndWorkbookCalls(const SimHost& host) {
  std::vector<std::string> calls;
  for (const TraceEntry& entry : host.Trace()) {
    if (entry.into_addin) continue;
    if (entry.xlfn == xlcEcho || entry.xlfn == xlcNew || entry.xlfn == xlcClose) {
      calls.push_back(entry.name + "(" + entry.arguments.at(0) + ")");
    }
  }
  return calls;
}

TEST_F(XllCom, OpenFindsTheOwnActiveHostWithOneProbeAndRegistersTheCallback) {
  SimApplication* own = OwnHost();
  RegisterClass();
  MakeActive(own);

  ASSERT_EQ(session.Open(), 1);
  ASSERT_NE(app.com, nullptr);
  EXPECT_EQ(ComInstance, app.com);
  EXPECT_EQ(app.com->application, static_cast<IDispatch*>(own));
  EXPECT_EQ(app.com->app, &app);
  EXPECT_EQ(Probes(), 1) << host.TraceText();
  EXPECT_EQ(own->macros, std::vector<std::string>{kProbeMacro});
  // The active object passed: the running object table was never opened.
  EXPECT_EQ(platform::ComCallCount(platform::ComCall::kCreateBindCtx), 0);
  EXPECT_EQ(platform::ComCallCount(platform::ComCall::kGetRunningObjectTable), 0);
  EXPECT_EQ(platform::ComInitDepth(), 0);

  EXPECT_EQ(EchoAndWorkbookCalls(host),
            (std::vector<std::string>{"xlcEcho(FALSE)", "xlcNew(TRUE(6))", "xlcClose(FALSE)",
                                      "xlcEcho(TRUE)"}));
  // The echo is back on before anything is registered.
  const std::vector<std::string> calls = HostCallNames();
  std::size_t last_echo = 0;
  std::size_t first_register = calls.size();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i] == "xlcEcho") last_echo = i;
    if (calls[i] == "xlfRegister" && first_register == calls.size()) first_register = i;
  }
  EXPECT_LT(last_echo, first_register);

  // The callback is registered as a hidden helper command beside the seven functions.
  ASSERT_EQ(host.Functions().size(), 8u);
  const RegisteredFunction* check = nullptr;
  for (const RegisteredFunction& function : host.Functions()) {
    if (function.procedure == "xlCheckInstance") check = &function;
  }
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check->type_text, "J");
  EXPECT_EQ(check->macro_type, 2);
  ASSERT_EQ(check->arguments.size(), 8u);
  EXPECT_EQ(check->arguments[6].text, "Private Macros");
  EXPECT_NE(check->address, nullptr);
  for (const char* name : {"Mensora", "ToMetric", "FromMetric", "ShowMetric", "ShowCommonMetric",
                           "Grav", "GasConst"}) {
    EXPECT_NE(host.FindFunction(name), nullptr) << name;
  }
  // The host can run it as the command it is; with the bridge no longer armed it changes nothing.
  int answer = 0;
  ASSERT_TRUE(RunCommand(host, kCheckInstanceName, &answer));
  EXPECT_EQ(answer, 1);

  // Unloading stops the bridge.
  session.Unload();
  EXPECT_EQ(app.com, nullptr);
  EXPECT_EQ(ComInstance, nullptr);
}

TEST_F(XllCom, WithoutAnyHostToFindTheOpenStillRegistersTheSevenFunctions) {
  ASSERT_EQ(session.Open(), 1);
  EXPECT_EQ(app.com, nullptr);
  EXPECT_EQ(ComInstance, nullptr);
  EXPECT_EQ(Probes(), 0);
  EXPECT_EQ(app.FindFunction(kCheckInstanceName), nullptr);
  EXPECT_EQ(host.Functions().size(), 7u);
  EXPECT_EQ(RenderEvaluation(EvaluateFormula(host, "=Mensora(1,\"ft\",\"in\")")), "12");
}

TEST_F(XllCom, ASecondBridgeFailsAndLeavesTheFirstInPlace) {
  RegisterClass();
  MakeActive(OwnHost());
  ASSERT_EQ(session.Open(), 1);
  CXllCom* first = app.com;
  ASSERT_NE(first, nullptr);

  {
    CXllCom second;
    EXPECT_EQ(Init(second), 0);
    EXPECT_EQ(message, "An instance of CXllCom has already been created");
    EXPECT_EQ(status, 0);
  }
  EXPECT_EQ(ComInstance, first);

  long code = -1;
  EXPECT_EQ(app.StartCom(message, code), 0);
  EXPECT_EQ(message, "An instance of CXllCom has already been created");
  EXPECT_EQ(app.com, first);
  EXPECT_EQ(ComInstance, first);

  // The first still answers its probes.
  first->probeAnswered = 0;
  first->probeArmed = 1;
  int answer = 0;
  ASSERT_TRUE(RunCommand(host, kCheckInstanceName, &answer));
  EXPECT_EQ(first->probeAnswered, 1);
  first->probeArmed = 0;
}

TEST_F(XllCom, InitTwiceOnOneBridgeFailsTheSecondTime) {
  RegisterClass();
  MakeActive(OwnHost());
  CXllCom bridge;
  ASSERT_EQ(Init(bridge), 1) << message;
  EXPECT_EQ(Init(bridge), 0);
  EXPECT_EQ(message, "Init() has already been called");
}

TEST_F(XllCom, InitWithoutAnApplicationObject) {
  { CXllApp gone; }  // the application made last is gone: GetApp answers nothing
  ASSERT_EQ(GetApp(), nullptr);
  CXllCom bridge;
  EXPECT_EQ(Init(bridge), 0);
  EXPECT_EQ(message, "No CXllApp instance found");
  EXPECT_EQ(platform::ComCallCount(platform::ComCall::kCoInitialize), 0);
}

TEST_F(XllCom, InitStopsWhenCoInitializeFails) {
  platform::SetComAnswer(platform::ComCall::kCoInitialize, RPC_E_CHANGED_MODE);
  CXllCom bridge;
  EXPECT_EQ(Init(bridge), 0);
  EXPECT_EQ(message, "CoInitialize() failed");
  EXPECT_EQ(app.FindFunction(kCheckInstanceName), nullptr);
  EXPECT_TRUE(host.Trace().empty()) << host.TraceText();
}

TEST_F(XllCom, AlreadyInitialisedComIsBalancedAsWell) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);  // the host thread's own initialisation
  platform::SetComAnswer(platform::ComCall::kCoInitialize, S_FALSE);
  RegisterClass();
  MakeActive(OwnHost());
  CXllCom bridge;
  EXPECT_EQ(Init(bridge), 1) << message;
  EXPECT_EQ(platform::ComInitDepth(), 1);
  CoUninitialize();
}

TEST_F(XllCom, InitFailsWhenTheCallbackCannotBeAdded) {
  CXllCom bridge;
  EXPECT_EQ(Init(bridge, true), 0);
  EXPECT_EQ(message, "InitCheckInstance() failed to register callback");
  EXPECT_EQ(app.FindFunction(kCheckInstanceName), nullptr);
  EXPECT_TRUE(host.Trace().empty()) << host.TraceText();
}

TEST_F(XllCom, InitCheckInstanceAddsTheCallbackOnce) {
  CXllCom bridge;
  bridge.app = &app;
  ASSERT_EQ(bridge.InitCheckInstance(), 1);
  CXllFunction* callback = app.FindFunction(kCheckInstanceName);
  ASSERT_NE(callback, nullptr);
  EXPECT_EQ(callback->procedure, "xlCheckInstance");
  EXPECT_EQ(callback->typeText, "J");
  EXPECT_EQ(callback->argumentText, "");
  EXPECT_EQ(callback->macroType, 2);
  EXPECT_EQ(callback->category, "Private Macros");
  EXPECT_EQ(callback->functionHelp,
            "Implementation function used by library initialisation routines");
  EXPECT_TRUE(callback->argumentHelp.empty());
  EXPECT_EQ(bridge.InitCheckInstance(), 1);
  EXPECT_EQ(app.FindFunction(kCheckInstanceName), callback);
  bridge.app = nullptr;
}

// What the host's echo and workbook commands answer, and what Init makes of it.
struct HostMeasureCase {
  const char* name;
  int xlfn;
  int code;
  HostValue answer;
  const char* message;
  std::vector<std::string> calls;  // the echo and workbook commands, in order
  bool lookedUp;
};

TEST_F(XllCom, FailedHostMeasuresStopInitWithTheirMessage) {
  const std::vector<HostMeasureCase> cases = {
      {"echo refused",
       xlcEcho,
       xlretFailed,
       HostValue(),
       "InitExcelOleFix() failed to switch off workbook echo with error 32",
       {"xlcEcho(FALSE)"},
       false},
      // Echo stays off no longer than the failed start: it is switched back on at once.
      {"workbook refused",
       xlcNew,
       xlretAbort,
       HostValue(),
       "InitExcelOleFix() failed to create new workbook with error 1",
       {"xlcEcho(FALSE)", "xlcNew(TRUE(6))", "xlcEcho(TRUE)"},
       false},
      {"workbook answered an error value",
       xlcNew,
       xlretSuccess,
       HostValue::Error(xlerrValue),
       "InitExcelOleFix() failed to create new workbook with error 0",
       {"xlcEcho(FALSE)", "xlcNew(TRUE(6))", "xlcEcho(TRUE)"},
       false},
      // The host application was found, but the workbook could not be closed.
      {"close refused",
       xlcClose,
       xlretFailed,
       HostValue(),
       "TermExcelOleFix() failed to close temporary workbook with error 32",
       {"xlcEcho(FALSE)", "xlcNew(TRUE(6))", "xlcClose(FALSE)", "xlcEcho(TRUE)"},
       true},
  };
  ASSERT_FALSE(cases.empty());
  RegisterClass();
  MakeActive(OwnHost());
  for (const HostMeasureCase& c : cases) {
    SCOPED_TRACE(c.name);
    host.ClearTrace();
    host.SetAnswer(c.xlfn, c.code, c.answer);
    const int lookups = platform::ComCallCount(platform::ComCall::kCLSIDFromProgID);
    {
      CXllCom bridge;
      EXPECT_EQ(Init(bridge), 0);
      EXPECT_EQ(message, c.message);
      EXPECT_EQ(status, 0);
      EXPECT_EQ(EchoAndWorkbookCalls(host), c.calls);
      EXPECT_EQ(bridge.echoOff, 0);
      EXPECT_EQ(bridge.tempWorkbook, 0);
      EXPECT_EQ(platform::ComCallCount(platform::ComCall::kCLSIDFromProgID) > lookups, c.lookedUp);
      // A probed host leaves the callback for registration; without a probe it goes again.
      EXPECT_EQ(app.FindFunction(kCheckInstanceName) != nullptr, c.lookedUp);
      EXPECT_EQ(platform::ComInitDepth(), 0);
    }
    app.RemoveFunction(kCheckInstanceName);
    host.ClearAnswer(c.xlfn);
  }
}

// TermExcelOleFix with the measures a start left, and the host's answers to undoing them.
struct TeardownCase {
  const char* name;
  int tempWorkbook;
  int echoOff;
  int failing;  // the command the host refuses, or 0
  int succeeded;
  const char* message;
  std::vector<int> commands;
};

TEST_F(XllCom, TermExcelOleFixUndoesWhatWasDoneAndClearsBothFlags) {
  const std::vector<TeardownCase> cases = {
      {"nothing to undo", 0, 0, 0, 1, "", {}},
      {"both", 1, 1, 0, 1, "", {xlcClose, xlcEcho}},
      {"echo only", 0, 1, 0, 1, "", {xlcEcho}},
      {"echo refused",
       0,
       1,
       xlcEcho,
       0,
       "TermExcelOleFix() failed to restore echo with error 32",
       {xlcEcho}},
      {"close refused",
       1,
       1,
       xlcClose,
       0,
       "TermExcelOleFix() failed to close temporary workbook with error 32",
       {xlcClose, xlcEcho}},
  };
  ASSERT_FALSE(cases.empty());
  for (const TeardownCase& c : cases) {
    SCOPED_TRACE(c.name);
    host.ClearTrace();
    if (c.failing) host.SetAnswer(c.failing, xlretFailed, HostValue());
    CXllCom bridge;
    bridge.tempWorkbook = c.tempWorkbook;
    bridge.echoOff = c.echoOff;
    message.clear();
    EXPECT_EQ(bridge.TermExcelOleFix(message), c.succeeded);
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(bridge.tempWorkbook, 0);
    EXPECT_EQ(bridge.echoOff, 0);
    std::vector<int> commands;
    for (const TraceEntry& entry : host.Trace()) {
      if (entry.xlfn != xlFree) commands.push_back(entry.xlfn);
    }
    EXPECT_EQ(commands, c.commands);
    if (c.failing) host.ClearAnswer(c.failing);
  }
}

TEST_F(XllCom, BothTeardownFailuresReportTheEchoLast) {
  host.SetAnswer(xlcClose, xlretFailed, HostValue());
  host.SetAnswer(xlcEcho, xlretAbort, HostValue());
  CXllCom bridge;
  bridge.tempWorkbook = 1;
  bridge.echoOff = 1;
  EXPECT_EQ(bridge.TermExcelOleFix(message), 0);
  EXPECT_EQ(message, "TermExcelOleFix() failed to restore echo with error 1");
}

TEST_F(XllCom, TermReleasesTheApplicationOnce) {
  SimApplication* own = OwnHost();
  RegisterClass();
  MakeActive(own);
  CXllCom bridge;
  ASSERT_EQ(Init(bridge), 1);
  const ULONG held = own->AddRef() - 1;
  own->Release();
  bridge.Term();
  EXPECT_EQ(bridge.application, nullptr);
  EXPECT_EQ(bridge.app, nullptr);
  EXPECT_EQ(own->AddRef(), held);  // one reference fewer, plus the one just taken
  own->Release();
  bridge.Term();  // a second Term has nothing left to release
  EXPECT_EQ(own->AddRef(), held);
  own->Release();
}

}  // namespace
