// The unit catalogue's storage, its ordering and its exact, case-sensitive lookup by name hash.
#include "catalogue.h"

#include <array>
#include <iterator>

#include "name_index.h"
#include "unit_definition.h"

namespace {

// The dimensions the catalogue uses, exponents in DimensionSlot order:
//                                            rad    s   kg    m degK  mol dKdf    C   cd
constexpr DimensionVector kDimensionless          {{0,   0,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kAcceleration           {{0,  -2,   0,   1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kLength                 {{0,   0,   0,   1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kArea                   {{0,   0,   0,   2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kFuelEconomy            {{0,   0,   0,  -2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kVolume                 {{0,   0,   0,   3,   0,   0,   0,   0,   0}};
constexpr DimensionVector kMass                   {{0,   0,   1,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kLinearDensity          {{0,   0,   1,  -1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kTime                   {{0,   1,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kFrequency              {{0,  -1,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kAngle                  {{1,   0,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kSolidAngle             {{2,   0,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kRotationRate           {{1,  -1,   0,   0,   0,   0,   0,   0,   0}};
constexpr DimensionVector kSpeed                  {{0,  -1,   0,   1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kForce                  {{0,  -2,   1,   1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kPressure               {{0,  -2,   1,  -1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kSpecificWeight         {{0,  -2,   1,  -2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kEnergy                 {{0,  -2,   1,   2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kPower                  {{0,  -3,   1,   2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kAbsorbedDose           {{0,  -2,   0,   2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kDynamicViscosity       {{0,  -1,   1,  -1,   0,   0,   0,   0,   0}};
constexpr DimensionVector kKinematicViscosity     {{0,  -1,   0,   2,   0,   0,   0,   0,   0}};
constexpr DimensionVector kVolumeFlow             {{0,  -1,   0,   3,   0,   0,   0,   0,   0}};
constexpr DimensionVector kTemperature            {{0,   0,   0,   0,   1,   0,   0,   0,   0}};
constexpr DimensionVector kTemperatureDifference  {{0,   0,   0,   0,   0,   0,   1,   0,   0}};
constexpr DimensionVector kAmount                 {{0,   0,   0,   0,   0,   1,   0,   0,   0}};
constexpr DimensionVector kConcentration          {{0,   0,   0,  -3,   0,   1,   0,   0,   0}};
constexpr DimensionVector kCharge                 {{0,   0,   0,   0,   0,   0,   0,   1,   0}};
constexpr DimensionVector kExposure               {{0,   0,  -1,   0,   0,   0,   0,   1,   0}};
constexpr DimensionVector kCurrent                {{0,  -1,   0,   0,   0,   0,   0,   1,   0}};
constexpr DimensionVector kPotential              {{0,  -2,   1,   2,   0,   0,   0,  -1,   0}};
constexpr DimensionVector kCapacitance            {{0,   2,  -1,  -2,   0,   0,   0,   2,   0}};
constexpr DimensionVector kResistance             {{0,  -1,   1,   2,   0,   0,   0,  -2,   0}};
constexpr DimensionVector kConductance            {{0,   1,  -1,  -2,   0,   0,   0,   2,   0}};
constexpr DimensionVector kInductance             {{0,   0,   1,   2,   0,   0,   0,  -2,   0}};
constexpr DimensionVector kFluxDensity            {{0,  -1,   1,   0,   0,   0,   0,  -1,   0}};
constexpr DimensionVector kFlux                   {{0,  -1,   1,   2,   0,   0,   0,  -1,   0}};
constexpr DimensionVector kFieldStrength          {{0,  -1,   0,  -1,   0,   0,   0,   1,   0}};
constexpr DimensionVector kLuminousIntensity      {{0,   0,   0,   0,   0,   0,   0,   0,   1}};
constexpr DimensionVector kLuminousFlux           {{2,   0,   0,   0,   0,   0,   0,   0,   1}};
constexpr DimensionVector kIlluminance            {{2,   0,   0,  -2,   0,   0,   0,   0,   1}};
constexpr DimensionVector kLuminance              {{0,   0,   0,  -2,   0,   0,   0,   0,   1}};

// ASCII upper case, independent of the C locale: only a-z change.
constexpr int UpperByte(const char c) {
  const int byte = static_cast<unsigned char>(c);
  return (byte >= 'a' && byte <= 'z') ? byte - ('a' - 'A') : byte;
}

// CompareUnitNames, for the compiler's sorting of the catalogue too.
constexpr int CompareNames(const char* a, const char* b) {
  // Compared in place rather than through upper-case copies, so no name length can overrun.
  for (std::size_t i = 0;; ++i) {
    const int upper_a = UpperByte(a[i]);
    const int upper_b = UpperByte(b[i]);
    if (upper_a != upper_b) return upper_a - upper_b;
    if (upper_a == 0) break;
  }
  for (std::size_t i = 0;; ++i) {
    const int byte_a = static_cast<unsigned char>(a[i]);
    const int byte_b = static_cast<unsigned char>(b[i]);
    if (byte_a != byte_b || byte_a == 0) return byte_a - byte_b;
  }
}

// Every unit and constant, as the definitions refer to them, in the order of the source.
constexpr UnitDefinition kDefinitions[] = {
#define CONSTANT(name, definition, dimension) {name, definition, dimension},
#define UNIT(name, definition, dimension, prefixes, trade, words, forms) \
  {name, definition, dimension, 0.0, prefixes, Trade::trade, words, forms},
#define SCALE(name, definition, dimension, offset, prefixes, trade, words, forms) \
  {name, definition, dimension, offset, prefixes, Trade::trade, words, forms},
#include "catalogue_data.inc"
#undef SCALE
#undef UNIT
#undef CONSTANT
};
constexpr unit_definition::Table kDefinitionTable{kDefinitions, std::size(kDefinitions)};
static_assert(EveryDefinitionReads(kDefinitionTable), "two units or constants share a name");

constexpr std::size_t kConstantCount = std::size(kDefinitions) - kUnitCount;

// The catalogue's rows, sorted by CompareUnitNames (an insertion sort of their places in the
// source), each with its factor worked out.
constexpr std::array<UnitEntry, kUnitCount> SortedCatalogue() {
  std::size_t order[kUnitCount] = {};
  for (std::size_t i = 0; i < kUnitCount; ++i) {
    std::size_t at = i;
    const char* name = kDefinitions[kConstantCount + i].name;
    while (at > 0 && CompareNames(kDefinitions[order[at - 1]].name, name) > 0) {
      order[at] = order[at - 1];
      --at;
    }
    order[at] = kConstantCount + i;
  }
  std::array<UnitEntry, kUnitCount> rows{};
  for (std::size_t i = 0; i < kUnitCount; ++i) {
    rows[i] = EntryOf(kDefinitionTable, kDefinitions[order[i]]);
  }
  return rows;
}

}  // namespace

constexpr std::array<UnitEntry, kUnitCount> UnitCatalogue = SortedCatalogue();

namespace {

constexpr std::size_t kSpellingCapacity = SpellingCapacity(UnitCatalogue);
constexpr auto kCatalogueIndex =
    BuildNameIndex<kSpellingCapacity, SlotCount(kSpellingCapacity)>(UnitCatalogue);

}  // namespace

constexpr NameIndexView SpellingIndex = kCatalogueIndex.View();

const char* TradeName(Trade trade) {
  switch (trade) {
    case Trade::kSI: return "SI";
    case Trade::kMetric: return "metric";
    case Trade::kCustomary: return "US customary";
    case Trade::kNautical: return "nautical";
    case Trade::kMechanical: return "mechanical";
    case Trade::kElectrical: return "electrical";
    case Trade::kPhotometry: return "photometry";
    case Trade::kRadiation: return "radiation";
    case Trade::kAstronomy: return "astronomy";
    case Trade::kChemistry: return "chemistry";
    case Trade::kViscosity: return "viscosity";
    case Trade::kGauges: return "gauges";
    case Trade::kFuels: return "fuels";
    case Trade::kOilGas: return "oil and gas";
    case Trade::kCooking: return "cooking";
    case Trade::kCalendar: return "calendar";
    case Trade::kTypography: return "typography";
    case Trade::kTextiles: return "textiles";
    case Trade::kHistorical: return "historical";
  }
  return "";
}

int CompareUnitNames(const char* a, const char* b) { return CompareNames(a, b); }

const Spelling* FindSpelling(const char* text) {
  // At most one byte past the longest spelling is read: a longer text is no spelling.
  std::size_t length = 0;
  while (length <= kLongestSpelling && text[length] != '\0') ++length;
  return FindSpelling(text, length);
}

const UnitEntry* FindUnitEntry(const char* name) {
  const Spelling* spelling = FindSpelling(name);
  return spelling != nullptr && spelling->row != kNoRow ? &UnitCatalogue[spelling->row] : nullptr;
}

void FindUnit(const char* name, double* factor, DimensionVector* dimension) {
  const UnitEntry* entry = FindUnitEntry(name);
  *factor = entry != nullptr ? entry->factor : 0.0;
  *dimension = entry != nullptr ? entry->dimension : DimensionVector{};
}
