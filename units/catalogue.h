// The fixed catalogue of named units: each unit's factor per SI unit and its physical dimension.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "name_index.h"
#include "spelling.h"

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
  cd_exp,        // luminous intensity, candela
  kDimensionCount
};

// A unit's dimension as whole exponents, indexed by DimensionSlot.
struct DimensionVector {
  int32_t exp[kDimensionCount];
};

// Which SI prefixes a unit takes: its name, its symbols beyond ASCII ("kΩ") and its words
// ("kilometre") take them.
enum PrefixRule : uint8_t {
  kNoPrefix,
  kAnyPrefix,
  kSmallPrefixes,  // below one only: milli, micro, ... ("mM", but not "MM")
  kLargePrefixes,  // above one only: kilo, mega, ... ("Mpc")
};

// Who writes a unit; the catalogue groups its rows so.
enum class Trade : uint8_t {
  kSI, kMetric, kCustomary, kNautical, kMechanical, kElectrical, kPhotometry, kRadiation,
  kAstronomy, kChemistry, kViscosity, kGauges, kFuels, kOilGas, kCooking, kCalendar, kTypography,
  kTextiles, kHistorical,
};

// The name of a trade, as the unit reference writes it ("oil and gas").
const char* TradeName(Trade trade);

// One catalogue row. factor is how many of this unit make one SI unit of its dimension
// ("cm" is 100, "km" 0.001); it is always greater than 0. definition says what one of the unit
// is, in other units ("12 in"), and is where the factor comes from.
struct UnitEntry {
  const char* name;
  double factor;
  DimensionVector dimension;
  const char* definition;
  double factor_rest;  // the exact factor less factor, to about eleven bits more
  double offset;       // the value of absolute zero on the unit's scale (degC -273.15), or 0
  PrefixRule prefixes;
  Trade trade;
  const char* words;   // full names, '|' between them; read in the plural too
  const char* forms;   // other spellings, '|' between them, read as they stand
};

// How many rows the catalogue has, counted from its source.
constexpr std::size_t kUnitCount = 0
#define CONSTANT(...)
#define UNIT(...) +1
#define SCALE(...) +1
#include "catalogue_data.inc"
#undef SCALE
#undef UNIT
#undef CONSTANT
    ;

// The whole catalogue, sorted by CompareUnitNames.
extern const std::array<UnitEntry, kUnitCount> UnitCatalogue;

// Orders names case-insensitively first, then byte by byte, so "Btu" < "btu" < "cal".
// Returns a negative, zero or positive number; zero only for byte-equal names.
int CompareUnitNames(const char* a, const char* b);

// Looks a spelling up (a row's name, one of its forms, words or their plurals), exactly and
// case-sensitively. Sets *factor and *dimension to the row's values, or to 0.0 and all-zero
// exponents when the catalogue has no such spelling.
void FindUnit(const char* name, double* factor, DimensionVector* dimension);

// The catalogue row of a spelling, exactly and case-sensitively, or nullptr.
const UnitEntry* FindUnitEntry(const char* name);

// The index of every spelling of the catalogue.
extern const NameIndexView SpellingIndex;

// The spelling equal to text, exactly and case-sensitively, or nullptr. Its row is kNoRow when
// it is only the first word of spellings of two words ("fl" of "fl oz").
const Spelling* FindSpelling(const char* text);

// The same for a text of length bytes; inline, for the parser asks it of every name.
inline const Spelling* FindSpelling(const char* text, std::size_t length) {
  return length <= kLongestSpelling ? SpellingIndex.Find(text, length) : nullptr;
}

// Every spelling of the catalogue, each once: SpellingAt(0) to SpellingAt(SpellingCount() - 1).
inline std::size_t SpellingCount() { return SpellingIndex.count; }
inline const Spelling& SpellingAt(std::size_t index) { return SpellingIndex.spellings[index]; }
