// Decimal number scanning, shared by the formula reader, coercion and result checks.
#include "decimal_text.h"

#include <cctype>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {
std::size_t Digits(const char* text) {
  std::size_t n = 0;
  while (std::isdigit(static_cast<unsigned char>(text[n]))) ++n;
  return n;
}
}  // namespace

std::size_t ScanDecimal(const char* text) {
  std::size_t n = 0;
  if (text[n] == '+' || text[n] == '-') ++n;
  std::size_t whole = Digits(text + n);
  n += whole;
  std::size_t fraction = 0;
  if (text[n] == '.') {
    fraction = Digits(text + n + 1);
    if (whole == 0 && fraction == 0) return 0;
    n += 1 + fraction;
  }
  if (whole == 0 && fraction == 0) return 0;
  // An exponent counts only when digits follow it: "2e" is the number 2 and a stray letter.
  if (text[n] == 'e' || text[n] == 'E') {
    std::size_t e = n + 1;
    if (text[e] == '+' || text[e] == '-') ++e;
    std::size_t exponent = Digits(text + e);
    if (exponent > 0) n = e + exponent;
  }
  return n;
}

bool ParseDecimal(const std::string& text, double* number) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return false;
  std::size_t end = text.find_last_not_of(' ') + 1;
  std::string body = text.substr(begin, end - begin);
  if (ScanDecimal(body.c_str()) != body.size()) return false;
  // from_chars reads without the C library's strtod, which under mingw-w64 takes a lock that
  // every thread reading a number shares; it takes no '+', and leaves a number beyond the range
  // of a double to strtod, which tells a value too small (read as zero) from one too large.
  const char* first = body.c_str() + (body[0] == '+' ? 1 : 0);
  double value = 0;
  const std::from_chars_result read = std::from_chars(first, body.c_str() + body.size(), value);
  if (read.ec == std::errc::result_out_of_range) {
    errno = 0;
    value = std::strtod(body.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(value)) return false;
  }
  *number = value;
  return true;
}
