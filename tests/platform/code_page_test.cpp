// Tests of the code page conversions natively, where the code page is Windows-1252.
#include "platform/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <utility>

namespace {

std::string ToUtf8(const std::string& text, std::size_t size = 1024) {
  std::string out(size, 'Z');
  out.resize(platform::AnsiToUtf8(text.c_str(), &out[0], size));
  return out;
}

std::string ToAnsi(const std::string& text, std::size_t size = 256) {
  std::string out(size, 'Z');
  out.resize(platform::Utf8ToAnsi(text.c_str(), &out[0], size));
  return out;
}

// Each byte from 0x80 means what the C library's own Windows-1252 table says; the five it
// leaves undefined stand for the control characters of their own value, as on Windows.
TEST(CodePage, ReadsEveryByteAsWindows1252Does) {
  iconv_t oracle = iconv_open("UTF-8", "CP1252");
  ASSERT_NE(oracle, reinterpret_cast<iconv_t>(-1)) << "no CP1252 in iconv";
  int defined = 0;
  for (int code = 1; code < 256; ++code) {
    char byte = static_cast<char>(code);
    char utf8[8] = {};
    char* in = &byte;
    char* out = utf8;
    std::size_t in_left = 1;
    std::size_t out_left = sizeof utf8;
    std::string expected;
    if (iconv(oracle, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1)) {
      expected = utf8;
      ++defined;
    } else {
      expected = {static_cast<char>(0xC2), byte};
    }
    EXPECT_EQ(ToUtf8(std::string(1, byte)), expected) << "byte " << code;
    EXPECT_EQ(ToAnsi(expected), std::string(1, byte)) << "byte " << code << " back";
  }
  iconv_close(oracle);
  EXPECT_EQ(defined, 250);
}

TEST(CodePage, WritesWhatTheCodePageLacksAsQuestionMarks) {
  const std::pair<std::string, std::string> cases[] = {
      {"k\xCE\xA9", "k?"},              // Ω
      {"\xE2\x84\x83", "?"},            // ℃
      {"\xC2\xB5m \xC2\xB0" "C", "\xB5m \xB0" "C"},
      {"\xE2\x82\xAC", "\x80"},         // €
      {"a\xFF" "b\xC0\x80", "a?b??"},   // bytes that are not UTF-8
      {"\xF0\x9F\x98\x80!", "?!"},      // beyond the 16-bit plane
  };
  for (const auto& [utf8, ansi] : cases) EXPECT_EQ(ToAnsi(utf8), ansi) << utf8;
}

TEST(CodePage, CutsAfterTheLastWholeCharacter) {
  EXPECT_EQ(ToAnsi(std::string(300, 'a')), std::string(255, 'a'));
  // Each euro sign takes three bytes: 33 fit in 100 with the NUL, the 34th is left out whole.
  std::string euros;
  for (int i = 0; i < 33; ++i) euros += "\xE2\x82\xAC";
  EXPECT_EQ(ToUtf8(std::string(255, '\x80'), 100), euros);
  EXPECT_EQ(ToUtf8(std::string(255, 'm'), 100), std::string(99, 'm'));
  // 255 characters of the code page always fit the engine's buffer for an expression.
  EXPECT_EQ(ToUtf8(std::string(255, '\x80'), 766).size(), 765u);
}

}  // namespace
