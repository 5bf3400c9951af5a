// The unit-expression parser: reduces a text such as "kg m/s^2" to a factor, offset and dimension.
//
// The language, for users:
//   expression := term*            terms are separated by blanks or any character that is not
//                                  a letter, digit, '.', '^' or '/'
//   term       := NAME | NAME '^' NUMBER | '/' | '/' NUMBER
//   NAME       := a unit name from the catalogue, letters only, case-sensitive ("kg", "degF")
//   NUMBER     := digits with at most one '.' (".5", "2.", "0.25")
// Everything after the first '/' that is followed by a unit name is divided out, to the end of
// the text: "kg/m s" is kg per metre per second. A number straight after '/' divides the power
// of the unit before it: "m^3/2" is the metre to the power 1.5, "m/2" its square root. The
// number "1" is ignored wherever it stands, so "1/s" equals "/s". Parentheses and '-' are mere
// separators: "m^-2" equals "m^2". A lone "degC" or "degF" (nothing else counted) carries the
// offset of its scale, so a temperature converts; anything more turns it into a plain factor.
#pragma once

#include "catalogue.h"

// Size of every text buffer of the unit engine: at most 255 characters and the NUL.
constexpr std::size_t kUnitTextSize = 256;

// The offsets that a lone "degC" or "degF" carries: the value of 0 kelvin on each scale.
constexpr double kCelsiusOffset = -273.15;
constexpr double kFahrenheitOffset = -459.67;

// The result of a parse. A value converts to SI as (value - offset) / factor and back as
// value * factor + offset.
struct ParsedUnit {
  double factor;
  double offset;
  double exponents[kDimensionCount];  // indexed by DimensionSlot; may be fractional
};

// Reads the next token of text from *position and advances it. Writes the token text (at most
// 255 characters) into token; the end of the text gives the empty token. Returns 1, or 0 on a
// number with two decimal points, with the message in error_string (cleared on every call).
int NextToken(const char* text, int* position, char* token, char* error_string);

// Parses units_string into *parsed. Returns 1 with error_string empty, or 0 with exactly one
// message in error_string ("Unknown unit 'xyz'", "^ in wrong place", "number in wrong place",
// "divide by zero", "Error: two decimal points in ...", "string length too long"); on failure
// *parsed may hold partial values. error_string must hold kUnitTextSize bytes.
int ParseUnits(const char* units_string, ParsedUnit* parsed, char* error_string);
