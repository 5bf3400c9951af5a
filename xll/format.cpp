// printf-style formatting through a fixed buffer: long output is cut, never overflows.
#include "xll/format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

std::string FormatText(const char* format, ...) {
  if (!format) return std::string();
  char buffer[kFormatBufferSize] = {};
  va_list args;
  va_start(args, format);
  int written = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  // Some C libraries leave the buffer unterminated when the output does not fit.
  buffer[sizeof buffer - 1] = '\0';
  if (written >= 0 && static_cast<std::size_t>(written) < sizeof buffer) {
    return std::string(buffer, static_cast<std::size_t>(written));
  }
  return std::string(buffer, std::strlen(buffer));
}
