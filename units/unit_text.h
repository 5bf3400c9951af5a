// The SI unit text of a unit expression, such as "kg m^2 / s^2 ", with or without common names.
#pragma once

#include "parser.h"

// Writes the SI unit text of units_string into MKSunits_str (kUnitTextSize bytes). A non-empty
// text ends in one space; a dimensionless expression gives "". Returns 1, or 0 with the parser's
// message in error_string and MKSunits_str empty.
int MKSUnitsText(char* MKSunits_str, const char* units_string, char* error_string);

// As MKSUnitsText, but an expression whose dimension is exactly that of one of eleven common
// derived units gives that unit's name alone ("J", "N", "Pa", "W", "A", "F", "V", "ohm", "H",
// "Wb", "T"), without a trailing space.
int CommonMKSUnitsText(char* MKSunits_str, const char* units_string, char* error_string);

// The text CommonMKSUnitsText gives for an expression of these exponents (indexed by
// DimensionSlot): a common derived unit's name, or the text of FormatMKSUnits.
void FormatCommonMKSUnits(char* MKSunits_str, const double exponents[kDimensionCount]);

// Writes the unit text of the exponents (indexed by DimensionSlot): the positive terms,
// then "/ " and the negative ones (preceded by "1 " when there are no positive terms). An exponent
// whose whole part does not fit an int, or an infinite one, is written in the general format
// ("m^99999999999. ", "m^inf "); a NaN exponent is neither positive nor negative and writes
// nothing. MKSunits_str holds kUnitTextSize bytes; no text is ever longer.
void FormatMKSUnits(char* MKSunits_str, const double exponents[kDimensionCount]);

// Appends one term "label^exponent " to MKSunits_str. numerator 1 writes only a positive
// exponent and sets *had_numerator; numerator 0 writes only a negative one, as its absolute
// value. whole is the exponent's whole part; an exponent equal to it is written as an integer
// (and not at all when it is 1 or -1), any other in the 16-digit general format. MKSunits_str
// holds kUnitTextSize bytes; a text that would outgrow it is cut.
void AppendUnitTerm(char* MKSunits_str, const char* label, int whole, double exponent,
                    int numerator, int* had_numerator);
