// Unit names beyond the catalogue's spellings: the SI prefixes before the units that take them.
#include "unit_lookup.h"

#include <cstring>


constexpr UnitPrefix UnitPrefixes[kUnitPrefixCount] = {
    {-30, "q", "quecto"},
    {-27, "r", "ronto"},
    {-24, "y", "yocto"},
    {-21, "z", "zepto"},
    {-18, "a", "atto"},
    {-15, "f", "femto"},
    {-12, "p", "pico"},
    {-9, "n", "nano"},
    {-6, "\xC2\xB5|\xCE\xBC|u", "micro"},  // µ the micro sign, μ the Greek letter, u
    {-3, "m", "milli"},
    {-2, "c", "centi"},
    {-1, "d", "deci"},
    {1, "da", "deca|deka"},
    {2, "h", "hecto"},
    {3, "k", "kilo"},
    {6, "M", "mega"},
    {9, "G", "giga"},
    {12, "T", "tera"},
    {15, "P", "peta"},
    {18, "E", "exa"},
    {21, "Z", "zetta"},
    {24, "Y", "yotta"},
    {27, "R", "ronna"},
    {30, "Q", "quetta"},
};

namespace {

// A table shorter than its declared size would end in empty rows without a word from the compiler.
static_assert(UnitPrefixes[kUnitPrefixCount - 1].symbols != nullptr, "the prefix table lacks rows");

// The rest of name after the length bytes of item, or nullptr when name does not start with them.
const char* AfterItem(const char* name, const char* item, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (name[i] != item[i]) return nullptr;
  }
  return name + length;
}

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }

// Whether a prefix word ending in a vowel loses it as another's does too ("deci" and "deca"
// both give "dec"), so that the shortened word would not say which it is.
bool StemIsShared(const char* word, std::size_t length) {
  int words_with_stem = 0;
  for (const UnitPrefix& prefix : UnitPrefixes) {
    spelling::ForEachItem(prefix.words, [&](const char* other, std::size_t other_length) {
      words_with_stem += other_length == length && IsVowel(other[length - 1]) &&
                         std::strncmp(other, word, length - 1) == 0;
      return false;
    });
  }
  return words_with_stem > 1;
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

// The unit that rest spells, if it takes the prefix written that way, or nullptr.
const UnitEntry* PrefixedUnit(const char* rest, int power, PrefixWay way) {
  if (*rest == '\0') return nullptr;
  const Spelling* spelling = FindSpelling(rest);
  if (spelling == nullptr || spelling->row == kNoRow || (spelling->prefix_ways & way) == 0) {
    return nullptr;
  }
  const UnitEntry& row = UnitCatalogue[spelling->row];
  return TakesPrefix(row, power) ? &row : nullptr;
}

// The unit that name is with the prefix's items before it (its symbols, or its words), or nullptr.
const UnitEntry* WithPrefix(const char* name, const UnitPrefix& prefix, bool words) {
  const PrefixWay wanted = words ? kPrefixWord : kPrefixSymbol;
  const UnitEntry* unit = nullptr;
  spelling::ForEachItem(words ? prefix.words : prefix.symbols,
                        [&](const char* item, std::size_t length) {
    if (const char* rest = AfterItem(name, item, length)) {
      unit = PrefixedUnit(rest, prefix.power, wanted);
    }
    // "megohm", "kilohm", "microhm": the prefix's last vowel goes before the word's first.
    if (unit == nullptr && words && length > 1 && IsVowel(item[length - 1])) {
      const char* rest = AfterItem(name, item, length - 1);
      if (rest != nullptr && IsVowel(*rest) && !StemIsShared(item, length)) {
        unit = PrefixedUnit(rest, prefix.power, wanted);
      }
    }
    return unit != nullptr;
  });
  return unit;
}

}  // namespace

UnitReading ReadPrefixedName(const char* name) {
  for (bool words : {false, true}) {
    for (const UnitPrefix& prefix : UnitPrefixes) {
      const UnitEntry* unit = WithPrefix(name, prefix, words);
      if (unit == nullptr) continue;
      // A factor counts units per SI unit, so a larger unit has a smaller factor.
      const Double2 factor{unit->factor, unit->factor_rest};
      const Double2 scale = kPowersOfTen.value[prefix.power > 0 ? prefix.power : -prefix.power];
      return {prefix.power > 0 ? ChainedQuotient(factor, scale) : ChainedProduct(factor, scale),
              unit, prefix.power, false};
    }
  }
  return {Exact(0.0), nullptr, 0, false};
}
