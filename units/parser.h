// The unit-expression parser: reduces a text such as "kg m/s^2" to a factor, offset and dimension.
//
// The language, for users (texts are UTF-8):
//   "kg m", "kg*m", "kg·m", "N×m"   a product: units side by side, with blanks or any character
//                                   that is not a letter, digit, '.', '%', '^', '/', '(' or ')'
//                                   between them (the middle dot, dot operator, multiplication
//                                   sign and no-break spaces count as blanks)
//   "m^2", "s^-1", "m^0.5", "m²", "s⁻¹"
//                                   a power: '^' and a number right after a unit, a minus sign
//                                   (or U+2212) between them (blanks allowed) making it negative;
//                                   or superscript digits, with a superscript minus before them
//   "m2", "cm3", "s-1", "kg m-3", "W m−2"
//                                   a power written right after a unit's name: digits, or a
//                                   minus sign and digits; "m 2" is a misplaced number, and a '-'
//                                   between two names still multiplies them ("N-m")
//   "m/s", "kg/m s", "J / mol / K"  everything after the first '/' is divided out, to the end of
//                                   the text or of the group it stands in: "kg/m s" is kg per
//                                   metre per second
//   "miles per hour", "square feet", "cu in", "metres squared"
//                                   "per" divides as '/' does (no number may follow it);
//                                   "square"/"sq" and "cubic"/"cu" raise the unit after them,
//                                   "squared" and "cubed" the unit before them
//   "(m/s)^2", "1/(m/s)", "W/(m K)" a group in parentheses is one unit: it can be raised to a
//                                   power and divided by, and a '/' inside it divides only to its
//                                   ')'. Groups nest up to 16 deep.
//   "m^3/2", "m/2"                  a number right after '/' divides the power of the unit before
//                                   it: "m^3/2" is the metre to the power 1.5, "m/2" its root
//   "1/s"                           the number "1" standing alone is ignored (except as the power
//                                   after a minus sign), so "1/s" equals "/s"
//   "feet", "miles", "litres", "degrees Celsius", "fl oz", "pound-force"
//                                   a unit's full names, and their plurals; the names of two
//                                   words, with blanks or one '-' between the words
//   "km", "µF", "uF", "kWh", "hPa", "kilometres", "megohm"
//                                   an SI prefix (q r y z a f p n µ μ u m c d da h k M G T P E Z
//                                   Y R Q, or its word, quecto to quetta) before a unit that takes
//                                   one; a spelling of the catalogue always wins, so "min", "mm",
//                                   "Mg" and "PS" keep their meaning
//   "Ω", "°C", "℃", "°F", "°", "Å", "%"
//                                   symbols: the ohm, temperatures, the degree of angle, the
//                                   angstrom, the hundredth
// Unit names are case-sensitive ("kg", "degF"); an unknown name is reported with the names near
// it ("Unknown unit 'KM' (did you mean km?)"). Any character beyond ASCII belongs to the name it
// touches, so an unknown one is reported, never skipped. A lone temperature on a scale with an
// offset ("degC", "degF", "°C", "degrees Fahrenheit"; nothing else counted) carries that offset,
// so a temperature converts; anything more turns it into a plain factor ("degC-1" is per degree).
#pragma once

#include "catalogue.h"

// Size of the engine's fixed text buffers (messages, unit texts, tokens): at most 255 bytes and
// the NUL. An expression may have at most kMaxUnitsCharacters characters.
constexpr std::size_t kUnitTextSize = 256;
constexpr std::size_t kMaxUnitsCharacters = kUnitTextSize - 1;

// Room for any expression the parser reads, in UTF-8: 255 characters of up to four bytes each.
constexpr std::size_t kUnitsStringSize = 4 * kMaxUnitsCharacters + 1;

// How deep groups may nest.
constexpr int kMaxGroupDepth = 16;

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
// 255 bytes of whole characters; a longer run is cut) into token; the end of the text gives the
// empty token. Returns 1, or 0 on a number with two decimal points, with the message in
// error_string (cleared on every call).
int NextToken(const char* text, int* position, char* token, char* error_string);

// Parses units_string (UTF-8) into *parsed. Returns 1 with error_string empty, or 0 with exactly
// one message in error_string ("Unknown unit 'xyz'", with the names near it if any, "^ in wrong
// place", "number in wrong place", "square in wrong place" (and so for the other words of powers),
// "divide by zero", "Error: two decimal points in ...", "Unbalanced parentheses", "Parentheses
// nested more than 16 deep", or "string length too long" for a text of more than 255
// characters); on failure *parsed may hold partial values. error_string must hold kUnitTextSize
// bytes; a message is cut to fit, never inside a character.
int ParseUnits(const char* units_string, ParsedUnit* parsed, char* error_string);
