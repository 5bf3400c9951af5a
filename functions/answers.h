// What the seven worksheet functions answer, in the unit engine's own terms (UTF-8 texts and
// doubles), before any host gives the answer its own form: one place for what each function does,
// whichever interface of whichever spreadsheet asks.
#pragma once

#include "units/parser.h"

namespace answers {

// A unit text as a host passed it: UTF-8 (a null text is the empty text), or the mark of a text
// with more characters than the engine reads, which answers "string length too long".
struct UnitsArgument {
  UnitsArgument(const char* text) : utf8(text) {}  // NOLINT: a text is an argument as it stands
  static UnitsArgument TooLong() {
    UnitsArgument argument(nullptr);
    argument.too_long = true;
    return argument;
  }

  const char* utf8;
  bool too_long = false;
};

// One answer: a number, a text (a message or a unit text), or a number with the SI unit text it
// is expressed in, which a host shows as a row of two cells. A message never becomes a host
// error value.
struct Answer {
  enum Kind { kNumber, kText, kNumberWithUnits };
  // Only the text's first byte is set: an answer is made on every call, and most are numbers.
  Answer() { text[0] = '\0'; }

  Kind kind = kText;
  double number = 0.0;
  char text[kUnitTextSize];  // UTF-8, cut to whole characters; empty for kNumber
};

// Val converted from InUnits to OutUnits: a number, or the message of the first expression that
// fails to parse, "Inconsistent units", or "result out of range".
Answer Mensora(double Val, UnitsArgument InUnits, UnitsArgument OutUnits);

// Val in InUnits converted to SI units, with their unit text; or a message.
Answer ToMetric(double Val, UnitsArgument InUnits);

// Val in SI units converted to OutUnits, with the SI unit text of OutUnits; or a message.
Answer FromMetric(double Val, UnitsArgument OutUnits);

// The SI unit text of InUnits ("kg m / s^2 "), or the parser's message.
Answer ShowMetric(UnitsArgument InUnits);

// As ShowMetric, but naming eleven common derived units ("N", "J", "W", ...).
Answer ShowCommonMetric(UnitsArgument InUnits);

// 9.80665 with "m / s^2": standard gravity.
Answer Grav();

// 8.31446261815324 with "J / mol / degK": the molar gas constant.
Answer GasConst();

}  // namespace answers
