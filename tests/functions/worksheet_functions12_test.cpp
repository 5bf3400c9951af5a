// The worksheet functions as a version 12 host calls them: wide texts in, the calling thread's
// version 12 value out; the same answers as through the interface of every version.
#include "functions/worksheet_functions12.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "functions/worksheet_functions.h"
#include "tests/functions/refused_allocation.h"
#include "xll/cell_value.h"
#include "xll/wide_text.h"

namespace {

// A counted wide text as the host passes a D% argument.
class WideArgument {
 public:
  explicit WideArgument(const std::u16string& text) : counted_(1, XCHAR(text.size())) {
    counted_ += text;
  }
  const XCHAR* get() const { return counted_.c_str(); }

 private:
  std::u16string counted_;
};

// An answer as a person compares two of them: its kind, the bits of its number, its text (UTF-8).
struct Seen {
  unsigned type = 0;
  uint64_t bits = 0;
  std::string text;
  bool operator==(const Seen& other) const {
    return type == other.type && bits == other.bits && text == other.text;
  }
};

uint64_t Bits(double number) {
  uint64_t bits = 0;
  std::memcpy(&bits, &number, sizeof bits);
  return bits;
}

Seen SeenOf(const XLOPER12& value) {
  Seen seen;
  seen.type = value.xltype;
  const XLOPER12& number = value.xltype == xltypeMulti ? value.val.array.lparray[0] : value;
  const XLOPER12& text = value.xltype == xltypeMulti ? value.val.array.lparray[1] : value;
  if (number.xltype == xltypeNum) seen.bits = Bits(number.val.num);
  if (text.xltype == xltypeStr) {
    char utf8[1024];
    WideToUtf8(text.val.str + 1, text.val.str[0], utf8, sizeof utf8);
    seen.text = utf8;
  }
  return seen;
}

// The legacy answer, given back through xlAutoFree once read. Its texts are ASCII here.
Seen SeenOf(XLOPER* value) {
  Seen seen;
  seen.type = value->xltype & ~xlbitDLLFree;
  const XLOPER& number = seen.type == xltypeMulti ? value->val.array.lparray[0] : *value;
  const XLOPER& text = seen.type == xltypeMulti ? value->val.array.lparray[1] : *value;
  if ((number.xltype & ~xlbitDLLFree) == xltypeNum) seen.bits = Bits(number.val.num);
  if ((text.xltype & ~xlbitDLLFree) == xltypeStr) {
    seen.text.assign(text.val.str + 1, static_cast<unsigned char>(text.val.str[0]));
  }
  xlAutoFree(value);
  return seen;
}

std::u16string Widened(const char* ascii) { return std::u16string(ascii, ascii + std::strlen(ascii)); }

TEST(WorksheetFunctions12, AsciiGivesTheSameBitsAsTheInterfaceOfEveryVersion) {
  struct Case {
    double value;
    const char* in;
    const char* out;
  };
  const std::vector<Case> cases = {
      {1, "ft", "in"},         {100, "degC", "degF"},   {1, "mi/hr", "m/s"},
      {0.1, "kg m/s^2", "lbf"}, {1, "ft", "s"},          {1, "xyz", "abc"},
      {1e308, "mi", "in"},     {7, "", ""},             {1, "J / mol / degK", "Btu/(lbmol degR)"},
      {1, "m^^2", "m"},        {-40, "degF", "degC"},   {3, "m^3/2", "cm^3/2"},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " -> " + c.out);
    const WideArgument in(Widened(c.in));
    const WideArgument out(Widened(c.out));
    EXPECT_EQ(SeenOf(*Mensora12(c.value, in.get(), out.get())),
              SeenOf(Mensora(c.value, c.in, c.out)));
    EXPECT_EQ(SeenOf(*ToMetric12(c.value, in.get())), SeenOf(ToMetric(c.value, c.in)));
    EXPECT_EQ(SeenOf(*FromMetric12(c.value, out.get())), SeenOf(FromMetric(c.value, c.out)));
    EXPECT_EQ(SeenOf(*ShowMetric12(in.get())), SeenOf(ShowMetric(c.in)));
    EXPECT_EQ(SeenOf(*ShowCommonMetric12(out.get())), SeenOf(ShowCommonMetric(c.out)));
  }
  EXPECT_EQ(SeenOf(*Grav12()), SeenOf(Grav()));
  EXPECT_EQ(SeenOf(*GasConst12()), SeenOf(GasConst()));
}

// Which characters reach the engine whole is the end-to-end suite's table (unicode.check), through
// the real add-in in a host; here the limits of a text's length.
TEST(WorksheetFunctions12, LongTextsCountCharactersNotUnits) {
  const WideArgument longest(u"m" + std::u16string(254, u' '));
  const WideArgument too_long(u"m" + std::u16string(255, u' '));
  EXPECT_EQ(SeenOf(*ShowMetric12(longest.get())).text, "m ");
  EXPECT_EQ(SeenOf(*ShowMetric12(too_long.get())).text, "string length too long");
  // 255 of three bytes' UTF-8 each are read whole; the message naming them is cut to
  // whole characters within 255 bytes.
  const WideArgument cjk(std::u16string(255, u'\u7C73'));
  std::string cut = "Unknown unit '";
  for (int i = 0; i < 80; ++i) cut += u8"\u7C73";
  EXPECT_EQ(SeenOf(*ShowMetric12(cjk.get())).text, cut + "'");
  // 200 characters beyond U+FFFF take 400 units, and are still fewer than 256 characters.
  std::u16string pairs;
  for (int i = 0; i < 200; ++i) pairs += u"\U0001F600";
  const WideArgument emoji(pairs);
  EXPECT_NE(SeenOf(*ShowMetric12(emoji.get())).text, "string length too long");
  EXPECT_EQ(SeenOf(*ShowMetric12(nullptr)).text, "");
}

TEST(WorksheetFunctions12, AnswersTakeNothingFromTheHeap) {
  const WideArgument ft(u"ft");
  const WideArgument unknown(u"\u7C73");
  const std::vector<std::function<XLOPER12*()>> calls = {
      [&] { return Mensora12(1, ft.get(), ft.get()); },
      [&] { return ToMetric12(1, ft.get()); },
      [&] { return FromMetric12(1, unknown.get()); },
      [&] { return ShowCommonMetric12(ft.get()); },
      [] { return GasConst12(); },
  };
  ASSERT_FALSE(calls.empty());
  for (const auto& call : calls) call();  // the thread's storage and table exist from here on
  std::vector<unsigned> types;
  types.reserve(calls.size());
  RefuseAllocations(true);
  for (const auto& call : calls) types.push_back(call()->xltype);
  RefuseAllocations(false);
  EXPECT_EQ(types, (std::vector<unsigned>{xltypeNum, xltypeMulti, xltypeStr, xltypeStr,
                                          xltypeMulti}));
}

}  // namespace
