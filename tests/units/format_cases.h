// Runs a table of numbers and the texts they must format to through one formatting routine.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <utility>

using FormatCase = std::pair<double, const char*>;

// Formats each number into a buffer of BufferSize bytes, the size callers give, and compares.
template <std::size_t BufferSize, std::size_t CaseCount>
void ExpectFormats(void (*format)(double, char*, std::size_t),
                   const FormatCase (&cases)[CaseCount]) {
  static_assert(CaseCount > 0, "an empty table tests nothing");
  for (const FormatCase& format_case : cases) {
    char text[BufferSize];
    format(format_case.first, text, sizeof text);
    EXPECT_STREQ(text, format_case.second) << format_case.first;
  }
}
