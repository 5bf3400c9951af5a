// The seven worksheet functions' answers: unit conversions and constants.
#include "functions/answers.h"

#include "units/conversion.h"
#include "units/parse_cache.h"
#include "units/text_buffer.h"
#include "units/unit_text.h"

namespace answers {
namespace {

Answer TextAnswer(const char* text) {
  Answer answer;
  CopyText(answer.text, sizeof answer.text, text);
  return answer;
}

Answer NumberAnswer(double number) {
  Answer answer;
  answer.kind = Answer::kNumber;
  answer.number = number;
  return answer;
}

Answer NumberWithUnits(double number, const char* units) {
  Answer answer = TextAnswer(units);
  answer.kind = Answer::kNumberWithUnits;
  answer.number = number;
  return answer;
}

// Parses a unit text through the calling thread's table of recently parsed texts. Returns 1, or
// 0 with the message of the first fault (an over-long text, then the parser's) in error_string.
int ReadUnits(UnitsArgument argument, ParsedUnit* parsed, char* error_string) {
  if (argument.too_long) {
    // The parser's own message, so that the cell says the same whoever refuses the text.
    CopyText(error_string, kUnitTextSize, "string length too long");
    return 0;
  }
  return ParseUnitsRemembered(argument.utf8 != nullptr ? argument.utf8 : "", parsed,
                              error_string);
}

using ValueConversion = int (*)(double* value, double x, const ParsedUnit& units,
                                char* error_string);
using UnitsText = void (*)(char* MKSunits_str, const double exponents[kDimensionCount]);

// ToMetric and FromMetric: the converted value beside the SI units of the expression.
Answer ConvertWithMKSUnits(ValueConversion convert, double Val, UnitsArgument units) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  double c_out = 0.0;
  if (!ReadUnits(units, &parsed, error_string) || !convert(&c_out, Val, parsed, error_string)) {
    return TextAnswer(error_string);
  }
  char MKSunits_str[kUnitTextSize];
  FormatMKSUnits(MKSunits_str, parsed.exponents);
  return NumberWithUnits(c_out, MKSunits_str);
}

// ShowMetric and ShowCommonMetric: the unit text that show_units writes for InUnits.
Answer ShowUnitsText(UnitsText show_units, UnitsArgument InUnits) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  if (!ReadUnits(InUnits, &parsed, error_string)) return TextAnswer(error_string);
  Answer answer;
  show_units(answer.text, parsed.exponents);
  return answer;
}

}  // namespace

Answer Mensora(double Val, UnitsArgument InUnits, UnitsArgument OutUnits) {
  // Each text is parsed once; the input's fault is the one the user sees first.
  ParsedUnit in_units;
  ParsedUnit out_units;
  char error_string[kUnitTextSize];
  double c_out = 0.0;
  if (!ReadUnits(InUnits, &in_units, error_string) ||
      !ReadUnits(OutUnits, &out_units, error_string) ||
      !ConvertValue(&c_out, Val, in_units, out_units, error_string)) {
    return TextAnswer(error_string);
  }
  return NumberAnswer(c_out);
}

Answer ToMetric(double Val, UnitsArgument InUnits) {
  return ConvertWithMKSUnits(ValueToMKS, Val, InUnits);
}

Answer FromMetric(double Val, UnitsArgument OutUnits) {
  return ConvertWithMKSUnits(ValueFromMKS, Val, OutUnits);
}

Answer ShowMetric(UnitsArgument InUnits) { return ShowUnitsText(FormatMKSUnits, InUnits); }

Answer ShowCommonMetric(UnitsArgument InUnits) {
  return ShowUnitsText(FormatCommonMKSUnits, InUnits);
}

// Both unit texts are written as they stand, not built from exponents (which would add a space).
// Standard gravity, exact by definition and the same as the catalogue's kgf and lbf use.
Answer Grav() { return NumberWithUnits(9.80665, "m / s^2"); }

// The molar gas constant, exact since 2019 as the Avogadro constant times the Boltzmann constant
// (6.02214076e23 / mol times 1.380649e-23 J / K).
Answer GasConst() { return NumberWithUnits(8.31446261815324, "J / mol / degK"); }

}  // namespace answers
