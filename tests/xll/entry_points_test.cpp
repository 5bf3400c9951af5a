// Tests of the entry points where the whole add-in cannot reach: a refused open, the failure
// text with an error code, and a library without an application object.
#include "xll/entry_points.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "test_record.h"
#include "xll/app.h"
#include "xll/xll_function.h"

namespace {

// An application that refuses to open and notes the hooks of the open.
class RefusingApp : public CXllApp {
 public:
  void OnBeforeOpen() override { hooks.push_back("OnBeforeOpen"); }
  int CanOpen() override {
    hooks.push_back("CanOpen");
    return 0;
  }
  std::vector<std::string> hooks;
};

TEST(XlAutoOpen, RefusedByCanOpenRegistersNothingAndStaysOpened) {
  FakeHost host;
  RefusingApp app;
  TestRecord conv("Conv", "Val", {});
  app.AddFunction(new CXllFunction(conv.record()));
  EXPECT_EQ(xlAutoOpen(), 0);
  EXPECT_EQ(app.hooks, (std::vector<std::string>{"OnBeforeOpen", "CanOpen"}));
  EXPECT_EQ(app.opened, 1);
  EXPECT_EQ(xlAutoOpen(), 1);
  EXPECT_EQ(app.hooks.size(), 2u);
  EXPECT_EQ(host.CountCalls(xlfRegister), 0);
}

TEST(ComFailureText, NamesTheCodeOnlyWhenThereIsOne) {
  EXPECT_EQ(ComFailureText("Failed to find running application", 0),
            "COM initialisation failed: Failed to find running application");
  EXPECT_EQ(ComFailureText("CoInitialize() failed", -2147221008L),
            "COM initialisation failed: CoInitialize() failed\nCOM error: -2147221008");
}

TEST(EntryPointsWithoutApp, AnswerSafely) {
  ASSERT_EQ(GetApp(), nullptr);
  FakeHost host;
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(&host);
  EXPECT_EQ(DllMain(instance, DLL_PROCESS_ATTACH, nullptr), TRUE);
  EXPECT_EQ(XllInstance(), instance);
  EXPECT_EQ(xlAutoOpen(), 0);
  EXPECT_EQ(xlAutoClose() + xlAutoAdd() + xlAutoRemove(), 3);
  EXPECT_EQ(DllMain(instance, DLL_PROCESS_DETACH, nullptr), TRUE);
  EXPECT_EQ(XllInstance(), nullptr);

  CXllValue action(1.0);
  XLOPER* answer = xlAddInManagerInfo(&action);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->xltype, xltypeErr | xlbitDLLFree);
  EXPECT_EQ(answer->val.err, xlerrValue);
  xlAutoFree(answer);
  EXPECT_TRUE(host.live.empty());
}

// The add-in manager's question without an action: a missing argument goes to the host, never
// the null pointer, and the answer is the error value.
TEST(XlAddInManagerInfo, NoActionIsAMissingArgument) {
  FakeHost host;
  RefusingApp app;
  XLOPER* answer = xlAddInManagerInfo(nullptr);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->xltype, xltypeErr | xlbitDLLFree);
  ASSERT_EQ(host.CountCalls(xlCoerce), 1);
  EXPECT_EQ(host.CallsOf(xlCoerce)[0].types, (std::vector<uint16_t>{xltypeMissing, xltypeInt}));
  xlAutoFree(answer);
  EXPECT_TRUE(host.live.empty());
}

}  // namespace
