// How the parser reads a unit name: a spelling of the catalogue as it stands (a row's name, one
// of its forms, words or their plurals), else an SI prefix before a unit that takes it, written
// as a symbol ("km", "µF", "kWh", "kΩ") or as a word ("kilometre", "megohms").
#pragma once

#include <cstddef>
#include <cstring>

#include "catalogue.h"
#include "double_double.h"

// An SI prefix: the power of ten it multiplies by, its symbols and its words ('|' between them).
struct UnitPrefix {
  int power;
  const char* symbols;
  const char* words;
};
constexpr std::size_t kUnitPrefixCount = 24;
extern const UnitPrefix UnitPrefixes[kUnitPrefixCount];

// Whether row takes the prefix of this power.
inline bool TakesPrefix(const UnitEntry& row, int power) {
  switch (row.prefixes) {
    case kAnyPrefix: return true;
    case kSmallPrefixes: return power < 0;
    case kLargePrefixes: return power > 0;
    default: return false;
  }
}

// What a name reads as.
struct UnitReading {
  Double2 factor = {0.0, 0.0};     // the unit's factor and its rest (see UnitEntry), scaled by
                                   // the prefix; 0 when the name means nothing
  const UnitEntry* unit = nullptr;  // the row read, before any prefix; nullptr for none
  int prefix_power = 0;             // the power of ten of the prefix, 0 for none
  bool starts_phrase = false;       // the name may begin a spelling of two words ("fl" of "fl oz")
};

// Reads a name that no spelling of the catalogue has as a prefix and a unit that takes it: the
// prefix's symbol before the unit's name or its symbols beyond ASCII ("kΩ"), or the prefix's word
// before one of the unit's words or their plurals ("kilometres"); a prefix word ending in a vowel
// may drop it before a word that begins with one ("megohm"), unless another prefix word would
// then read the same ("dec" of deci and deca). Gives factor 0 and no unit when the
// name means nothing.
UnitReading ReadPrefixedName(const char* name);

// Reads name (length bytes, then a NUL) as the parser does: a spelling of the catalogue always
// wins, so "min", "mm" and "Mg" keep their meaning; then come the prefixed units.
inline UnitReading ReadUnitName(const char* name, std::size_t length) {
  const Spelling* spelling = FindSpelling(name, length);
  if (spelling != nullptr && spelling->row != kNoRow) {
    const UnitEntry& row = UnitCatalogue[spelling->row];
    return {{row.factor, row.factor_rest}, &row, 0, spelling->starts_phrase};
  }
  UnitReading reading = ReadPrefixedName(name);
  reading.starts_phrase = spelling != nullptr;
  return reading;
}

inline UnitReading ReadUnitName(const char* name) { return ReadUnitName(name, std::strlen(name)); }
