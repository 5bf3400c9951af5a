// Number display: 15 significant digits as a cell shows them, or the shortest exact decimal.
#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

void FormatCellNumber(double number, char* buffer, std::size_t size) {
  if (size == 0) return;
  if (number == 0.0) number = 0.0;  // a cell never shows "-0"
  // The digits of printf's "%.15g", without the C library's printf, which under mingw-w64 takes
  // a lock that every thread formatting a number shares.
  std::to_chars_result r =
      std::to_chars(buffer, buffer + size - 1, number, std::chars_format::general, 15);
  if (r.ec != std::errc()) {
    std::snprintf(buffer, size, "%.15g", number);
    return;
  }
  *r.ptr = '\0';
}

void FormatRoundTrip(double number, char* buffer, std::size_t size) {
  if (size == 0) return;
  std::to_chars_result r = std::to_chars(buffer, buffer + size - 1, number);
  if (r.ec != std::errc()) {
    std::snprintf(buffer, size, "%.17g", number);
    return;
  }
  *r.ptr = '\0';
}
