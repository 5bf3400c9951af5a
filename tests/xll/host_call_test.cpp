// Tests of the host call layer: copies of host results, failures, argument passing, host queries.
#include "xll/host_call.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"

namespace {

constexpr int kSomeFunction = 300;  // a function number the fake host has no answer for

TEST(CallHost, SuccessCopiesTheAnswerAndReleasesTheHostsCopyOnce) {
  FakeHost host;
  host.answers[kSomeFunction] = [](FakeHost& h, XLOPER& r) {
    r.xltype = xltypeMulti;
    r.val.array.rows = 1;
    r.val.array.columns = 2;
    r.val.array.lparray = static_cast<XLOPER*>(h.Allocate(2 * sizeof(XLOPER)));
    r.val.array.lparray[0].xltype = xltypeStr;
    r.val.array.lparray[0].val.str = h.Text("J / mol / degK");
  };
  CXllValue result("old");
  CXllValue a(1.0), b("ft");
  EXPECT_EQ(CallHost(result, kSomeFunction, &a, &b), xlretSuccess);
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_EQ(host.calls[0].args[0], &a);
  EXPECT_EQ(host.calls[0].args[1], &b);
  EXPECT_EQ(host.calls[0].texts[1], "ft");
  EXPECT_EQ(host.CountCalls(xlFree), 1);
  EXPECT_EQ(host.calls[1].types[0], xltypeMulti);
  EXPECT_TRUE(host.live.empty());
  EXPECT_EQ(host.strayFrees, 0);
  EXPECT_EQ(result.xltype, xltypeMulti);
  EXPECT_EQ(result.At(0, 0)->ToText(), "J / mol / degK");
  EXPECT_EQ(result.At(0, 0)->xltype, xltypeStr);
}

TEST(CallHost, FailureLeavesTheResultAndPassesTheCodeThrough) {
  FakeHost host;
  host.failures[kSomeFunction] = xlretInvCount;
  CXllValue result(42.0);
  EXPECT_EQ(CallHost(result, kSomeFunction), xlretInvCount);
  EXPECT_EQ(result.ToNumber(), 42.0);
  EXPECT_EQ(host.CountCalls(xlFree), 0);
  EXPECT_TRUE(host.calls[0].noArgArray);

  // What a failing host wrote anyway is its own memory: released through xlFree, not by us.
  host.failures[xlGetName] = xlretFailed;
  EXPECT_EQ(XllName(), "");
  EXPECT_EQ(host.CountCalls(xlFree), 1);
  EXPECT_TRUE(host.live.empty());
}

TEST(CallHost, NoResultAndArrayForms) {
  FakeHost host;
  host.failures[xlfRegister] = xlretAbort;
  CXllValue values[3] = {CXllValue("MENSORA.xll"), CXllValue("Grav"), CXllValue("R")};
  EXPECT_EQ(CallHostNoResult(xlfRegister, &values[0], &values[1]), xlretAbort);
  EXPECT_FALSE(host.calls.back().wantsResult);
  EXPECT_EQ(host.calls.back().texts, (std::vector<std::string>{"MENSORA.xll", "Grav"}));

  CXllValue result;
  EXPECT_EQ(CallHostArray(result, kSomeFunction, 3, values), xlretSuccess);
  EXPECT_EQ(host.calls[1].texts, (std::vector<std::string>{"MENSORA.xll", "Grav", "R"}));
  EXPECT_EQ(host.calls[1].args[2], &values[2]);
  EXPECT_EQ(CallHostArray(result, kSomeFunction, 0, values), xlretSuccess);
  EXPECT_EQ(host.calls.back().xlfn, xlFree);
  EXPECT_TRUE(host.calls[host.calls.size() - 2].noArgArray);

  const std::size_t before = host.calls.size();
  EXPECT_EQ(CallHostArray(result, kSomeFunction, -1, values), xlretInvCount);
  EXPECT_EQ(CallHostArray(result, kSomeFunction, 2, nullptr), xlretInvCount);
  EXPECT_EQ(host.calls.size(), before);
}

TEST(HostQueries, VersionIsCachedAndAskedAgainAfterFailure) {
  FakeHost host;
  ResetHostVersionCache();
  host.failures[xlfGetWorkspace] = xlretFailed;
  EXPECT_EQ(HostVersion(), 0.0);
  host.failures.clear();
  host.version = "11.0";
  EXPECT_EQ(HostVersion(), 11.0);
  EXPECT_EQ(host.calls[0].types, std::vector<uint16_t>{xltypeInt});
  EXPECT_EQ(host.calls[0].texts, std::vector<std::string>{"2"});
  host.version = "5.0";
  EXPECT_EQ(HostVersion(), 11.0);
  EXPECT_EQ(host.CountCalls(xlfGetWorkspace), 2);
  ResetHostVersionCache();
  EXPECT_EQ(HostVersion(), 5.0);
  EXPECT_TRUE(host.live.empty());
}

TEST(CallHost, Version12GoesThroughTheHostProgramsEntryOnlyOnceFound) {
  FakeHost host;
  CXllValue12 name;
  // Not yet looked for (or not there): the call fails without reaching any host.
  platform::ConnectHost12();
  EXPECT_EQ(CallHost(name, xlGetName), xlretFailed);
  EXPECT_TRUE(host.calls.empty());

  host.offers12 = true;
  ASSERT_TRUE(platform::ConnectHost12());
  CXllValue12 text(std::string(u8"k\u03A9"));
  EXPECT_EQ(CallHostNoResult<CXllValue12>(kSomeFunction, &text), xlretSuccess);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_TRUE(host.calls[0].wide);
  EXPECT_EQ(host.calls[0].texts, std::vector<std::string>{u8"k\u03A9"});
  EXPECT_EQ(host.CountCalls(xlFree), 0);
}

TEST(HostQueries, MajorVersionIsTheLeadingWholeNumber) {
  struct Case {
    const char* text;
    int major;
  };
  const std::vector<Case> cases = {{"16.0", 16}, {"16,0", 16}, {"12", 12}, {" 11.5", 11},
                                   {"4.0", 4},   {"x", 0},     {"", 0}};
  ASSERT_FALSE(cases.empty());
  FakeHost host;
  for (const Case& c : cases) {
    ResetHostVersionCache();
    host.version = c.text;
    EXPECT_EQ(HostMajorVersion(), c.major) << '"' << c.text << '"';
  }
  EXPECT_TRUE(host.live.empty());
}

TEST(HostQueries, NameAndAlert) {
  FakeHost host;
  EXPECT_EQ(XllName(), "C:\\AddIns\\MENSORA.xll");
  EXPECT_EQ(host.calls[0].types.size(), 0u);

  EXPECT_EQ(HostAlert(std::string(300, 'm'), 3), 1);
  const HostCall& alert = host.calls[host.calls.size() - 2];
  ASSERT_EQ(alert.xlfn, xlcAlert);
  EXPECT_EQ(alert.texts[0], std::string(255, 'm'));
  EXPECT_EQ(alert.types[1], xltypeNum);
  EXPECT_EQ(alert.texts[1], "3.000000");

  host.failures[xlcAlert] = xlretFailed;
  EXPECT_EQ(HostAlert("COM initialisation failed: x", 3), 0);
  EXPECT_TRUE(host.live.empty());
}

}  // namespace
