// UTF-16 to and from UTF-8, one character at a time, with ASCII copied straight through.
#include "xll/wide_text.h"

#include <cstdint>

#include "units/utf8.h"

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The character at text[at] (of length units) into *code; returns how many units it takes.
std::size_t ReadWide(const XCHAR* text, std::size_t at, std::size_t length, uint32_t* code) {
  const uint32_t unit = text[at];
  if (IsHighSurrogate(unit) && at + 1 < length && IsLowSurrogate(text[at + 1])) {
    *code = 0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    return 2;
  }
  *code = IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit;
  return 1;
}

// Writes code as UTF-8 into out (at least 4 bytes); returns the number of bytes.
std::size_t EncodeUtf8(uint32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

}  // namespace

std::size_t WideToUtf8(const XCHAR* text, std::size_t length, char* utf8, std::size_t size) {
  std::size_t written = 0;
  std::size_t at = 0;
  while (at < length && text[at] != 0) {
    if (text[at] < 0x80) {
      if (written + 1 >= size) break;
      utf8[written++] = static_cast<char>(text[at++]);
      continue;
    }
    uint32_t code = 0;
    const std::size_t units = ReadWide(text, at, length, &code);
    char bytes[4];
    const std::size_t count = EncodeUtf8(code, bytes);
    if (written + count >= size) break;
    for (std::size_t i = 0; i < count; ++i) utf8[written++] = bytes[i];
    at += units;
  }
  utf8[written] = '\0';
  return written;
}

std::size_t Utf8ToWide(const char* text, XCHAR* wide, std::size_t capacity) {
  std::size_t written = 0;
  while (*text != '\0') {
    if (static_cast<unsigned char>(*text) < 0x80) {
      if (written == capacity) break;
      wide[written++] = static_cast<XCHAR>(*text++);
      continue;
    }
    const std::size_t length = CharacterLength(text);
    const uint32_t code = CodePoint(text, length);
    if (code < 0x10000) {
      if (written == capacity) break;
      wide[written++] = static_cast<XCHAR>(code);
    } else {
      if (written + 2 > capacity) break;
      wide[written++] = static_cast<XCHAR>(0xD800 + ((code - 0x10000) >> 10));
      wide[written++] = static_cast<XCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
    text += length;
  }
  return written;
}

std::size_t WideCharacterCount(const XCHAR* text, std::size_t length, std::size_t limit) {
  std::size_t count = 0;
  std::size_t at = 0;
  while (at < length && text[at] != 0 && count <= limit) {
    uint32_t code = 0;
    at += ReadWide(text, at, length, &code);
    ++count;
  }
  return count;
}
