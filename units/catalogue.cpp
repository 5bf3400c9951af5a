// The unit catalogue's storage, its ordering and its exact, case-sensitive lookup by name hash.
#include "catalogue.h"

#include <cstring>
#include <iterator>

#include "name_index.h"
#include "text_buffer.h"
#include "unit_definition.h"

namespace {

// The dimensions the catalogue uses, exponents in DimensionSlot order:
//                                            rad    s   kg    m degK  mol dKdf    C
constexpr DimensionVector kDimensionless          {{0,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kAcceleration           {{0,  -2,   0,   1,   0,   0,   0,   0}};
constexpr DimensionVector kLength                 {{0,   0,   0,   1,   0,   0,   0,   0}};
constexpr DimensionVector kArea                   {{0,   0,   0,   2,   0,   0,   0,   0}};
constexpr DimensionVector kVolume                 {{0,   0,   0,   3,   0,   0,   0,   0}};
constexpr DimensionVector kMass                   {{0,   0,   1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kTime                   {{0,   1,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kAngle                  {{1,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kRotationRate           {{1,  -1,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kSpeed                  {{0,  -1,   0,   1,   0,   0,   0,   0}};
constexpr DimensionVector kForce                  {{0,  -2,   1,   1,   0,   0,   0,   0}};
constexpr DimensionVector kPressure               {{0,  -2,   1,  -1,   0,   0,   0,   0}};
constexpr DimensionVector kEnergy                 {{0,  -2,   1,   2,   0,   0,   0,   0}};
constexpr DimensionVector kPower                  {{0,  -3,   1,   2,   0,   0,   0,   0}};
constexpr DimensionVector kDynamicViscosity       {{0,  -1,   1,  -1,   0,   0,   0,   0}};
constexpr DimensionVector kKinematicViscosity     {{0,  -1,   0,   2,   0,   0,   0,   0}};
constexpr DimensionVector kTemperature            {{0,   0,   0,   0,   1,   0,   0,   0}};
constexpr DimensionVector kTemperatureDifference  {{0,   0,   0,   0,   0,   0,   1,   0}};
constexpr DimensionVector kAmount                 {{0,   0,   0,   0,   0,   1,   0,   0}};
constexpr DimensionVector kCharge                 {{0,   0,   0,   0,   0,   0,   0,   1}};
constexpr DimensionVector kCurrent                {{0,  -1,   0,   0,   0,   0,   0,   1}};
constexpr DimensionVector kPotential              {{0,  -2,   1,   2,   0,   0,   0,  -1}};
constexpr DimensionVector kCapacitance            {{0,   2,  -1,  -2,   0,   0,   0,   2}};
constexpr DimensionVector kResistance             {{0,  -1,   1,   2,   0,   0,   0,  -2}};
constexpr DimensionVector kInductance             {{0,   0,   1,   2,   0,   0,   0,  -2}};
constexpr DimensionVector kFluxDensity            {{0,  -1,   1,   0,   0,   0,   0,  -1}};
constexpr DimensionVector kFlux                   {{0,  -1,   1,   2,   0,   0,   0,  -1}};
constexpr DimensionVector kFieldStrength          {{0,  -1,   0,  -1,   0,   0,   0,   1}};
constexpr DimensionVector kVolumeFlow             {{0,  -1,   0,   3,   0,   0,   0,   0}};
constexpr DimensionVector kConductance            {{0,   1,  -1,  -2,   0,   0,   0,   2}};

// ASCII upper case, independent of the C locale: only a-z change.
int UpperByte(const char c) {
  const int byte = static_cast<unsigned char>(c);
  return (byte >= 'a' && byte <= 'z') ? byte - ('a' - 'A') : byte;
}

// Every unit and constant, as the definitions refer to them.
constexpr UnitDefinition kDefinitions[] = {
#define CONSTANT(name, definition, dimension) {name, definition, dimension},
#define UNIT(name, definition, dimension) {name, definition, dimension},
#include "catalogue_data.inc"
#undef UNIT
#undef CONSTANT
};
constexpr unit_definition::Table kDefinitionTable{kDefinitions, std::size(kDefinitions)};
static_assert(EveryDefinitionReads(kDefinitionTable), "two units or constants share a name");

}  // namespace

constexpr UnitEntry UnitCatalogue[kUnitCount] = {
#define CONSTANT(name, definition, dimension)
#define UNIT(name, definition, dimension) \
  EntryOf(kDefinitionTable, {name, definition, dimension}),
#include "catalogue_data.inc"
#undef UNIT
#undef CONSTANT
};

// A short table would leave zero-filled rows at the end without a word from the compiler.
static_assert(UnitCatalogue[kUnitCount - 1].name != nullptr, "the catalogue lacks rows");

namespace {

constexpr NameIndex kCatalogueIndex = BuildNameIndex(UnitCatalogue);
static_assert(kCatalogueIndex.longest_name <= kLongestIndexedName, "a name is too long to index");
static_assert(kCatalogueIndex.longest_probe <= 2, "the name hash crowds too many names together");

}  // namespace

int CompareUnitNames(const char* a, const char* b) {
  // Compared in place rather than through upper-case copies, so no name length can overrun.
  for (std::size_t i = 0;; ++i) {
    const int upper_a = UpperByte(a[i]);
    const int upper_b = UpperByte(b[i]);
    if (upper_a != upper_b) return upper_a - upper_b;
    if (upper_a == 0) break;
  }
  return std::strcmp(a, b);
}

const UnitEntry* FindUnitEntry(const char* name) {
  // At most one byte past the longest name is read: a longer text is no name of the catalogue.
  std::size_t length = 0;
  while (length <= kLongestIndexedName && name[length] != '\0') ++length;
  if (length > kLongestIndexedName) return nullptr;
  // Every name lies at most longest_probe slots past its home slot; an empty slot on the way
  // means the name is not there.
  const std::size_t home = HomeSlot(name, length);
  for (std::size_t probe = 0; probe <= kCatalogueIndex.longest_probe; ++probe) {
    const uint8_t row = kCatalogueIndex.entry[(home + probe) & (kNameIndexSlots - 1)];
    if (row == kNoEntry) return nullptr;
    if (SameText(name, UnitCatalogue[row].name)) return &UnitCatalogue[row];
  }
  return nullptr;
}

void FindUnit(const char* name, double* factor, DimensionVector* dimension) {
  const UnitEntry* entry = FindUnitEntry(name);
  *factor = entry != nullptr ? entry->factor : 0.0;
  *dimension = entry != nullptr ? entry->dimension : DimensionVector{};
}
