// printf-style formatting into a standard string, for the framework's messages and host texts.
#pragma once

#include <cstddef>
#include <string>

#if defined(__GNUC__)
#define MENSORA_PRINTF_FORMAT(format_index, first_arg) \
  __attribute__((format(printf, format_index, first_arg)))
#else
#define MENSORA_PRINTF_FORMAT(format_index, first_arg)
#endif

// The formatter works through a buffer of this size, so a result holds at most one byte less.
constexpr std::size_t kFormatBufferSize = 2048;

// Returns format filled in as printf would, cut to kFormatBufferSize - 1 characters when longer.
// A null format, or output the C library cannot produce, gives what was written before the
// failure (possibly "").
std::string FormatText(const char* format, ...) MENSORA_PRINTF_FORMAT(1, 2);
