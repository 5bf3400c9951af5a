// How numbers are shown to people: as a spreadsheet cell shows them, or exactly.
#pragma once

#include <cstddef>

// Room enough for any double in either form.
constexpr std::size_t kNumberTextSize = 32;

// Writes number with at most 15 significant digits and no trailing zeros, as a cell in the
// general format shows it: "12", "0.3048", "212", "1e+300". Negative zero shows as "0"; an
// infinity or NaN (which the engine never hands on) as "inf", "-inf" or "nan".
void FormatCellNumber(double number, char* buffer, std::size_t size);

// Writes the shortest decimal that reads back as exactly the same double ("0.30479999999999996").
void FormatRoundTrip(double number, char* buffer, std::size_t size);
