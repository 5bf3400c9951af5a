// Copying values out of the add-in's memory and showing them as a cell or a trace does.
#include "harness/host/host_value.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
HostValue Array(uint16_t rows, uint16_t columns, std::vector<HostValue> elements) {
  HostValue array;
  array.type = xltypeMulti;
  array.rows = rows;
  array.columns = columns;
  array.elements = std::move(elements);
  return array;
}

TEST(RenderValue, ShowsEachKindOfValue) {
  struct Case {
    HostValue value;
    const char* cell;        // NumberStyle::kCell
    const char* round_trip;  // NumberStyle::kRoundTrip
  };
  const Case cases[] = {
      {HostValue::Number(12.000000000000002), "12", "12.000000000000002"},
      {HostValue::Number(-0.0), "0", "-0"},
      {HostValue::Number(std::numeric_limits<double>::infinity()), "#NUM!", "#NUM!"},
      {HostValue::Text("say \"hi\""), "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\""},
      {HostValue::Bool(false), "FALSE", "FALSE"},
      {HostValue::Error(xlerrName), "#NAME?", "#NAME?"},
      {HostValue::Error(99), "#ERR99", "#ERR99"},
      {HostValue::Int(-3), "-3", "-3"},
      {HostValue::Missing(), "", ""},
      {HostValue(), "<empty>", "<empty>"},
      {Array(2, 2, {HostValue::Number(0.1 + 0.2), HostValue::Text("m"), HostValue::Bool(true),
                    HostValue::Error(xlerrNA)}),
       "{0.3,\"m\";TRUE,#N/A}", "{0.30000000000000004,\"m\";TRUE,#N/A}"},
  };
  ASSERT_GT(sizeof cases / sizeof cases[0], 0u);
  for (const Case& c : cases) {
    EXPECT_EQ(RenderValue(c.value), c.cell);
    EXPECT_EQ(RenderValue(c.value, NumberStyle::kRoundTrip), c.round_trip);
  }
}

TEST(CopyValue, CopiesPayloadsAndDropsOwnershipBits) {
  char text[] = "\5ab\"cdIGNORED";
  XLOPER value{};
  value.xltype = xltypeStr | xlbitDLLFree;
  value.val.str = text;
  HostValue copy = CopyValue(value);
  EXPECT_EQ(copy.type, xltypeStr);
  EXPECT_EQ(copy.text, "ab\"cd") << "the length byte decides, not a NUL";

  XLOPER elements[2] = {};
  elements[0].xltype = xltypeNum;
  elements[0].val.num = 273.15;
  elements[1].xltype = xltypeStr;
  elements[1].val.str = text;
  XLOPER array{};
  array.xltype = xltypeMulti | xlbitXLFree;
  array.val.array = {elements, 1, 2};
  EXPECT_EQ(RenderValue(CopyValue(array)), "{273.15,\"ab\"\"cd\"}");

  XLOPER truth{};
  truth.xltype = xltypeBool;
  truth.val.xbool = 6;
  EXPECT_EQ(RenderValue(CopyValue(truth)), "TRUE(6)");
}

TEST(CopyValue, MarksValuesWhosePayloadCannotBeRead) {
  XLOPER nested[1] = {};
  nested[0].xltype = xltypeMulti;
  XLOPER cases[4] = {};
  cases[0].xltype = xltypeStr;                      // no text block
  cases[1].xltype = xltypeMulti;                    // no element block
  cases[2].xltype = xltypeMulti;
  cases[2].val.array = {nested, 0, 1};              // no rows
  cases[3].xltype = xltypeMulti;
  cases[3].val.array = {nested, 1, 1};              // an array inside an array
  EXPECT_EQ(CopyValue(cases[0]).type, kBrokenValue);
  EXPECT_EQ(CopyValue(cases[1]).type, kBrokenValue);
  EXPECT_EQ(CopyValue(cases[2]).type, kBrokenValue);
  EXPECT_EQ(RenderValue(CopyValue(cases[3])), "{<broken>}");
}
}  // namespace
