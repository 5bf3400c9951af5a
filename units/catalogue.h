// The fixed catalogue of named units: each unit's factor per SI unit and its physical dimension.
#pragma once

#include <cstddef>
#include <cstdint>

// Slots of a dimension vector, always in this order.
enum DimensionSlot {
  rad_exp,       // plane angle, radian
  s_exp,         // time, second
  kg_exp,        // mass, kilogram
  m_exp,         // length, metre
  degK_exp,      // absolute temperature, kelvin
  mol_exp,       // amount of substance, mole
  degKdiff_exp,  // temperature difference, kelvin
  coulomb_exp,   // electric charge, coulomb
  kDimensionCount
};

// A unit's dimension as whole exponents, indexed by DimensionSlot.
struct DimensionVector {
  int32_t exp[kDimensionCount];
};

// One catalogue row. factor is how many of this unit make one SI unit of its dimension
// ("cm" is 100, "km" 0.001); it is always greater than 0. definition says what one of the unit
// is, in other units ("12 in"), and is where the factor comes from.
struct UnitEntry {
  const char* name;
  double factor;
  DimensionVector dimension;
  const char* definition;
  double factor_rest;  // the exact factor less factor, to about eleven bits more
};

constexpr std::size_t kUnitCount = 224;

// The whole catalogue, sorted by CompareUnitNames.
extern const UnitEntry UnitCatalogue[kUnitCount];

// Orders names case-insensitively first, then byte by byte, so "Btu" < "btu" < "cal".
// Returns a negative, zero or positive number; zero only for byte-equal names.
int CompareUnitNames(const char* a, const char* b);

// Looks a name up, exactly and case-sensitively. Sets *factor and *dimension to the entry's
// values, or to 0.0 and all-zero exponents when the name is not in the catalogue.
void FindUnit(const char* name, double* factor, DimensionVector* dimension);

// The catalogue row of a name, exactly and case-sensitively, or nullptr.
const UnitEntry* FindUnitEntry(const char* name);
