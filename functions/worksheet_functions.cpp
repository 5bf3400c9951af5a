// The seven worksheet functions: unit conversions and constants, answered as host cell values.
#include "functions/worksheet_functions.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/code_page.h"
#include "units/conversion.h"
#include "units/parse_cache.h"
#include "units/parser.h"
#include "units/unit_text.h"
#include "xll/barrier.h"
#include "xll/cell_value.h"

namespace {

// The parser's own message for a text it will not read, so that the cell says the same thing
// whether the function or the parser refuses it.
constexpr char kTooLong[] = "string length too long";

// Copies a text argument (in the host's code page) into buffer (kUnitsStringSize bytes) as the
// UTF-8 the engine reads; a null text is the empty text. Returns 1, or 0 with buffer empty and
// "string length too long" in error_string when the text has kUnitTextSize bytes or more. The
// host promises at most 255, but a buffer on the stack must never depend on that promise. Each
// of those 255 characters takes at most three bytes of UTF-8, so a text the host passes always
// fits whole, and the parser reads as many characters as the host passed.
int CopyUnitsArgument(char* buffer, const char* argument, char* error_string) {
  buffer[0] = '\0';
  error_string[0] = '\0';
  if (argument == nullptr) return 1;
  std::size_t length = 0;
  unsigned char any_bytes = 0;
  while (length < kUnitTextSize && argument[length] != '\0') {
    any_bytes |= static_cast<unsigned char>(argument[length++]);
  }
  if (length == kUnitTextSize) {
    std::memcpy(error_string, kTooLong, sizeof kTooLong);
    return 0;
  }
  // ASCII, the common case, reads the same in every code page and in UTF-8.
  if (any_bytes < 0x80) {
    std::memcpy(buffer, argument, length + 1);
  } else {
    platform::AnsiToUtf8(argument, buffer, kUnitsStringSize);
  }
  return 1;
}

// A message or unit text from the engine, back in the host's code page (a character it lacks
// becomes '?') and cut to the 255 characters a cell's text holds.
XLOPER* ReturnText(const char* text) {
  char host_text[kUnitTextSize];
  platform::Utf8ToAnsi(text, host_text, sizeof host_text);
  CXllValue xloResult;
  xloResult.SetText(host_text);
  return xloResult.ReturnToHost();
}

XLOPER* ReturnNumber(double number) {
  CXllValue xloResult(number);
  return xloResult.ReturnToHost();
}

// The one-row answer of a value and the units it is expressed in. The unit text is the engine's
// own ASCII (or a constant), the same in every code page.
XLOPER* ReturnValueWithUnits(double value, const char* units) {
  CXllValue xloResult;
  xloResult.MakeArray(1, 2);
  xloResult.At(0, 0)->SetNumber(value);
  xloResult.At(0, 1)->SetText(units);
  return xloResult.ReturnToHost();
}

// Runs body behind the exception barrier. A result that could not be built (the only thing that
// throws here is an exhausted heap) becomes the error value, which needs no allocation.
template <class Body>
XLOPER* Guarded(Body&& body) noexcept {
  XLOPER* result = ExceptionBarrier<XLOPER*>(nullptr, std::forward<Body>(body));
  return result != nullptr ? result : ReturnErrorToHost(xlerrValue);
}

// Reads a text argument as the engine's expression and parses it, through the calling thread's
// table of recently parsed texts. Returns 1, or 0 with the message of the first fault (an
// over-long text, then the parser's) in error_string.
int ReadUnitsArgument(const char* argument, ParsedUnit* parsed, char* error_string) {
  char units_string[kUnitsStringSize];
  if (!CopyUnitsArgument(units_string, argument, error_string)) return 0;
  return ParseUnitsRemembered(units_string, parsed, error_string);
}

using ValueConversion = int (*)(double* value, double x, const ParsedUnit& units,
                                char* error_string);
using UnitsText = void (*)(char* MKSunits_str, const double exponents[kDimensionCount]);

// ToMetric and FromMetric: the converted value beside the SI units of the expression.
XLOPER* ConvertWithMKSUnits(ValueConversion convert, double Val, const char* units) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  double c_out = 0.0;
  if (!ReadUnitsArgument(units, &parsed, error_string) ||
      !convert(&c_out, Val, parsed, error_string)) {
    return ReturnText(error_string);
  }
  char MKSunits_str[kUnitTextSize];
  FormatMKSUnits(MKSunits_str, parsed.exponents);
  return ReturnValueWithUnits(c_out, MKSunits_str);
}

// ShowMetric and ShowCommonMetric: the unit text that show_units writes for InUnits.
XLOPER* ShowUnitsText(UnitsText show_units, const char* InUnits) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  if (!ReadUnitsArgument(InUnits, &parsed, error_string)) return ReturnText(error_string);
  char out_units_string[kUnitTextSize];
  show_units(out_units_string, parsed.exponents);
  return ReturnText(out_units_string);
}

}  // namespace

extern "C" {

XLOPER* __stdcall Mensora(double Val, const char* InUnits, const char* OutUnits) {
  return Guarded([&] {
    // Each text is parsed once; the input's fault is the one the user sees first.
    ParsedUnit in_units;
    ParsedUnit out_units;
    char error_string[kUnitTextSize];
    double c_out = 0.0;
    if (!ReadUnitsArgument(InUnits, &in_units, error_string) ||
        !ReadUnitsArgument(OutUnits, &out_units, error_string) ||
        !ConvertValue(&c_out, Val, in_units, out_units, error_string)) {
      return ReturnText(error_string);
    }
    return ReturnNumber(c_out);
  });
}

XLOPER* __stdcall ToMetric(double Val, const char* InUnits) {
  return Guarded([&] { return ConvertWithMKSUnits(ValueToMKS, Val, InUnits); });
}

XLOPER* __stdcall FromMetric(double Val, const char* OutUnits) {
  return Guarded([&] { return ConvertWithMKSUnits(ValueFromMKS, Val, OutUnits); });
}

XLOPER* __stdcall ShowMetric(const char* InUnits) {
  return Guarded([&] { return ShowUnitsText(FormatMKSUnits, InUnits); });
}

XLOPER* __stdcall ShowCommonMetric(const char* InUnits) {
  return Guarded([&] { return ShowUnitsText(FormatCommonMKSUnits, InUnits); });
}

// Both unit texts are written as they stand, not built from exponents (which would add a space).
// Standard gravity, exact by definition and the same as the catalogue's kgf and lbf use.
XLOPER* __stdcall Grav() {
  return Guarded([] { return ReturnValueWithUnits(9.80665, "m / s^2"); });
}

// The molar gas constant, exact since 2019 as the Avogadro constant times the Boltzmann constant
// (6.02214076e23 / mol times 1.380649e-23 J / K).
XLOPER* __stdcall GasConst() {
  return Guarded([] { return ReturnValueWithUnits(8.31446261815324, "J / mol / degK"); });
}

}  // extern "C"
