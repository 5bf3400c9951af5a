// The general format in which the unit text writes an exponent that is not a whole number.
#pragma once

#include <cstddef>

// Room for any exponent in the general format ("1.234567890123457e-300" and its NUL).
constexpr std::size_t kExponentTextSize = 25;

// Writes value with 16 significant digits: fixed notation when its leading digit stands from
// the tenths to the 10^15 place ("0.5", "1.5", "0.3333333333333333"), else one digit, '.',
// 15 digits, "e", a sign and three exponent digits ("5.e-002"); trailing zeros of the fraction
// are dropped but the point stays. An infinity is "inf" or "-inf", NaN "nan". The text is cut to
// size - 1 characters; size must be at least 1.
void FormatGeneralExponent(double value, char* text, std::size_t size);
