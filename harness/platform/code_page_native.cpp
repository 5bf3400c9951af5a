// The code page conversions natively: Windows-1252, by table.
#include "platform/code_page.h"

#include <cstdint>

namespace {

// The characters of bytes 0x80 to 0x9F; the rest from 0xA0 are U+00A0 to U+00FF. The five bytes
// Windows-1252 leaves undefined stand for the control characters of their own value, as they do
// on Windows, so that they come back unchanged.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t CharacterOf(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The byte of a character, or '?' when Windows-1252 lacks it.
char ByteOf(uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Decodes the UTF-8 character at text into *code and returns its length, or returns 1 with
// *code 0xFFFD for a byte that starts no well-formed character.
std::size_t Decode(const unsigned char* text, uint32_t* code) {
  *code = text[0];
  if (text[0] < 0x80) return 1;
  std::size_t length = text[0] >= 0xF0 ? 4 : text[0] >= 0xE0 ? 3 : text[0] >= 0xC0 ? 2 : 0;
  uint32_t value = text[0] & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((text[i] & 0xC0) != 0x80) length = 0;  // also stops at the NUL
    if (length == 0) break;
    value = (value << 6) | (text[i] & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are no characters.
  constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (length == 0 || length > 4 || value < kSmallest[length] || value > 0x10FFFF ||
      (value >= 0xD800 && value <= 0xDFFF)) {
    *code = 0xFFFD;
    return 1;
  }
  *code = value;
  return length;
}

}  // namespace

std::size_t platform::AnsiToUtf8(const char* text, char* utf8, std::size_t size) {
  std::size_t ascii_length = 0;
  if (CopyAscii(text, utf8, size, &ascii_length)) return ascii_length;
  std::size_t length = 0;
  for (; *text != '\0'; ++text) {
    const uint32_t code = CharacterOf(static_cast<unsigned char>(*text));
    char bytes[3];
    std::size_t count = 1;
    if (code < 0x80) {
      bytes[0] = static_cast<char>(code);
    } else if (code < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (code >> 6));
      bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
      count = 2;
    } else {
      bytes[0] = static_cast<char>(0xE0 | (code >> 12));
      bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
      count = 3;
    }
    if (length + count >= size) break;
    for (std::size_t i = 0; i < count; ++i) utf8[length++] = bytes[i];
  }
  utf8[length] = '\0';
  return length;
}

std::size_t platform::Utf8ToAnsi(const char* text, char* ansi, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::size_t length = 0;
  while (*bytes != '\0' && length + 1 < size) {
    uint32_t code = 0;
    bytes += Decode(bytes, &code);
    ansi[length++] = ByteOf(code);
  }
  ansi[length] = '\0';
  return length;
}
