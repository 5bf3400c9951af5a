// The seven worksheet functions: unit conversions and constants, answered as host cell values.
#include "functions/worksheet_functions.h"

#include <cstddef>

#include "functions/answers.h"
#include "platform/code_page.h"
#include "units/parser.h"
#include "xll/barrier.h"
#include "xll/cell_value.h"

namespace {

// Reads a text argument (in the host's code page) as the UTF-8 the engine reads, into buffer
// (kUnitsStringSize bytes); a null text is the empty text. A text of kUnitTextSize bytes or more
// is marked too long: the host promises at most 255, but a buffer on the stack must never depend
// on that promise. Each of those 255 characters takes at most three bytes of UTF-8, so a text the
// host passes always fits whole, and the parser reads as many characters as the host passed.
answers::UnitsArgument ReadUnitsArgument(const char* argument, char* buffer) {
  if (argument == nullptr) return "";
  std::size_t length = 0;
  unsigned char any_bytes = 0;
  while (length < kUnitTextSize && argument[length] != '\0') {
    any_bytes |= static_cast<unsigned char>(argument[length++]);
  }
  if (length == kUnitTextSize) return answers::UnitsArgument::TooLong();
  // ASCII, the common case, reads the same in every code page and in UTF-8.
  if (any_bytes < 0x80) return argument;
  platform::AnsiToUtf8(argument, buffer, kUnitsStringSize);
  return buffer;
}

// The answer as a cell value handed to the host. A text goes back in the host's code page (a
// character it lacks becomes '?'), cut to the 255 characters a cell's text holds; the unit text
// beside a number is the engine's own ASCII, the same in every code page.
XLOPER* ReturnAnswer(const answers::Answer& answer) {
  CXllValue xloResult;
  switch (answer.kind) {
    case answers::Answer::kNumber:
      xloResult.SetNumber(answer.number);
      break;
    case answers::Answer::kNumberWithUnits:
      xloResult.MakeArray(1, 2);
      xloResult.At(0, 0)->SetNumber(answer.number);
      xloResult.At(0, 1)->SetText(answer.text);
      break;
    case answers::Answer::kText: {
      char host_text[kUnitTextSize];
      platform::Utf8ToAnsi(answer.text, host_text, sizeof host_text);
      xloResult.SetText(host_text);
      break;
    }
  }
  return xloResult.ReturnToHost();
}

// Runs body behind the exception barrier and hands its answer to the host. A result that could
// not be built (the only thing that throws here is an exhausted heap) becomes the error value,
// which needs no allocation.
template <class Body>
XLOPER* Answered(Body&& body) noexcept {
  XLOPER* result =
      ExceptionBarrier<XLOPER*>(nullptr, [&] { return ReturnAnswer(body()); });
  return result != nullptr ? result : ReturnErrorToHost(xlerrValue);
}

}  // namespace

extern "C" {

XLOPER* __stdcall Mensora(double Val, const char* InUnits, const char* OutUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    char out_units[kUnitsStringSize];
    return answers::Mensora(Val, ReadUnitsArgument(InUnits, in_units),
                            ReadUnitsArgument(OutUnits, out_units));
  });
}

XLOPER* __stdcall ToMetric(double Val, const char* InUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    return answers::ToMetric(Val, ReadUnitsArgument(InUnits, in_units));
  });
}

XLOPER* __stdcall FromMetric(double Val, const char* OutUnits) {
  return Answered([&] {
    char out_units[kUnitsStringSize];
    return answers::FromMetric(Val, ReadUnitsArgument(OutUnits, out_units));
  });
}

XLOPER* __stdcall ShowMetric(const char* InUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    return answers::ShowMetric(ReadUnitsArgument(InUnits, in_units));
  });
}

XLOPER* __stdcall ShowCommonMetric(const char* InUnits) {
  return Answered([&] {
    char in_units[kUnitsStringSize];
    return answers::ShowCommonMetric(ReadUnitsArgument(InUnits, in_units));
  });
}

XLOPER* __stdcall Grav() {
  return Answered([] { return answers::Grav(); });
}

XLOPER* __stdcall GasConst() {
  return Answered([] { return answers::GasConst(); });
}

}  // extern "C"
