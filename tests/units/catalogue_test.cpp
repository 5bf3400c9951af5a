// Tests of the unit catalogue: its invariants, exact lookup, and identities that expose a slip.
#include "units/catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "units/conversion.h"
#include "units/number_text.h"

namespace {

int CountNonZero(const DimensionVector& dimension) {
  int count = 0;
  for (int32_t exponent : dimension.exp) count += exponent != 0;
  return count;
}

TEST(Catalogue, NamesAreWordsAndFactorsPositive) {
  for (const UnitEntry& entry : UnitCatalogue) {
    ASSERT_NE(entry.name, nullptr);
    EXPECT_GE(std::strlen(entry.name), 1u) << entry.name;
    EXPECT_EQ(std::strpbrk(entry.name, " |^/.-"), nullptr) << entry.name;
    EXPECT_GT(entry.factor, 0.0) << entry.name;
    EXPECT_TRUE(std::isfinite(entry.factor)) << entry.name;
    // A pure number that is 1 would be no unit at all.
    if (CountNonZero(entry.dimension) == 0) EXPECT_NE(entry.factor, 1.0) << entry.name;
  }
}

TEST(Catalogue, IsStrictlySortedByCompareUnitNames) {
  for (std::size_t i = 1; i < kUnitCount; ++i) {
    EXPECT_LT(CompareUnitNames(UnitCatalogue[i - 1].name, UnitCatalogue[i].name), 0)
        << UnitCatalogue[i - 1].name << " before " << UnitCatalogue[i].name;
  }
}

TEST(Catalogue, FindsEveryEntryExactly) {
  for (const UnitEntry& entry : UnitCatalogue) {
    double factor = -1.0;
    DimensionVector dimension;
    FindUnit(entry.name, &factor, &dimension);
    EXPECT_EQ(factor, entry.factor) << entry.name;
    EXPECT_EQ(std::memcmp(&dimension, &entry.dimension, sizeof dimension), 0) << entry.name;
  }
}

TEST(CompareUnitNames, OrdersCaseInsensitivelyThenUpperCaseFirst) {
  const char* const ordered[] = {"A", "acre", "Btu", "btu", "cal", "GPa", "Gpa", "Hz", "hz",
                                 "L", "l", "MPa", "Mpa", "mPa", "mpa", "mpaa", "Z"};
  for (std::size_t i = 1; i < std::size(ordered); ++i) {
    EXPECT_LT(CompareUnitNames(ordered[i - 1], ordered[i]), 0) << ordered[i - 1];
    EXPECT_GT(CompareUnitNames(ordered[i], ordered[i - 1]), 0) << ordered[i];
  }
  EXPECT_EQ(CompareUnitNames("degK", "degK"), 0);
  EXPECT_EQ(CompareUnitNames("", ""), 0);
  EXPECT_LT(CompareUnitNames("", "A"), 0);
}

TEST(CompareUnitNames, TakesNamesLongerThanAnyBuffer) {
  const std::string long_a(1000, 'a');
  const std::string long_b = std::string(999, 'a') + "B";
  EXPECT_LT(CompareUnitNames(long_a.c_str(), long_b.c_str()), 0);
  EXPECT_EQ(CompareUnitNames(long_a.c_str(), long_a.c_str()), 0);
}

struct Lookup {
  const char* name;
  double factor;
  DimensionVector dimension;  // rad, s, kg, m, degK, mol, degKdiff, C
};

const Lookup kLookups[] = {
    {"kg", 1.0, {{0, 0, 1, 0, 0, 0, 0, 0}}},
    {"Btu", 0.0009478171203133172, {{0, -2, 1, 2, 0, 0, 0, 0}}},
    {"btu", 0.0009478171203133172, {{0, -2, 1, 2, 0, 0, 0, 0}}},
    {"mpa", 1000.0, {{0, -2, 1, -1, 0, 0, 0, 0}}},
    {"Mpa", 1e-06, {{0, -2, 1, -1, 0, 0, 0, 0}}},
    {"Mg", 0.001, {{0, 0, 1, 0, 0, 0, 0, 0}}},
    {"mg", 1000000.0, {{0, 0, 1, 0, 0, 0, 0, 0}}},
    {"degK", 1.0, {{0, 0, 0, 0, 1, 0, 0, 0}}},
    {"degKdiff", 1.0, {{0, 0, 0, 0, 0, 0, 1, 0}}},
    {"degF", 1.8, {{0, 0, 0, 0, 1, 0, 0, 0}}},
    {"Hz", 0.15915494309189535, {{1, -1, 0, 0, 0, 0, 0, 0}}},
    {"ohm", 1.0, {{0, -1, 1, 2, 0, 0, 0, -2}}},
    {"F", 1.0, {{0, 2, -1, -2, 0, 0, 0, 2}}},
    {"A", 1.0, {{0, -1, 0, 0, 0, 0, 0, 1}}},
    {"hr", 1.0 / 3600, {{0, 1, 0, 0, 0, 0, 0, 0}}},
    {"hour", 1.0 / 3600, {{0, 1, 0, 0, 0, 0, 0, 0}}},
    {"stokes", 10000.0, {{0, -1, 0, 2, 0, 0, 0, 0}}},
    {"Nmile", 0.0005399568034557236, {{0, 0, 0, 1, 0, 0, 0, 0}}},
    {"D", 1013250000000.0, {{0, 0, 0, 2, 0, 0, 0, 0}}},
    {"KrWavelength", 1650763.73, {{0, 0, 0, 1, 0, 0, 0, 0}}},
};

TEST(FindUnit, GivesTheEntrysFactorAndDimension) {
  ASSERT_GT(std::size(kLookups), 0u);
  for (const Lookup& lookup : kLookups) {
    double factor = 0.0;
    DimensionVector dimension;
    FindUnit(lookup.name, &factor, &dimension);
    EXPECT_EQ(factor, lookup.factor) << lookup.name;
    for (int slot = 0; slot < kDimensionCount; ++slot) {
      EXPECT_EQ(dimension.exp[slot], lookup.dimension.exp[slot]) << lookup.name << " slot " << slot;
    }
  }
}

TEST(FindUnit, MissesOtherSpellingsAndClearsItsOutputs) {
  const char* const missing[] = {"KG", "Kg", "FT", "Sec", "degc", "", "kgs", "k", "zzz", "m2"};
  for (const char* name : missing) {
    double factor = 99.0;
    DimensionVector dimension;
    for (int32_t& exponent : dimension.exp) exponent = 7;
    FindUnit(name, &factor, &dimension);
    EXPECT_EQ(factor, 0.0) << name;
    EXPECT_EQ(CountNonZero(dimension), 0) << name;
  }
}

// Lookup goes by a hash of the whole name: near misses must not land on a neighbour.
TEST(FindUnit, MissesPrefixesExtensionsAndOverlongNames) {
  const std::string longest(255, 'm');
  const char* const missing[] = {"KrWavelengths", "KrWavelengt", "millidarc", "millidarcyy",
                                 "degKdif", "degKdifff", "m\xff", "\xff", longest.c_str(),
                                 "abcdefghijklm"};
  for (const char* name : missing) {
    double factor = 99.0;
    DimensionVector dimension;
    FindUnit(name, &factor, &dimension);
    EXPECT_EQ(factor, 0.0) << name;
    EXPECT_EQ(CountNonZero(dimension), 0) << name;
  }
}

// An identity of identities.tsv: value in from shows as shown in to, and shown in to as value.
struct ShownIdentity {
  std::string value, from, shown, to;
};

std::vector<ShownIdentity> ReadIdentities(const char* path) {
  std::vector<ShownIdentity> identities;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    ShownIdentity identity;
    std::getline(fields, identity.value, '\t');
    std::getline(fields, identity.from, '\t');
    std::getline(fields, identity.shown, '\t');
    std::getline(fields, identity.to, '\t');
    identities.push_back(identity);
  }
  return identities;
}

// value converted from one expression into another, as a cell shows it, or the engine's message.
std::string ShownConversion(const std::string& value, const std::string& from,
                            const std::string& to) {
  double result = 0.0;
  char text[kUnitTextSize];
  if (!ConvertValue(&result, std::strtod(value.c_str(), nullptr), from.c_str(), to.c_str(), text)) {
    return text;
  }
  FormatCellNumber(result, text, sizeof text);
  return text;
}

// A factor a few units in the last place off shows here as 6.99999999999999 days to the week.
TEST(Catalogue, IdentitiesHoldInTheDigitsShownBothWays) {
  const std::vector<ShownIdentity> identities = ReadIdentities(MENSORA_IDENTITIES);
  ASSERT_GT(identities.size(), 100u) << "identities missing from " << MENSORA_IDENTITIES;
  for (const ShownIdentity& identity : identities) {
    EXPECT_EQ(ShownConversion(identity.value, identity.from, identity.to), identity.shown)
        << identity.value << " " << identity.from << " in " << identity.to;
    EXPECT_EQ(ShownConversion(identity.shown, identity.to, identity.from), identity.value)
        << identity.shown << " " << identity.to << " in " << identity.from;
  }
}

}  // namespace
