// The 16-significant-digit general format of fractional exponents in unit texts.
#include "exponent_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "text_buffer.h"

namespace {

// Drops the zeros that end the fraction part of text[0, end) and moves the rest (from end on,
// the exponent part if any) up behind what remains. The decimal point itself stays.
void DropTrailingZeros(char* text, char* end) {
  char* point = std::strchr(text, '.');
  if (point == nullptr || point > end) return;
  char* last = end;
  while (last - 1 > point && last[-1] == '0') --last;
  std::memmove(last, end, std::strlen(end) + 1);
}

}  // namespace

void FormatGeneralExponent(double value, char* text, std::size_t size) {
  if (std::isnan(value)) {
    CopyText(text, size, "nan");
    return;
  }
  if (std::isinf(value)) {
    CopyText(text, size, value > 0 ? "inf" : "-inf");
    return;
  }
  // Scientific notation first: after rounding to 16 digits it names the leading digit's place.
  char work[kExponentTextSize + 8];
  std::to_chars_result result =
      std::to_chars(work, work + sizeof work - 1, value, std::chars_format::scientific, 15);
  *result.ptr = '\0';
  char* e = std::strchr(work, 'e');
  const int k = std::atoi(e + 1);
  if (k >= -1 && k <= 15) {
    result = std::to_chars(work, work + sizeof work - 2, value, std::chars_format::fixed, 15 - k);
    if (k == 15) *result.ptr++ = '.';  // no digit follows the point, but it stays
    *result.ptr = '\0';
    DropTrailingZeros(work, result.ptr);
  } else {
    // Three exponent digits, as "e-002": to_chars writes as few as two.
    const int magnitude = std::abs(k);
    char* digits = e + 2;
    digits[0] = static_cast<char>('0' + magnitude / 100);
    digits[1] = static_cast<char>('0' + magnitude / 10 % 10);
    digits[2] = static_cast<char>('0' + magnitude % 10);
    digits[3] = '\0';
    DropTrailingZeros(work, e);
  }
  CopyText(text, size, work);
}
