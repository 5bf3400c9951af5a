// The conversions both engines are timed on: our unit texts beside the peer's for the same units.
// Each pair converts the same two texts on every call, as a column of formulas does, so that
// Mensora answers from its table of recently parsed texts; the cold pair (ColdSpellings) does
// not let it.
#pragma once

#include <cstddef>

// One conversion of the value 1. The peer reads most of our texts as they stand; where its
// vocabulary differs (its "gal" is the galileo, an acceleration) it gets its own name.
struct ConversionPair {
  const char* in_units;
  const char* out_units;
  const char* peer_in_units;
  const char* peer_out_units;
};

constexpr ConversionPair kConversionPairs[] = {
    {"mi/hr", "m/s", "mi/hr", "m/s"},
    {"ft", "in", "ft", "in"},
    {"degC", "degF", "degC", "degF"},
    {"lbf/in^2", "kPa", "lbf/in^2", "kPa"},
    {"kg m/s^2", "lbf", "kg m/s^2", "lbf"},
    {"J / mol / degK", "Btu / kmol / degR", "J / mol / degK", "Btu / kmol / degR"},
    {"atm", "psi", "atm", "psi"},
    {"gal", "L", "gallon", "L"},
    {"hp", "kW", "hp", "kW"},
    {"kg m^2 / s^3 / A", "W / A", "kg m^2 / s^3 / A", "W / A"},
};

constexpr std::size_t kConversionPairCount = sizeof kConversionPairs / sizeof kConversionPairs[0];
