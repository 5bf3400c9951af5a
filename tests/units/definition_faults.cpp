// Unit definitions and spellings that must stop the build, one chosen by FAULT (0 is a sound
// table), for the test that each fault is caught by the compiler and named in its message.
#include <iterator>

#include "units/name_index.h"
#include "units/unit_definition.h"

namespace {

constexpr DimensionVector kLength{{0, 0, 0, 1, 0, 0, 0, 0}};

constexpr UnitDefinition kRows[] = {
    {"m", kBaseUnit, kLength},
    {"in", "0.0254 m", kLength},
#if FAULT == 1
    {"ft", "12 furlong", kLength},
#elif FAULT == 2
    {"ft", "12 in / 2 / 3", kLength},
#elif FAULT == 3
    {"ft", "yd / 3", kLength},
    {"yd", "3 ft", kLength},
#elif FAULT == 4
    {"ft", "12 in^2", kLength},
#elif FAULT == 5
    {"ft", "12 in", kLength},
    {"ft", "0.3048 m", kLength},
#elif FAULT == 6
    {"ft", "12 in", kLength, 0.0, kNoPrefix, Trade::kCustomary, "foot", "in"},
#elif FAULT == 7
    {"ft", "12 in", kLength, 0.0, kNoPrefix, Trade::kCustomary, "foot of the international yard"},
#else
    {"ft", "12 in", kLength},
#endif
};
constexpr unit_definition::Table kTable{kRows, std::size(kRows)};

static_assert(EveryDefinitionReads(kTable), "two rows share a name");
static_assert(FactorOf(kTable, kRows[2]) == 3.2808398950131235, "not the nearest double");

// Every spelling must stand for one row and fit the index.
constexpr std::size_t kCapacity = SpellingCapacity(kRows);
constexpr auto kIndex = BuildNameIndex<kCapacity, SlotCount(kCapacity)>(kRows);
static_assert(kIndex.count >= std::size(kRows), "a row's name is missing from the index");

}  // namespace
