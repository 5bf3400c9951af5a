// Unit names beyond the catalogue's: symbols and SI prefixes.
#include "unit_lookup.h"

#include "text_buffer.h"

constexpr UnitPrefix UnitPrefixes[kUnitPrefixCount] = {
    {"q", -30}, {"r", -27}, {"y", -24}, {"z", -21}, {"a", -18}, {"f", -15}, {"p", -12},
    {"n", -9},  {"\xC2\xB5", -6},  // µ, the micro sign
    {"\xCE\xBC", -6},              // μ, the Greek letter
    {"u", -6},  {"m", -3},  {"c", -2},  {"d", -1},  {"da", 1}, {"h", 2},   {"k", 3},
    {"M", 6},   {"G", 9},   {"T", 12},  {"P", 15},  {"E", 18}, {"Z", 21},  {"Y", 24},
    {"R", 27},  {"Q", 30},
};

constexpr const char* PrefixableUnits[kPrefixableUnitCount] = {
    "m", "g", "s", "A", "K", "mol", "N", "Pa", "J", "W", "C", "V", "F", "ohm", "S", "H", "Wb",
    "T", "Hz", "L", "l", "bar", "eV", "Wh", "Ah"};

constexpr UnitSymbol UnitSymbols[kUnitSymbolCount] = {
    {"\xCE\xA9", "ohm", true},          // Ω, the Greek capital omega
    {"\xE2\x84\xA6", "ohm", true},      // Ω, the ohm sign
    {"\xC2\xB0" "C", "degC", false},    // °C
    {"\xE2\x84\x83", "degC", false},    // ℃
    {"\xC2\xB0" "F", "degF", false},    // °F
    {"\xE2\x84\x89", "degF", false},    // ℉
    {"\xC2\xB0" "K", "degK", false},    // °K
    {"\xC2\xB0" "R", "degR", false},    // °R
    {"\xC2\xB0", "deg", false},         // °, the degree of angle
    {"\xC3\x85", "angstrom", false},    // Å, the letter
    {"\xE2\x84\xAB", "angstrom", false} // Å, the angstrom sign
};

namespace {

// A table shorter than its declared size would end in empty rows without a word from the compiler.
template <class Row, std::size_t count>
constexpr bool EveryRowFilled(const Row (&rows)[count]) {
  for (const Row& row : rows) {
    if (row.text == nullptr) return false;
  }
  return true;
}
static_assert(EveryRowFilled(UnitPrefixes) && EveryRowFilled(UnitSymbols), "a table lacks rows");
static_assert(PrefixableUnits[kPrefixableUnitCount - 1] != nullptr, "a table lacks rows");

// The symbol that text is, or nullptr.
const UnitSymbol* FindSymbol(const char* text) {
  for (const UnitSymbol& symbol : UnitSymbols) {
    if (SameText(text, symbol.text)) return &symbol;
  }
  return nullptr;
}

// The catalogue name of a unit that takes a prefix, or nullptr when text names none.
const char* PrefixableName(const char* text) {
  for (const char* name : PrefixableUnits) {
    if (SameText(text, name)) return name;
  }
  const UnitSymbol* symbol = FindSymbol(text);
  return symbol != nullptr && symbol->takes_prefix ? symbol->name : nullptr;
}

// The rest of name after prefix, or nullptr when name does not start with it.
const char* AfterPrefix(const char* name, const char* prefix) {
  while (*prefix != '\0') {
    if (*name++ != *prefix++) return nullptr;
  }
  return name;
}

// Ten to the power, for the prefixes' powers: exact up to 1e22, to about 106 bits beyond.
struct PowersOfTen {
  Double2 value[31];
};

constexpr PowersOfTen MakePowersOfTen() {
  PowersOfTen powers{};
  powers.value[0] = Exact(1.0);
  for (int k = 1; k <= 30; ++k) powers.value[k] = Multiply(powers.value[k - 1], 10.0);
  return powers;
}

constexpr PowersOfTen kPowersOfTen = MakePowersOfTen();

// The catalogue entry of a name, as its factor and rest; false for no name of the catalogue.
bool FindFactor(const char* name, Double2* factor, DimensionVector* dimension) {
  const UnitEntry* entry = FindUnitEntry(name);
  if (entry == nullptr) return false;
  *factor = {entry->factor, entry->factor_rest};
  *dimension = entry->dimension;
  return true;
}

}  // namespace

const char* LookUpSymbolOrPrefixed(const char* name, Double2* factor, DimensionVector* dimension) {
  *factor = Exact(0.0);
  *dimension = DimensionVector{};
  if (const UnitSymbol* symbol = FindSymbol(name)) {
    FindFactor(symbol->name, factor, dimension);
    return symbol->name;
  }
  for (const UnitPrefix& prefix : UnitPrefixes) {
    const char* rest = AfterPrefix(name, prefix.text);
    if (rest == nullptr || *rest == '\0') continue;
    const char* unit = PrefixableName(rest);
    if (unit == nullptr) continue;
    if (!FindFactor(unit, factor, dimension)) continue;
    // A factor counts units per SI unit, so a larger unit has a smaller factor.
    const Double2 scale = kPowersOfTen.value[prefix.power > 0 ? prefix.power : -prefix.power];
    *factor = prefix.power > 0 ? ChainedQuotient(*factor, scale) : ChainedProduct(*factor, scale);
    return "";
  }
  return nullptr;
}
