// How the parser reads a unit name: a catalogue name as it stands, else a symbol (Ω, °C, Å), else
// an SI prefix before a unit that takes one ("km", "µF", "kWh").
#pragma once

#include <cstddef>

#include "catalogue.h"
#include "double_double.h"

// An SI prefix: its text (UTF-8) and the power of ten it multiplies by.
struct UnitPrefix {
  const char* text;
  int power;
};
constexpr std::size_t kUnitPrefixCount = 26;
extern const UnitPrefix UnitPrefixes[kUnitPrefixCount];

// The catalogue names that take a prefix; so does the symbol Ω.
constexpr std::size_t kPrefixableUnitCount = 25;
extern const char* const PrefixableUnits[kPrefixableUnitCount];

// A symbol and the catalogue name it stands for.
struct UnitSymbol {
  const char* text;  // UTF-8
  const char* name;
  bool takes_prefix;
};
constexpr std::size_t kUnitSymbolCount = 11;
extern const UnitSymbol UnitSymbols[kUnitSymbolCount];

// Looks up a name that is not in the catalogue: as a symbol, then as a prefix before a unit of
// PrefixableUnits (or Ω), its factor scaled by the power of ten. Sets *factor (the catalogue's
// factor and its rest, see UnitEntry) and *dimension, or 0.0 and no exponents for a name that
// means nothing. Returns the catalogue name a symbol stands for, "" for a prefixed unit, or
// nullptr when the name means nothing.
const char* LookUpSymbolOrPrefixed(const char* name, Double2* factor, DimensionVector* dimension);

// Looks name up as the parser reads it: a catalogue name always wins, so "min", "mm" and "Mg"
// keep their catalogue meaning; then come the symbols and the prefixed units. Returns the
// catalogue name the name reads as (the name itself, or the name a symbol stands for), "" for a
// prefixed unit, or nullptr when the name means nothing.
inline const char* LookUpUnit(const char* name, Double2* factor, DimensionVector* dimension) {
  if (const UnitEntry* entry = FindUnitEntry(name)) {
    *factor = {entry->factor, entry->factor_rest};
    *dimension = entry->dimension;
    return name;
  }
  return LookUpSymbolOrPrefixed(name, factor, dimension);
}
