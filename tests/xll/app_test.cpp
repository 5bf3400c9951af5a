// Tests of the application object: its function map, registering and unregistering what needs
// it, attach, and the event hooks without macros.
#include "xll/app.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_host.h"
#include "platform/system.h"
#include "test_record.h"
#include "xll/host_call.h"
#include "xll/xll_function.h"

namespace {

// The first argument of each call, as the fake host read it.
std::vector<std::string> FirstArguments(const std::vector<HostCall>& calls) {
  std::vector<std::string> texts;
  for (const HostCall& call : calls) texts.push_back(call.texts.at(0));
  return texts;
}

// Puts the records on RegistrationList, in this order from the head, while it lives.
class RecordList {
 public:
  explicit RecordList(const std::vector<TestRecord*>& records) : saved_(RegistrationList) {
    RegistrationList = nullptr;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
      RecordRegistrar link(&(*it)->record());
    }
  }
  ~RecordList() { RegistrationList = saved_; }

 private:
  RegistrationRecord* saved_;
};

TEST(GetApp, IsTheApplicationMadeLastUntilItIsDestroyed) {
  auto first = std::make_unique<CXllApp>();
  EXPECT_EQ(GetApp(), first.get());
  {
    CXllApp second;
    EXPECT_EQ(GetApp(), &second);
  }
  EXPECT_EQ(GetApp(), nullptr);
}

TEST(CXllAppFunctions, AddReplacesANamesakeAndFindComparesBytes) {
  CXllApp app;
  EXPECT_EQ(app.AddFunction(nullptr), 0);
  TestRecord first("Conv", "Val", {});
  TestRecord second("Conv", "Val,Units", {});
  auto* newer = new CXllFunction(second.record());
  EXPECT_EQ(app.AddFunction(new CXllFunction(first.record())), 1);
  // The older one is deleted: the sanitizer build reports a leak otherwise.
  EXPECT_EQ(app.AddFunction(newer), 1);
  ASSERT_EQ(app.functions.size(), 1u);
  EXPECT_EQ(app.FindFunction("Conv"), newer);
  EXPECT_EQ(newer->owner, &app);
  // Adding the function already filed keeps it alive.
  EXPECT_EQ(app.AddFunction(newer), 1);
  EXPECT_EQ(app.FindFunction("Conv")->argumentText, "Val,Units");
  EXPECT_EQ(app.FindFunction("conv"), nullptr);
}

TEST(CXllAppFunctions, LoadsEveryRecordAndTheLastOfTwoNamesakesWins) {
  TestRecord conv("Conv", "Val", {});
  TestRecord first("Alpha", "A", {});
  TestRecord last("Alpha", "B", {});
  RecordList list({&first, &conv, &last});
  CXllApp app;
  EXPECT_EQ(app.LoadRegistrationRecords(), 3);
  ASSERT_EQ(app.functions.size(), 2u);
  EXPECT_EQ(app.FindFunction("Alpha")->argumentText, "B");
}

TEST(CXllAppFunctions, RemoveUnregistersOnlyARegisteredFunction) {
  TestRecord conv("Conv", "Val", {});
  TestRecord grav("Grav", "", {});
  RecordList list({&conv, &grav});
  CXllApp app;
  app.LoadRegistrationRecords();
  app.FindFunction("Conv")->registered = 1;
  FakeHost host;
  app.RemoveFunction("Conv");
  EXPECT_EQ(app.FindFunction("Conv"), nullptr);
  EXPECT_EQ(host.CountCalls(xlfSetName), 1);

  host.calls.clear();
  app.RemoveFunction("Grav");
  app.RemoveFunction("Missing");
  EXPECT_TRUE(app.functions.empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST(CXllAppRegistration, VisitsNamesInAscendingOrderAndOnlyThoseThatNeedIt) {
  TestRecord to("ToMetric", "Val", {});
  TestRecord grav("Grav", "", {});
  TestRecord from("FromMetric", "Val", {});
  TestRecord lower("conv", "Val", {});  // lower case sorts after every capital
  RecordList list({&to, &grav, &from, &lower});
  CXllApp app;
  app.LoadRegistrationRecords();
  app.FindFunction("Grav")->registered = 1;

  FakeHost host;
  ResetHostVersionCache();
  AnswerRegisterWithIds(host);
  app.RegisterAll();
  EXPECT_EQ(host.calls.at(0).xlfn, xlfGetWorkspace);
  EXPECT_EQ(host.CountCalls(xlGetName), 1);
  std::vector<std::string> registered;
  for (const HostCall& call : host.CallsOf(xlfRegister)) registered.push_back(call.texts.at(3));
  EXPECT_EQ(registered, (std::vector<std::string>{"FromMetric", "ToMetric", "conv"}));

  // Unregistering skips what is not registered; Grav has no id to unregister by.
  host.calls.clear();
  app.FindFunction("ToMetric")->registered = 0;
  app.UnregisterAll();
  EXPECT_EQ(FirstArguments(host.CallsOf(xlfSetName)),
            (std::vector<std::string>{"FromMetric", "Grav", "conv"}));
  EXPECT_EQ(FirstArguments(host.CallsOf(xlfUnregister)),
            (std::vector<std::string>{"1.000000", "3.000000"}));
  EXPECT_TRUE(host.live.empty());
}

TEST(CXllAppRegistration, Version12HostsGetTheWideFormWhereAFunctionHasOne) {
  TestRecord conv("Conv", "Val", {"= the value"});
  conv.record().procedure12 = "Conv12";
  conv.record().typeText12 = "QBD%$";
  TestRecord command("Probe", "", {});  // no version 12 form: registered as everywhere
  RecordList list({&conv, &command});

  struct Case {
    const char* version;
    bool offers12;
    bool wide;
  };
  const std::vector<Case> cases = {
      {"16.0", true, true},  {"12.0", true, true},    {"16,0", true, true},
      {"11.0", true, false},  // an older host, whatever its program exports
      {"16.0", false, false},  // no MdCallBack12: the interface of every version
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version) + (c.offers12 ? " with" : " without") + " the entry");
    CXllApp app;
    app.LoadRegistrationRecords();
    FakeHost host;
    AnswerRegisterWithIds(host);
    host.version = c.version;
    host.offers12 = c.offers12;
    ResetHostVersionCache();
    app.ChooseInterface();
    EXPECT_EQ(app.interface12, c.wide ? 1 : 0);
    app.RegisterAll();
    const std::vector<HostCall> registrations = host.CallsOf(xlfRegister);
    ASSERT_EQ(registrations.size(), 2u);
    for (const HostCall& call : registrations) EXPECT_EQ(call.wide, c.wide);
    EXPECT_EQ(registrations[0].texts.at(1), c.wide ? "Conv12" : "Conv");
    EXPECT_EQ(registrations[0].texts.at(2), c.wide ? "QBD%$" : "RBC");
    EXPECT_EQ(registrations[0].texts.at(10), "= the value ");
    EXPECT_EQ(registrations[1].texts.at(1), "Probe");
    EXPECT_EQ(registrations[0].texts.at(0), host.name);

    // Removal goes through the interface each function was registered through.
    host.calls.clear();
    app.UnregisterAll();
    for (const HostCall& call : host.calls) EXPECT_EQ(call.wide, c.wide) << call.xlfn;
    EXPECT_EQ(host.CountCalls(xlfUnregister), 2);
    EXPECT_TRUE(host.live.empty());
  }
}

TEST(CXllAppLife, AttachTakesTheModuleFileNameWhenTheSystemHasOne) {
  CXllApp app;
  platform::SetModuleFileName("C:\\AddIns\\MENSORA.xll");
  EXPECT_EQ(app.OnAttach(), 1);
  EXPECT_EQ(app.modulePath, "C:\\AddIns\\MENSORA.xll");
  EXPECT_EQ(app.title, "XLL C:\\AddIns\\MENSORA.xll");

  CXllApp unnamed;
  platform::SetModuleFileName("");
  EXPECT_EQ(unnamed.OnAttach(), 1);
  EXPECT_EQ(unnamed.modulePath, "");
  EXPECT_EQ(unnamed.title, "XLL ");
  platform::SetModuleFileName(nullptr);
}

TEST(CXllAppEvents, WithoutAMacroAHookAnswersZeroAndCallsNothing) {
  CXllApp app;
  FakeHost host;
  app.eventMacros[19] = "Last";
  EXPECT_EQ(app.EventMacro(19), "Last");
  EXPECT_EQ(app.EventMacro(20), "");
  EXPECT_EQ(app.EventMacro(-1), "");
  IDispatch* object = reinterpret_cast<IDispatch*>(&app);  // never looked at without a macro
  EXPECT_EQ(app.OnSheetActivate(object), 0);
  EXPECT_EQ(app.OnWorkbookBeforeSave(object, 1), 0);
  EXPECT_EQ(app.OnSheetBeforeDoubleClick(object, object), 0);
  EXPECT_TRUE(host.calls.empty());
}

}  // namespace
