// Tests of the version 12 cell value: wide texts from UTF-8, deep copies, and what gives each
// payload back.
#include "xll/cell_value12.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"
#include "xll/host_call.h"

namespace {

TEST(CXllValue12, TextsAreWideOnTheHostsSideAndUtf8OnOurs) {
  const CXllValue12 text(std::string(u8"k\u03A9 \u7C73"));
  ASSERT_EQ(text.xltype, xltypeStr);
  EXPECT_EQ(std::u16string(text.val.str + 1, text.val.str[0]), u"k\u03A9 \u7C73");
  EXPECT_EQ(text.ToText(), u8"k\u03A9 \u7C73");
  EXPECT_EQ(CXllValue12(2.5).ToText(), "");

  // The longest wide text holds 32767 units, never half a pair.
  std::string longest(32766, 'a');
  longest += u8"\U0001F600";
  const CXllValue12 cut(longest);
  EXPECT_EQ(cut.val.str[0], 32766);
}

TEST(CXllValue12, CopiesAreDeepAndOwned) {
  CXllValue12 array;
  array.MakeArray(1, 2);
  auto* elements = static_cast<CXllValue12*>(array.val.array.lparray);
  elements[0] = CXllValue12(9.80665);
  elements[1] = CXllValue12(std::string("m / s^2"));
  const CXllValue12 copy(array);
  ASSERT_EQ(copy.xltype, xltypeMulti);
  const auto* copied = static_cast<const CXllValue12*>(copy.val.array.lparray);
  EXPECT_NE(copied, elements);
  EXPECT_NE(copied[1].val.str, elements[1].val.str);
  EXPECT_EQ(copied[1].ToText(), "m / s^2");
  EXPECT_EQ(copied[0].val.num, 9.80665);

  CXllValue12 empty;
  empty.MakeArray(0, 3);
  EXPECT_EQ(empty.xltype, 0u);
}

TEST(CXllValue12, HostMemoryGoesBackThroughTheHostAndOursOnlyWhenMarked) {
  FakeHost host;
  host.offers12 = true;
  ASSERT_TRUE(platform::ConnectHost12());
  CXllValue12 name;
  XllName(name);
  EXPECT_EQ(name.ToText(), host.name);
  EXPECT_EQ(name.xltype & xlbitXLFree, 0u);  // our copy; the host's went back at once
  EXPECT_TRUE(host.live.empty());
  EXPECT_EQ(host.CountCalls(xlFree), 1);

  // xlAutoFree12 releases what carries xlbitDLLFree, and leaves anything else alone (the
  // add-in's results live in the calling thread's storage and are never released).
  auto* handed = new CXllValue12(std::string("J"));
  handed->xltype |= xlbitDLLFree;
  xlAutoFree12(handed);
  EXPECT_EQ(handed->xltype, 0u);
  delete handed;
  CXllValue12 kept(std::string("kept"));
  xlAutoFree12(&kept);
  EXPECT_EQ(kept.ToText(), "kept");
  xlAutoFree12(nullptr);
}

}  // namespace
