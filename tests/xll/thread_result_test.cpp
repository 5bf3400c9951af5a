// Tests of the version 12 hand-back from the calling thread's storage.
#include "xll/thread_result.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::u16string TextOf(const XLOPER12& value) {
  return value.xltype == xltypeStr ? std::u16string(value.val.str + 1, value.val.str[0]) : u"?";
}

TEST(ThreadResult, EachKindOwnsNothingTheHostMustGiveBack) {
  XLOPER12* number = ReturnNumber12(12.0);
  EXPECT_EQ(number->xltype, xltypeNum);
  EXPECT_EQ(number->val.num, 12.0);

  XLOPER12* row = ReturnNumberAndText12(9.80665, "m / s^2");
  ASSERT_EQ(row->xltype, xltypeMulti);
  ASSERT_EQ(row->val.array.rows * row->val.array.columns, 2);
  EXPECT_EQ(row->val.array.lparray[0].val.num, 9.80665);
  EXPECT_EQ(TextOf(row->val.array.lparray[1]), u"m / s^2");

  XLOPER12* error = ReturnError12(xlerrValue);
  EXPECT_EQ(error->xltype, xltypeErr);
  EXPECT_EQ(error->val.err, xlerrValue);
  // The same storage each time: a hand-back is valid until the thread's next one.
  EXPECT_EQ(number, error);
  EXPECT_EQ(ReturnText12(nullptr)->val.str[0], 0);
}

TEST(ThreadResult, TextsAreCutToWholeCharactersWithinTheCellsLength) {
  std::string long_text(254, 'a');
  long_text += u8"\U0001F600";  // a pair of units would make 256
  EXPECT_EQ(TextOf(*ReturnText12(long_text.c_str())), std::u16string(254, u'a'));
  EXPECT_EQ(TextOf(*ReturnText12(u8"Unknown unit '\u7C73'")), u"Unknown unit '\u7C73'");
}

TEST(ThreadResult, EveryThreadHasStorageOfItsOwn) {
  XLOPER12* mine = ReturnText12("main");
  XLOPER12* theirs = nullptr;
  std::thread other([&theirs] { theirs = ReturnText12("other"); });
  other.join();
  EXPECT_NE(mine, theirs);
  EXPECT_EQ(TextOf(*mine), u"main");
}

}  // namespace
