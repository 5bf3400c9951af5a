// The host's automation model: macro runs that reach the loaded add-in (or, for another
// process's host, do not), the objects behind the application, and one life for all of them.
#include "harness/host/automation_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/fake_addin.h"

namespace {

// Reads member of object through IDispatch as a VARIANT (caller clears it); the arguments are
// in the call's array order.
HRESULT Read(IDispatch* object, const wchar_t* member, VARIANT* result,
             std::vector<VARIANT> arguments = {}, WORD flags = DISPATCH_PROPERTYGET) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT code = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(code)) return code;
  DISPPARAMS parameters = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  VariantInit(result);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr,
                        nullptr);
}

VARIANT Text(const std::string& text) {
  VARIANT value;
  SimValue::Text(text).ToVariant(&value);
  return value;
}

// Runs macro text on application; returns what it answered, as the trace shows values.
std::string RunMacro(IDispatch* application, const std::string& text) {
  VARIANT argument = Text(text);
  VARIANT result;
  const HRESULT code = Read(application, L"ExecuteExcel4Macro", &result, {argument});
  VariantClear(&argument);
  const std::string shown = FAILED(code) ? "failed" : VariantText(result);
  VariantClear(&result);
  return shown;
}

TEST(SimApplication, ACallMacroRunsTheProcedureOfTheLoadedAddin) {
  fake_addin::OpenedFake fake;
  SimApplication* application = SimApplication::Create(&fake.host);
  const std::string call = std::string("CALL(\"") + fake_addin::kPath + "\",\"FakeCommand\",\"j\")";
  EXPECT_EQ(RunMacro(application, call), "41");
  EXPECT_EQ(fake_addin::state().command_runs, 1);
  const std::vector<TraceEntry>& trace = fake.host.Trace();
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[trace.size() - 2].Line(), "add-in: FakeCommand() = 41");
  EXPECT_EQ(trace.back().Line(), "automation: ExecuteExcel4Macro(\"" + call + "\") = 41");

  // What it cannot reach is the error value, and nothing runs.
  EXPECT_EQ(RunMacro(application, "CALL(\"C:\\Other.xll\",\"FakeCommand\",\"j\")"),
            "<error 800a07df>");
  EXPECT_EQ(
      RunMacro(application, std::string("CALL(\"") + fake_addin::kPath + "\",\"Nothing\",\"j\")"),
      "<error 800a07df>");
  EXPECT_EQ(RunMacro(application,
                     std::string("CALL(\"") + fake_addin::kPath + "\",\"FakeCommand\",\"B\")"),
            "<error 800a07df>");
  EXPECT_EQ(fake_addin::state().command_runs, 1);
  // Any other macro answers what the test set.
  EXPECT_EQ(RunMacro(application, "Macro1()"), "<error 800a07e7>");
  application->macroAnswer = SimValue::Bool(true);
  EXPECT_EQ(RunMacro(application, "Macro1()"), "TRUE");
  EXPECT_EQ(application->macros.size(), 6u);
  application->Release();
}

TEST(SimApplication, AnotherProcesssHostAnswersWithoutReachingThisAddin) {
  fake_addin::OpenedFake fake;
  fake.host.ClearTrace();
  SimApplication* other = SimApplication::Create(&fake.host, true);
  const std::string call = std::string("CALL(\"") + fake_addin::kPath + "\",\"FakeCommand\",\"j\")";
  EXPECT_EQ(RunMacro(other, call), "1");
  EXPECT_EQ(fake_addin::state().command_runs, 0);
  EXPECT_EQ(other->macros, std::vector<std::string>{call});
  EXPECT_EQ(fake.host.TraceText(),
            "automation: another process: ExecuteExcel4Macro(\"" + call + "\") = 1\n");
  other->Release();
}

TEST(SimApplication, ObjectsAndTheirParents) {
  SimApplication* application = SimApplication::Create(nullptr);
  struct Case {
    IDispatch* object;
    const wchar_t* member;
    IDispatch* expected;
  };
  const std::vector<Case> cases = {
      {application, L"Application", application},
      {application, L"Parent", application},
      {application, L"ActiveWorksheet", &application->Worksheet()},
      {&application->Workbook(), L"Parent", application},
      {&application->Worksheet(), L"Parent", &application->Workbook()},
      {&application->Range(), L"Worksheet", &application->Worksheet()},
      {&application->Range(), L"Application", application},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    VARIANT result;
    ASSERT_EQ(Read(c.object, c.member, &result), S_OK);
    ASSERT_EQ(result.vt, VT_DISPATCH);
    EXPECT_EQ(result.pdispVal, c.expected);
    VariantClear(&result);
  }
  application->Release();
}

TEST(SimApplication, AddressLocalDefaultsToAbsoluteAndCanBeExternal) {
  SimApplication* application = SimApplication::Create(nullptr);
  VARIANT result;
  ASSERT_EQ(Read(&application->Range(), L"AddressLocal", &result), S_OK);
  EXPECT_EQ(VariantText(result), "\"$B$3\"");
  VariantClear(&result);
  // Parameters: RowAbsolute, ColumnAbsolute, ReferenceStyle, External (the array lists them
  // last first).
  VARIANT yes;
  SimValue::Bool(true).ToVariant(&yes);
  VARIANT no;
  SimValue::Bool(false).ToVariant(&no);
  ASSERT_EQ(Read(&application->Range(), L"AddressLocal", &result, {yes, no, no, no}), S_OK);
  EXPECT_EQ(VariantText(result), "\"[Book1]Sheet1!B3\"");
  VariantClear(&result);
  application->Release();
}

TEST(SimApplication, PropertyWritesNeedTheirNamedValue) {
  SimApplication* application = SimApplication::Create(nullptr);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"DisplayAlerts")};
  DISPID id = DISPID_UNKNOWN;
  ASSERT_EQ(application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  VARIANT no;
  SimValue::Bool(false).ToVariant(&no);
  DISPPARAMS unnamed = {&no, nullptr, 1, 0};
  EXPECT_EQ(application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &unnamed,
                                nullptr, nullptr, nullptr),
            DISP_E_PARAMNOTFOUND);
  EXPECT_TRUE(application->displayAlerts);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS named = {&no, &put, 1, 1};
  EXPECT_EQ(application->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &named,
                                nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_FALSE(application->displayAlerts);
  application->Release();
}

TEST(SimApplication, OneMemberNumberPerNameAcrossObjects) {
  SimApplication* application = SimApplication::Create(nullptr);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"name")};
  DISPID on_application = 0;
  DISPID on_sheet = 0;
  ASSERT_EQ(application->GetIDsOfNames(IID_NULL, names, 1, 0, &on_application), S_OK);
  ASSERT_EQ(application->Worksheet().GetIDsOfNames(IID_NULL, names, 1, 0, &on_sheet), S_OK);
  EXPECT_EQ(on_application, on_sheet);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Cells")};
  DISPID id = 0;
  EXPECT_EQ(application->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
  application->Release();
}

TEST(SimApplication, TheModelLivesWhileAnyOfItsObjectsIsHeld) {
  platform::ResetComStandIn();
  SimApplication* application = SimApplication::Create(nullptr);
  IDispatch* range = &application->Range();
  range->AddRef();
  application->Release();
  VARIANT result;
  ASSERT_EQ(Read(range, L"AddressLocal", &result), S_OK);
  VariantClear(&result);
  range->Release();  // the last reference: the whole model goes (the sanitizer build checks)
  EXPECT_EQ(platform::OutstandingStrings(), 0);
}

}  // namespace
