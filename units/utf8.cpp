// Reading UTF-8 one character at a time.
#include "utf8.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::size_t CharacterLength(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return 1;
  // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  if (bytes[1] < low || bytes[1] > high) return 1;
  // A NUL is no continuation byte, so the text's end stops the check.
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(bytes[i])) return 1;
  }
  return length;
}

uint32_t CodePoint(const char* text, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (length == 1) return bytes[0];
  constexpr unsigned char kLeadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
  uint32_t code = bytes[0] & kLeadMask[length];
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (bytes[i] & 0x3F);
  return code;
}

std::size_t CountCharacters(const char* text, std::size_t limit) {
  // As long as every byte is ASCII, bytes are characters: the common case needs no decoding.
  std::size_t count = 0;
  while (count < limit && text[count] != '\0' && static_cast<unsigned char>(text[count]) < 0x80) {
    ++count;
  }
  std::size_t at = count;
  while (count < limit && text[at] != '\0') {
    at += CharacterLength(text + at);
    ++count;
  }
  return count;
}
