// Tests of the wide texts of the version 12 interface: the compiler's own UTF-16 and UTF-8
// literals are the oracle.
#include "xll/wide_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::u16string Wide(const char* utf8, std::size_t capacity = 64) {
  std::u16string wide(capacity, u'\0');
  wide.resize(Utf8ToWide(utf8, &wide[0], capacity));
  return wide;
}

std::string Narrow(const std::u16string& wide, std::size_t size = 256) {
  std::string utf8(size, '\0');
  utf8.resize(WideToUtf8(wide.data(), wide.size(), &utf8[0], size));
  return utf8;
}

TEST(WideText, EveryScriptBothWays) {
  struct Case {
    const char* utf8;
    std::u16string wide;
    std::size_t characters;
  };
  const std::vector<Case> cases = {
      {"kg m/s^2", u"kg m/s^2", 8},
      {u8"k\u03A9", u"k\u03A9", 2},            // kΩ
      {u8"\u03BCm \u00B5m", u"\u03BCm \u00B5m", 5},  // Greek mu and the micro sign
      {u8"\u2103 m\u00B2", u"\u2103 m\u00B2", 4},     // ℃ and a superscript
      {u8"\u043C\u0435\u0442\u0440", u"\u043C\u0435\u0442\u0440", 4},  // метр
      {u8"\u7C73", u"\u7C73", 1},                                      // 米
      {u8"m\U0001F600s", u"m\U0001F600s", 3},  // beyond U+FFFF: a surrogate pair
      {"", u"", 0},
  };
  ASSERT_FALSE(cases.empty());
  for (const Case& c : cases) {
    EXPECT_EQ(Wide(c.utf8), c.wide) << c.utf8;
    EXPECT_EQ(Narrow(c.wide), c.utf8) << c.utf8;
    EXPECT_EQ(WideCharacterCount(c.wide.data(), c.wide.size(), 100), c.characters) << c.utf8;
  }
}

TEST(WideText, BrokenInputBecomesCharactersNeverBytesOfHalfAPair) {
  // A surrogate without its partner is U+FFFD, at either end and alone.
  const std::u16string lone_high = {u'm', 0xD83D, u's'};
  const std::u16string lone_low = {0xDE00, u'm'};
  EXPECT_EQ(Narrow(lone_high), u8"m\uFFFDs");
  EXPECT_EQ(Narrow(lone_low), u8"\uFFFDm");
  EXPECT_EQ(WideCharacterCount(lone_high.data(), lone_high.size(), 10), 3u);
  // A NUL unit ends the text, as it would end the C string the engine reads.
  const std::u16string with_nul = {u'f', u't', 0, u'x'};
  EXPECT_EQ(Narrow(with_nul), "ft");
  EXPECT_EQ(WideCharacterCount(with_nul.data(), with_nul.size(), 10), 2u);
  // A byte of UTF-8 that starts no character stands for the character of its value.
  EXPECT_EQ(Wide("m\xB5" "s"), u"m\u00B5s");
}

TEST(WideText, CutsOnlyBetweenWholeCharacters) {
  // Room for 5 bytes and the NUL: "m" and "😀" (4 bytes) fit, "s" does not.
  EXPECT_EQ(Narrow(u"m\U0001F600s", 6), u8"m\U0001F600");
  EXPECT_EQ(Narrow(u"m\U0001F600s", 5), "m");
  // Room for 2 units: the pair does not fit after "m".
  EXPECT_EQ(Wide(u8"m\U0001F600s", 2), u"m");
  EXPECT_EQ(Wide(u8"\u7C73\u7C73", 1), u"\u7C73");
  // Counting stops one past the limit.
  const std::u16string long_text(300, u'x');
  EXPECT_EQ(WideCharacterCount(long_text.data(), long_text.size(), 255), 256u);
  EXPECT_EQ(WideCharacterCount(long_text.data(), 255, 255), 255u);
}

}  // namespace
