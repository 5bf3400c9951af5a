// Tests of CXllValue: building, cutting texts, arrays, copying, releasing, hand-back, conversions.
#include "xll/cell_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_host.h"

namespace {

std::string Counted(const char* counted) {
  return std::string(counted + 1, static_cast<unsigned char>(counted[0]));
}

TEST(CountedText, CutsAt255AndTreatsNullAsEmpty) {
  const std::string longText(300, 'x');
  const struct {
    const char* text;
    std::size_t length;
  } cases[] = {{nullptr, 0}, {"", 0}, {"ft", 2}, {longText.c_str(), 255},
               {longText.c_str() + 45, 255}, {longText.c_str() + 46, 254}};
  ASSERT_GT(std::size(cases), 0u);
  for (const auto& c : cases) {
    char* counted = MakeCountedText(c.text);
    EXPECT_EQ(static_cast<unsigned char>(counted[0]), c.length);
    EXPECT_EQ(Counted(counted), std::string(c.text ? c.text : "").substr(0, c.length));
    char* copy = CopyCountedText(counted);
    EXPECT_EQ(0, std::memcmp(copy, counted, c.length + 1));
    delete[] copy;
    delete[] counted;
  }
  EXPECT_EQ(CopyCountedText(nullptr), nullptr);
}

TEST(CellValue, ArraysAndAt) {
  CXllValue array;
  array.MakeArray(0, 5);
  EXPECT_EQ(array.xltype, 0);
  array.MakeArray(2, 3);
  ASSERT_EQ(array.xltype, xltypeMulti);
  EXPECT_EQ(array.At(1, 2), static_cast<CXllValue*>(array.val.array.lparray) + 5);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(array.val.array.lparray[i].xltype, 0);
  array.At(0, 1)->SetText("m");
  CXllValue number(5.0);
  EXPECT_EQ(number.At(3, 4), &number);
  array.MakeArray(1, 2);  // the old elements and their texts are released (sanitizer build)
  EXPECT_EQ(array.val.array.columns, 2);
}

TEST(CellValue, FreeOfHostOwnedValueGoesThroughXlFreeOnce) {
  FakeHost host;
  CXllValue value;
  value.val.str = host.Text("host");
  value.xltype = xltypeStr | xlbitXLFree;
  value.Free();
  EXPECT_EQ(host.CountCalls(xlFree), 1);
  EXPECT_EQ(host.calls[0].types[0], xltypeStr);  // the bit is cleared before the call
  EXPECT_TRUE(host.live.empty());
  EXPECT_EQ(host.strayFrees, 0);
  const unsigned char zero[sizeof(XLOPER)] = {};
  EXPECT_EQ(0, std::memcmp(zero, static_cast<XLOPER*>(&value), sizeof zero));

  value.val.str = host.Text("again");
  value.xltype = xltypeStr | xlbitXLFree;
  value.SetNumber(1.0);  // setters release the old content first
  EXPECT_EQ(host.CountCalls(xlFree), 2);
  EXPECT_TRUE(host.live.empty());
}

TEST(CellValue, LargeDataTextIsNeverReleased) {
  char hostBlock[4] = {3, 'a', 'b', 'c'};
  CXllValue value;
  value.val.str = hostBlock;
  value.xltype = xltypeBigData;
  CXllValue copy(value);
  EXPECT_EQ(copy.val.str, hostBlock);
  value.Free();  // a delete[] of the stack block would abort here
  copy.Free();
  EXPECT_EQ(hostBlock[1], 'a');
}

TEST(CellValue, CopyFromHostValuesIsAddInOwned) {
  FakeHost host;
  CXllValue text;
  text.val.str = host.Text("kg m/s^2");
  text.xltype = xltypeStr | xlbitXLFree | xlbitDLLFree;
  CXllValue copy;
  copy.CopyFrom(text);
  EXPECT_EQ(copy.xltype, xltypeStr | xlbitDLLFree);
  EXPECT_NE(copy.val.str, text.val.str);
  EXPECT_EQ(copy.ToText(), "kg m/s^2");

  CXllValue ref;
  ref.xltype = xltypeRef | xlbitXLFree;
  // A 64-bit host's sheet ids use the upper half too; a copy must not cut them to 32 bits.
  const uintptr_t sheet = static_cast<uintptr_t>(0x7700000000000077u);
  ref.val.mref.idSheet = sheet;
  ref.val.mref.lpmref = static_cast<XLMREF*>(host.Allocate(2 + 6 * 2));
  const unsigned char areas[] = {2, 0, 1, 0, 3, 0, 4, 5, 9, 0, 9, 0, 0, 255};
  std::memcpy(ref.val.mref.lpmref, areas, sizeof areas);
  CXllValue refCopy;
  refCopy.CopyFrom(ref);
  EXPECT_EQ(refCopy.xltype, xltypeRef);
  EXPECT_EQ(refCopy.val.mref.idSheet, sheet);
  ASSERT_NE(refCopy.val.mref.lpmref, ref.val.mref.lpmref);
  EXPECT_EQ(0, std::memcmp(refCopy.val.mref.lpmref, areas, sizeof areas));

  text.Free();
  ref.Free();
  EXPECT_TRUE(host.live.empty());
  EXPECT_EQ(copy.ToText(), "kg m/s^2");  // independent of the host's memory
  ref.xltype = xltypeRef;  // a reference without a list copies without one
  refCopy.CopyFrom(ref);
  EXPECT_EQ(refCopy.val.mref.lpmref, nullptr);
}

TEST(CellValue, CopyFromItsOwnElementIsSafe) {
  CXllValue array;
  array.MakeArray(1, 2);
  array.At(0, 1)->SetText("degC");
  CXllValue copy = array;
  EXPECT_EQ(copy.At(0, 1)->ToText(), "degC");
  EXPECT_NE(copy.At(0, 1)->val.str, array.At(0, 1)->val.str);
  array.CopyFrom(*array.At(0, 1));
  EXPECT_EQ(array.ToText(), "degC");
  array = array;
  EXPECT_EQ(array.ToText(), "degC");
}

TEST(ReturnSlot, SecondHandBackReleasesTheFirstAtTheSameAddress) {
  FakeHost host;
  CXllValue first;
  first.val.str = host.Text("left over");
  first.xltype = xltypeStr | xlbitXLFree;
  XLOPER* slot = first.ReturnToHost();
  EXPECT_EQ(first.xltype, 0);
  EXPECT_EQ(slot->xltype, xltypeStr | xlbitXLFree | xlbitDLLFree);
  EXPECT_EQ(host.CountCalls(xlFree), 0);

  CXllValue second(12.0);
  EXPECT_EQ(second.ReturnToHost(), slot);
  EXPECT_EQ(host.CountCalls(xlFree), 1);
  EXPECT_TRUE(host.live.empty());
  EXPECT_EQ(slot->xltype, xltypeNum | xlbitDLLFree);
  EXPECT_EQ(slot->val.num, 12.0);

  EXPECT_EQ(ReturnErrorToHost(xlerrValue), slot);
  EXPECT_EQ(slot->xltype, xltypeErr | xlbitDLLFree);
  EXPECT_EQ(slot->val.err, xlerrValue);
  xlAutoFree(slot);
  EXPECT_EQ(slot->xltype, 0);
}

TEST(ReturnSlot, AutoFreeReleasesAnArrayOfTexts) {
  CXllValue result;
  result.MakeArray(1, 2);
  result.At(0, 0)->SetNumber(9.806652);
  result.At(0, 1)->SetText("m / s^2");
  XLOPER* slot = result.ReturnToHost();
  EXPECT_EQ(slot->xltype, xltypeMulti | xlbitDLLFree);
  EXPECT_EQ(static_cast<CXllValue*>(slot)->At(0, 1)->ToText(), "m / s^2");
  xlAutoFree(slot);  // the sanitizer build reports the texts or the block if they leak
  EXPECT_EQ(slot->xltype, 0);
  xlAutoFree(nullptr);
}

TEST(CellValueConversion, ToText) {
  CXllValue array;
  array.MakeArray(1, 1);
  const struct {
    CXllValue value;
    const char* text;
  } cases[] = {{CXllValue(5.0), "5.000000"},      {CXllValue(-0.0001234), "-0.000123"},
               {CXllValue::Int(-3), "-3"},         {CXllValue::Bool(0), "FALSE"},
               {CXllValue::Bool(7), "TRUE"},       {CXllValue("ft"), "ft"},
               {CXllValue::Error(xlerrValue), ""}, {CXllValue::Missing(), ""},
               {CXllValue(), ""},                  {array, ""}};
  ASSERT_GT(std::size(cases), 0u);
  for (const auto& c : cases) EXPECT_EQ(c.value.ToText(), c.text) << c.text;
}

TEST(CellValueConversion, ToBoolAndToNumber) {
  const struct {
    CXllValue value;
    int truth;
    double number;
  } cases[] = {
      {CXllValue("TRUE"), 1, 0.0},      {CXllValue("tRuE"), 1, 0.0},     {CXllValue("1"), 1, 1.0},
      {CXllValue(" 12 kg"), 1, 12.0},   {CXllValue("yes"), 0, 0.0},      {CXllValue("0"), 0, 0.0},
      {CXllValue(""), 0, 0.0},          {CXllValue("truex"), 0, 0.0},    {CXllValue("3.5 m"), 1, 3.5},
      {CXllValue("11.0"), 1, 11.0},     {CXllValue("99999999999"), 1, 99999999999.0},
      {CXllValue(0.0), 0, 0.0},    {CXllValue(-2.5), 1, -2.5}, {CXllValue::Int(-7), 1, -7.0},
      {CXllValue::Int(0), 0, 0.0}, {CXllValue::Bool(2), 2, 2.0},
      {CXllValue::Error(xlerrValue), 0, 0.0}, {CXllValue::Missing(), 0, 0.0},
  };
  ASSERT_GT(std::size(cases), 0u);
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.ToBool(), c.truth) << c.value.ToText();
    EXPECT_EQ(c.value.ToNumber(), c.number) << c.value.ToText();
  }
}

TEST(CellValueConversion, FlagReadsThePayloadWhateverTheType) {
  CXllValue value = CXllValue::Int(-1);
  EXPECT_EQ(value.ToBool(true), 0xFFFF);
  value = CXllValue::Missing();
  value.val.num = 2.5;
  EXPECT_EQ(value.ToNumber(), 0.0);
  EXPECT_EQ(value.ToNumber(true), 2.5);
  char counted[] = {2, 'i', 'n'};
  value.val.str = counted;
  EXPECT_EQ(value.ToText(), "");
  EXPECT_EQ(value.ToText(true), "in");
  value.val.str = nullptr;
  EXPECT_EQ(value.ToText(true), "");
}

}  // namespace
