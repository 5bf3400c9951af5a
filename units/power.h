// Raising a number to a power, to the same last bit in every build of the engine.
#pragma once

#include "double_double.h"

// base raised to power, rounded once to the nearest double: the products of whole powers up to
// 1024 and the logarithm and exponential of every other power are carried in twice the double
// precision, so the result is the correctly rounded one except when the exact value lies within
// about 2^-90 of a halfway point between two doubles. Needs no library routine whose result
// could differ between platforms, and takes nothing from the heap.
//
// The special values are those of the C library's pow: anything to the power 0, and 1 to any
// power, is 1; a negative base with a power that is not whole gives NaN; 0 to a negative power
// is an infinity; results beyond the double range are infinities, and below it zero.
double RaiseToPower(double base, double power);

// base, given as hi + lo (|lo| at most half an ulp of hi), raised to power to about 100 bits, for
// a caller that goes on computing with the result and rounds once at the end. The same as
// RaiseToPower(base.hi, power) with no low part outside the range of moderate bases (2^-200 to
// 2^200) and powers (up to 64 either way), and for results beyond 2^+-900.
Double2 RaiseToPowerExtended(Double2 base, double power);
