// The late-bound call wrappers: argument order, flags, the member-number caches and the object
// reads, against the simulated host's objects.
#include "com/dispatch_call.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/automation_value.h"
#include "tests/com/bridge_fixture.h"

namespace {

class DispatchCall : public ModelTest {};

TEST_F(DispatchCall, ArgumentsAreListedFromTheLastParameterToTheFirst) {
  VARIANT omitted = OmittedVariant();
  VARIANT yes = TruthVariant(1);
  VARIANT no = TruthVariant(0);
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(GetProperty(&model->Range(), L"AddressLocal", nullptr, &result,
                        {&omitted, &omitted, &omitted, &yes, &no}),
            S_OK);
  const MemberCall call = model->Range().CallsOf("AddressLocal").back();
  EXPECT_EQ(call.arguments,
            (std::vector<std::string>{"FALSE", "TRUE", "<omitted>", "<omitted>", "<omitted>"}));
  EXPECT_EQ(BstrToText(result.bstrVal), "$B3");
  VariantClear(&result);
}

TEST_F(DispatchCall, EachWrapperInvokesWithItsFlags) {
  VARIANT result;
  VariantInit(&result);
  VARIANT off = TruthVariant(0);
  VARIANT text = TextVariant("Macro()");
  ASSERT_EQ(GetProperty(model, L"DisplayAlerts", nullptr, &result), S_OK);
  ASSERT_EQ(PutProperty(model, L"DisplayAlerts", nullptr, {&off}), S_OK);
  ASSERT_EQ(CallMethod(model, L"ExecuteExcel4Macro", nullptr, &result, {&text}), S_OK);
  VariantClear(&result);
  EXPECT_EQ(ExecuteMacro(model, &text), S_OK);
  VariantClear(&text);

  const std::vector<MemberCall>& calls = model->Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  EXPECT_EQ(calls[1].flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(calls[1].arguments, std::vector<std::string>{"FALSE"});
  EXPECT_EQ(calls[2].flags, DISPATCH_METHOD);
  EXPECT_EQ(calls[3].flags, DISPATCH_PROPERTYGET);
  EXPECT_FALSE(model->displayAlerts);
  EXPECT_EQ(model->macros, (std::vector<std::string>{"Macro()", "Macro()"}));
}

TEST_F(DispatchCall, ACacheResolvesOnceAndIsNeverInvalidated) {
  DispIdCache cache = DISPID_UNKNOWN;
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(GetProperty(model, L"Name", &cache, &result), S_OK);
  VariantClear(&result);
  EXPECT_NE(cache, DISPID_UNKNOWN);
  ASSERT_EQ(GetProperty(model, L"Name", &cache, &result), S_OK);
  VariantClear(&result);
  EXPECT_EQ(model->Resolutions("Name"), 1);
  // The cached number is used as it is, whatever object and name come later.
  ASSERT_EQ(GetProperty(&model->Workbook(), L"Parent", &cache, &result), S_OK);
  EXPECT_EQ(BstrToText(result.bstrVal), "Book1");
  VariantClear(&result);

  // Without a cache the name is resolved at every call.
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(GetProperty(model, L"Name", nullptr, &result), S_OK);
    VariantClear(&result);
  }
  EXPECT_EQ(model->Resolutions("Name"), 3);
}

TEST_F(DispatchCall, AnUnknownNameFailsBeforeAnyCall) {
  DispIdCache cache = DISPID_UNKNOWN;
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(GetProperty(model, L"NoSuchMember", &cache, &result), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(cache, DISPID_UNKNOWN);
  EXPECT_TRUE(model->Calls().empty());
  EXPECT_EQ(GetProperty(nullptr, L"Name", nullptr, &result), E_POINTER);
}

TEST_F(DispatchCall, GetObjectPropertyGivesOneReferenceOnlyForAnObject) {
  IDispatch* object = nullptr;
  ASSERT_EQ(GetObjectProperty(model, L"ActiveWorksheet", nullptr, &object), S_OK);
  EXPECT_EQ(object, static_cast<IDispatch*>(&model->Worksheet()));
  object->Release();

  object = model;  // any value: the wrapper clears it
  EXPECT_EQ(GetObjectProperty(model, L"Name", nullptr, &object), E_FAIL);
  EXPECT_EQ(object, nullptr);

  model->SetFailure("ActiveWorksheet", DISP_E_EXCEPTION);
  EXPECT_EQ(GetObjectProperty(model, L"ActiveWorksheet", nullptr, &object), DISP_E_EXCEPTION);
  EXPECT_EQ(object, nullptr);
}

TEST_F(DispatchCall, AFailedWriteReturnsItsCodeAndTheCallerKeepsItsArgument) {
  VARIANT text = TextVariant("Book2");
  EXPECT_EQ(PutProperty(&model->Workbook(), L"Name", nullptr, {&text}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(BstrToText(text.bstrVal), "Book2");
  VariantClear(&text);
}

TEST_F(DispatchCall, ExecuteMacroAnswersZeroOrTheFailure) {
  VARIANT text = TextVariant("Anything()");
  EXPECT_EQ(ExecuteMacro(model, &text), S_OK);
  model->SetFailure("ExecuteExcel4Macro", DISP_E_EXCEPTION);
  EXPECT_EQ(ExecuteMacro(model, &text), DISP_E_EXCEPTION);
  EXPECT_EQ(model->Resolutions("ExecuteExcel4Macro"), 2);
  VariantClear(&text);
}

}  // namespace
