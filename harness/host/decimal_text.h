// Decimal numbers written as text: what the host accepts as a number in a formula or a cell.
#pragma once

#include <cstddef>
#include <string>

// The length of the decimal number at the start of text: an optional sign, digits with an
// optional fraction (or a fraction alone, ".5") and an optional exponent ("e-3"). Returns 0 when
// text does not start with one; never reads past the NUL.
std::size_t ScanDecimal(const char* text);

// Reads text that holds one decimal number and nothing else but blanks around it. Returns
// false (number untouched) for anything else: empty text, "1x", "inf", "0x10", or a number too
// large for a double.
bool ParseDecimal(const std::string& text, double* number);
