// Tests of one function's registration: what xlfRegister receives, the id, and unregistering.
#include "xll/xll_function.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "test_record.h"
#include "xll/app.h"

namespace {

constexpr char kModule[] = "C:\\AddIns\\MENSORA.xll";

std::vector<std::string> Helps(int count) {
  std::vector<std::string> helps;
  for (int i = 1; i <= count; ++i) helps.push_back("help " + std::to_string(i));
  return helps;
}

// Registers function with a fresh fake host of the given version; the xlfRegister call made.
HostCall RegisterCall(CXllFunction& function, double version = 16.0) {
  FakeHost host;
  AnswerRegisterWithIds(host);
  CXllValue module(kModule);
  CXllValue result;
  function.Register(module, version, result);
  EXPECT_TRUE(host.live.empty());
  const std::vector<HostCall> calls = host.CallsOf(xlfRegister);
  return calls.size() == 1 ? calls[0] : HostCall{};
}

TEST(CXllFunction, NullTextsAndHelpRunGiveEmptyValues) {
  const RegistrationRecord bare{nullptr, nullptr, nullptr, nullptr, nullptr, 2,
                                nullptr, nullptr, 0,       nullptr, nullptr};
  const CXllFunction function(bare);
  EXPECT_EQ(function.procedure + function.typeText + function.functionText +
                function.argumentText + function.category + function.shortcutText +
                function.functionHelp,
            "");
  EXPECT_TRUE(function.argumentHelp.empty());
}

TEST(CXllFunctionRegister, ArgumentCountFollowsHelpsArgumentTextAndVersion) {
  struct Case {
    const char* argumentText;
    int helps;
    double version;
    std::size_t count;
  };
  const std::vector<Case> cases = {
      {"Val,Units", 3, 16.0, 13}, {"Val,Units", 0, 16.0, 10}, {"", 3, 16.0, 8},
      {"Val,Units", 20, 16.0, 30}, {"Val,Units", 25, 16.0, 30}, {"Val,Units", 3, 5.0, 13},
      {"Val,Units", 3, 4.0, 8},
      {"Val,Units", 3, 0.0, 8},  // a host that cannot tell its version counts as old
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    TestRecord conv("Conv", c.argumentText, Helps(c.helps));
    CXllFunction function(conv.record());
    EXPECT_EQ(RegisterCall(function, c.version).args.size(), c.count)
        << '"' << c.argumentText << "\", " << c.helps << " helps, version " << c.version;
  }
}

TEST(CXllFunctionRegister, HelpTopicAndEmptyFunctionHelp) {
  // An empty text ends the help run early.
  TestRecord conv("Conv", "Val,Units", {"= the value", "", "= never read"});
  conv.record().helpContextId = 12;
  conv.record().functionHelp = "";
  CXllApp app;
  app.helpFile = "MENSORA.HLP";
  CXllFunction function(conv.record());
  function.owner = &app;
  const HostCall call = RegisterCall(function);
  ASSERT_EQ(call.texts.size(), 11u);
  EXPECT_EQ(call.texts[8], "MENSORA.HLP!12");
  EXPECT_EQ(call.texts[9], " ");
  EXPECT_EQ(call.texts[10], "= the value ");
}

TEST(CXllFunctionRegister, HelpListIsCutAtTwenty) {
  TestRecord twenty_five("Conv", "Val", Helps(25));
  CXllFunction cut(twenty_five.record());
  HostCall call = RegisterCall(cut);
  ASSERT_EQ(call.texts.size(), 30u);
  EXPECT_EQ(call.texts[28], "help 19 ");
  EXPECT_EQ(call.texts[29], "No description available");

  TestRecord twenty("Conv", "Val", Helps(20));
  CXllFunction whole(twenty.record());
  call = RegisterCall(whole);
  ASSERT_EQ(call.texts.size(), 30u);
  EXPECT_EQ(call.texts[29], "help 20 ");
}

TEST(CXllFunctionRegister, CategoryGoesAsTheHostsNumberOrAsText) {
  struct Case {
    const char* category;
    uint16_t type;
    const char* text;  // as the fake host reads the value
  };
  const std::vector<Case> cases = {
      {"Financial", xltypeInt, "1"}, {"User Defined", xltypeInt, "14"},
      {"TEXT", xltypeInt, "7"},      {"math & TRIG", xltypeInt, "3"},
      {"7", xltypeInt, "7"},         {"14 and more", xltypeInt, "14"},
      {"Mensora", xltypeStr, "Mensora"}, {"", xltypeStr, ""},
      {"-1", xltypeStr, "-1"},       {"0", xltypeStr, "0"},
      {"Text ", xltypeStr, "Text "},  // names match exactly but for case
      {"40000", xltypeStr, "40000"},  // too big for 16 bits: sent as written, not wrapped round
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    TestRecord conv("Conv", "Val", {}, c.category);
    CXllFunction function(conv.record());
    const HostCall call = RegisterCall(function);
    ASSERT_GE(call.types.size(), 7u) << c.category;
    EXPECT_EQ(call.types[6], c.type) << c.category;
    EXPECT_EQ(call.texts[6], c.text) << c.category;
  }
}

TEST(CXllFunctionRegister, KeepsTheIdOnlyWhenTheAnswerIsANumber) {
  TestRecord conv("Conv", "Val", {});
  CXllFunction function(conv.record());
  CXllValue module(kModule);
  FakeHost host;
  AnswerRegisterWithIds(host);
  CXllValue result;
  function.Register(module, 16.0, result);
  EXPECT_EQ(function.registerId, 1.0);

  // A failed call leaves no id, even when the result held a number before, but the function
  // counts as registered all the same.
  host.failures[xlfRegister] = xlretFailed;
  result.SetNumber(99.0);
  function.registered = 0;
  function.Register(module, 16.0, result);
  EXPECT_EQ(function.registerId, 0.0);
  EXPECT_EQ(function.registered, 1);
  EXPECT_TRUE(host.live.empty());
}

TEST(CXllFunctionUnregister, RemovesIdAndNameThenHidesTheName) {
  TestRecord conv("Conv", "Val", {});
  CXllFunction function(conv.record());
  FakeHost host;
  function.registered = 1;
  function.registerId = 7.0;
  function.Unregister();
  EXPECT_EQ(function.registered, 0);
  EXPECT_EQ(function.registerId, 0.0);

  EXPECT_EQ(host.CallsOf(xlfUnregister).at(0).texts, std::vector<std::string>{"7.000000"});
  EXPECT_EQ(host.CallsOf(xlfSetName).at(0).texts, std::vector<std::string>{"Conv"});
  const HostCall hidden = host.CallsOf(xlfRegister).at(0);
  EXPECT_FALSE(hidden.wantsResult);
  EXPECT_EQ(hidden.texts,
            (std::vector<std::string>{kModule, "xlAutoRemove", "J", "Conv", "", "0"}));
  EXPECT_EQ(hidden.types, (std::vector<uint16_t>{xltypeStr, xltypeStr, xltypeStr, xltypeStr,
                                                 xltypeMissing, xltypeInt}));

  // Without an id only xlfUnregister is left out.
  host.calls.clear();
  function.registered = 1;
  function.Unregister();
  EXPECT_EQ(host.CountCalls(xlfUnregister), 0);
  EXPECT_EQ(host.CountCalls(xlfSetName), 1);
  EXPECT_EQ(host.CountCalls(xlfRegister), 1);
  EXPECT_TRUE(host.live.empty());
}

}  // namespace
