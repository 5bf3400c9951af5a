// The simulated host's answers to the C API, called directly through Excel4v and Excel4.
#include "harness/host/sim_host.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/host/fake_addin.h"

namespace {
using fake_addin::Arguments;

std::string TextOf(const XLOPER& value) {
  return std::string(value.val.str + 1, static_cast<unsigned char>(value.val.str[0]));
}

// The argument list a worksheet function with three argument helps is registered with.
Arguments EchoRegistration(const std::string& function_text) {
  Arguments args;
  args.Text(fake_addin::kPath).Text("FakeEcho").Text("RBCC").Text(function_text);
  args.Text("Val,From,To").Text("1").Text("Fake Tools").Text("").Text("!0").Text("Help ");
  args.Text("= a number ").Text("= a text ").Text("= a text ");
  return args;
}

TEST(SimHost, AnswersOnlyWhileItLivesAndRestoresTheHostBefore) {
  XLOPER name{};
  EXPECT_EQ(Excel4v(xlGetName, &name, 0, nullptr), xlretFailed);
  {
    SimHost outer;
    outer.SetAddinName("outer.xll");
    {
      SimHost inner;
      inner.SetAddinName("inner.xll");
      ASSERT_EQ(Excel4v(xlGetName, &name, 0, nullptr), xlretSuccess);
      EXPECT_EQ(TextOf(name), "inner.xll");
      Excel4(xlFree, nullptr, 1, &name);
      EXPECT_EQ(outer.Trace().size(), 0u);
    }
    ASSERT_EQ(Excel4v(xlGetName, &name, 0, nullptr), xlretSuccess);
    EXPECT_EQ(TextOf(name), "outer.xll");
    Excel4(xlFree, nullptr, 1, &name);
  }
  EXPECT_EQ(Excel4v(xlGetName, &name, 0, nullptr), xlretFailed);
}

TEST(SimHost, RegistrationKeepsEveryArgumentAndHandsOutFreshIds) {
  SimHost host;
  XLOPER first{};
  XLOPER second{};
  ASSERT_EQ(EchoRegistration("FakeEcho").Call(xlfRegister, &first), xlretSuccess);
  ASSERT_EQ(EchoRegistration("OtherEcho").Call(xlfRegister, &second), xlretSuccess);
  ASSERT_EQ(first.xltype, xltypeNum);
  ASSERT_EQ(second.xltype, xltypeNum);
  EXPECT_GT(first.val.num, 0);
  EXPECT_NE(first.val.num, second.val.num);

  const RegisteredFunction* echo = host.FindFunction("fakeECHO");
  ASSERT_NE(echo, nullptr);
  EXPECT_EQ(echo->id, first.val.num);
  EXPECT_EQ(echo->module, fake_addin::kPath);
  EXPECT_EQ(echo->procedure, "FakeEcho");
  EXPECT_EQ(echo->type_text, "RBCC");
  EXPECT_EQ(echo->argument_text, "Val,From,To");
  EXPECT_EQ(echo->macro_type, 1);
  ASSERT_EQ(echo->arguments.size(), 13u);
  EXPECT_EQ(echo->arguments[6].text, "Fake Tools");
  EXPECT_EQ(echo->arguments[12].text, "= a text ");
  // No module is attached: the function is listed but nothing can be called.
  EXPECT_EQ(echo->address, nullptr);

  // The same function text again replaces the entry under a new id.
  XLOPER again{};
  EchoRegistration("FAKEECHO").Call(xlfRegister, &again);
  EXPECT_EQ(host.Functions().size(), 2u);
  EXPECT_NE(host.FindFunction("FakeEcho")->id, first.val.num);
}

TEST(SimHost, RefusesRegistrationsItCannotUnderstand) {
  SimHost host;
  struct Case {
    const char* what;
    Arguments args;
  };
  std::vector<Case> cases;
  cases.push_back({"two arguments", Arguments().Text("a.xll").Text("Proc")});
  cases.push_back({"number as procedure", Arguments().Text("a.xll").Number(1).Text("R")});
  cases.push_back({"macro type not a number",
                   Arguments().Text("a.xll").Text("P").Text("R").Text("P").Text("").Text("x")});
  ASSERT_FALSE(cases.empty());
  for (Case& c : cases) {
    XLOPER result{};
    EXPECT_EQ(c.args.Call(xlfRegister, &result), xlretSuccess) << c.what;
    EXPECT_EQ(result.xltype, xltypeErr) << c.what;
    EXPECT_EQ(result.val.err, xlerrValue) << c.what;
  }
  EXPECT_TRUE(host.Functions().empty());
}

TEST(SimHost, UnregistersByIdAndTakesTheHiddenRegistration) {
  SimHost host;
  XLOPER id{};
  EchoRegistration("FakeEcho").Call(xlfRegister, &id);
  XLOPER answer{};
  ASSERT_EQ(Arguments().Number(id.val.num).Call(xlfUnregister, &answer), xlretSuccess);
  EXPECT_EQ(answer.xltype, xltypeBool);
  EXPECT_EQ(answer.val.xbool, 1);
  EXPECT_EQ(host.FindFunction("FakeEcho"), nullptr);
  Arguments().Number(id.val.num).Call(xlfUnregister, &answer);
  EXPECT_EQ(answer.val.xbool, 0) << "an id is unregistered once";

  Arguments hidden;
  hidden.Text(fake_addin::kPath).Text("xlAutoRemove").Text("J").Text("FakeEcho");
  hidden.Add(xltypeMissing).Int(0);
  EXPECT_EQ(hidden.Call(xlfRegister, nullptr), xlretSuccess);
  const RegisteredFunction* entry = host.FindFunction("FakeEcho");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->macro_type, 0);
  EXPECT_EQ(entry->procedure, "xlAutoRemove");
  EXPECT_EQ(entry->argument_text, "");
  EXPECT_EQ(host.Trace().back().Line(),
            "xlfRegister(\"C:\\AddIns\\FAKE.xll\", \"xlAutoRemove\", \"J\", \"FakeEcho\", , 0) -> 0");
}

TEST(SimHost, TracesOneReadableLinePerCall) {
  SimHost host;
  host.SetAddinName(fake_addin::kPath);
  XLOPER result{};
  EchoRegistration("FakeEcho").Call(xlfRegister, &result);
  Excel4v(xlGetName, &result, 0, nullptr);
  Excel4(xlFree, nullptr, 1, &result);
  Arguments().Number(1).Call(9999, &result);
  const std::string expected =
      "xlfRegister(\"C:\\AddIns\\FAKE.xll\", \"FakeEcho\", \"RBCC\", \"FakeEcho\", "
      "\"Val,From,To\", \"1\", \"Fake Tools\", \"\", \"!0\", \"Help \", \"= a number \", "
      "\"= a text \", \"= a text \") -> 0 = 1\n"
      "xlGetName() -> 0 = \"C:\\AddIns\\FAKE.xll\"\n"
      "xlFree(\"C:\\AddIns\\FAKE.xll\") -> 0\n"
      "fn9999(1) -> 2\n";
  EXPECT_EQ(host.TraceText(), expected);
  EXPECT_EQ(host.CallsOf(xlFree).size(), 1u);
}

TEST(SimHost, CoercesToAnIntegerOrGivesTheErrorValue) {
  SimHost host;
  struct Case {
    const char* what;
    Arguments value;
    uint16_t type;  // of the result
    int payload;    // the integer, or the error code
  };
  std::vector<Case> cases;
  cases.push_back({"number 1", Arguments().Number(1), xltypeInt, 1});
  cases.push_back({"number 2.7 drops its fraction", Arguments().Number(2.7), xltypeInt, 2});
  cases.push_back({"text 1", Arguments().Text("1"), xltypeInt, 1});
  cases.push_back({"text with blanks", Arguments().Text(" -3 "), xltypeInt, -3});
  cases.push_back({"TRUE", Arguments().Bool(1), xltypeInt, 1});
  cases.push_back({"integer", Arguments().Int(7), xltypeInt, 7});
  cases.push_back({"text abc", Arguments().Text("abc"), xltypeErr, xlerrValue});
  cases.push_back({"empty text", Arguments().Text(""), xltypeErr, xlerrValue});
  cases.push_back({"too large", Arguments().Number(40000), xltypeErr, xlerrValue});
  cases.push_back({"missing", Arguments().Add(xltypeMissing), xltypeErr, xlerrValue});
  ASSERT_FALSE(cases.empty());
  for (Case& c : cases) {
    XLOPER result{};
    ASSERT_EQ(c.value.Int(xltypeInt).Call(xlCoerce, &result), xlretSuccess) << c.what;
    ASSERT_EQ(result.xltype, c.type) << c.what;
    EXPECT_EQ(c.type == xltypeInt ? result.val.w : result.val.err, c.payload) << c.what;
  }
  EXPECT_EQ(host.OutstandingAllocations(), 0u);
}

TEST(SimHost, CountsItsAllocationsAndCatchesBadFrees) {
  SimHost host;
  host.SetAddinName(fake_addin::kPath);
  host.SetVersion("5.0");
  XLOPER name{};
  XLOPER version{};
  Excel4v(xlGetName, &name, 0, nullptr);
  Arguments().Int(2).Call(xlfGetWorkspace, &version);
  ASSERT_EQ(version.xltype, xltypeStr) << "host-allocated results carry no ownership bit";
  EXPECT_EQ(TextOf(version), "5.0");
  EXPECT_EQ(host.OutstandingAllocations(), 2u);

  Excel4(xlFree, nullptr, 2, &name, &version);
  EXPECT_EQ(host.OutstandingAllocations(), 0u);
  EXPECT_EQ(host.FreeFaults(), 0u);

  Excel4(xlFree, nullptr, 1, &name);
  EXPECT_EQ(host.FreeFaults(), 1u);
  char own[] = "\3abc";
  XLOPER foreign{};
  foreign.xltype = xltypeStr;
  foreign.val.str = own;
  Excel4(xlFree, nullptr, 1, &foreign);
  ASSERT_EQ(host.FreeFaults(), 2u);
  EXPECT_NE(host.FreeFaultMessages()[0].find("already freed"), std::string::npos);
  EXPECT_NE(host.FreeFaultMessages()[1].find("never handed out"), std::string::npos);
  EXPECT_EQ(std::memcmp(own, "\3abc", 4), 0) << "a foreign block is left alone";

  // Freeing a value without a block is no fault.
  XLOPER number{};
  number.xltype = xltypeNum;
  Excel4(xlFree, nullptr, 1, &number);
  EXPECT_EQ(host.FreeFaults(), 2u);

  // What is still handed out when the host goes is released by it (the sanitizer build checks).
  Excel4v(xlGetName, &name, 0, nullptr);
  EXPECT_EQ(host.OutstandingAllocations(), 1u);
}

TEST(SimHost, GivesReturnCodesForCallsItCannotAnswer) {
  SimHost host;
  XLOPER value{};
  value.xltype = xltypeNum;
  XLOPER* null_arg[] = {nullptr};
  XLOPER* one_arg[] = {&value};
  struct Case {
    const char* what;
    int xlfn;
    int count;
    XLOPER** args;
    int code;
  };
  const Case cases[] = {
      {"unknown function number", 9999, 1, one_arg, xlretInvXlfn},
      {"negative count", xlfRegister, -1, one_arg, xlretInvCount},
      {"too many arguments", xlfRegister, 256, one_arg, xlretInvCount},
      {"no argument array", xlfRegister, 1, nullptr, xlretInvXloper},
      {"null argument", xlCoerce, 1, null_arg, xlretInvXloper},
      {"xlGetName takes no arguments", xlGetName, 1, one_arg, xlretInvCount},
      {"xlGetName without a name", xlGetName, 0, nullptr, xlretFailed},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    XLOPER result{};
    result.xltype = xltypeNum;
    result.val.num = 5;
    EXPECT_EQ(Excel4v(c.xlfn, &result, c.count, c.args), c.code) << c.what;
    EXPECT_EQ(result.val.num, 5) << c.what << ": a failed call leaves the result alone";
  }
}

TEST(SimHost, RecordsCommandsAndAnswersAsATestSets) {
  SimHost host;
  XLOPER result{};
  EXPECT_EQ(Arguments().Bool(0).Call(xlcEcho, &result), xlretSuccess);
  EXPECT_EQ(result.xltype, xltypeBool);
  EXPECT_EQ(Arguments().Text("Something failed").Number(3).Call(xlcAlert, &result), 0);
  EXPECT_EQ(host.Alerts(), std::vector<std::string>{"Something failed"});

  host.SetAnswer(xlcNew, xlretSuccess, HostValue::Error(xlerrValue));
  host.SetAnswer(xlcClose, xlretFailed, HostValue());
  EXPECT_EQ(Arguments().Bool(6).Call(xlcNew, &result), xlretSuccess);
  EXPECT_EQ(result.xltype, xltypeErr);
  EXPECT_EQ(Arguments().Bool(0).Call(xlcClose, &result), xlretFailed);
  host.ClearAnswer(xlcClose);
  EXPECT_EQ(Arguments().Bool(0).Call(xlcClose, &result), xlretSuccess);

  ASSERT_EQ(host.CallsOf(xlcClose).size(), 2u);
  EXPECT_EQ(host.CallsOf(xlcClose)[0].Line(), "xlcClose(FALSE) -> 32");
  EXPECT_EQ(host.CallsOf(xlcNew)[0].Line(), "xlcNew(TRUE(6)) -> 0 = #VALUE!");
}
}  // namespace
