// Converting values between unit expressions and SI units, and the consistency test.
#pragma once

#include "parser.h"

// Every routine returns 1 on success and 0 on failure; on failure error_string (kUnitTextSize
// bytes, owned by the caller) holds the parser's message, "Inconsistent units" or
// "result out of range" (a result that is not a finite number).

// *value = (x - offset) / factor of units_string; 0.0 on failure.
int ValueToMKS(double* value, double x, const char* units_string, char* error_string);

// *value = x * factor + offset of units_string; 0.0 on failure.
int ValueFromMKS(double* value, double x, const char* units_string, char* error_string);

// Succeeds when both expressions parse and their exponents are exactly equal.
int CheckConsistentUnits(const char* in_units_string, const char* out_units_string,
                         char* error_string);

// Converts x from in_units_string to out_units_string: the consistency test, then into SI units
// and out again. *value is the result, or 0.0 on failure with the first message met.
int ConvertValue(double* value, double x, const char* in_units_string,
                 const char* out_units_string, char* error_string);

// The same operations on expressions already parsed, for a caller that has parsed a text once
// and uses it more than once: the same results and the same messages, but a parser's message
// cannot arise, since nothing is parsed again.
int ValueToMKS(double* value, double x, const ParsedUnit& units, char* error_string);
int ValueFromMKS(double* value, double x, const ParsedUnit& units, char* error_string);
int CheckConsistentUnits(const ParsedUnit& in_units, const ParsedUnit& out_units,
                         char* error_string);
int ConvertValue(double* value, double x, const ParsedUnit& in_units,
                 const ParsedUnit& out_units, char* error_string);
