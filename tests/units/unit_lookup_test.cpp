// Tests of how names read: every text that a prefix and a spelling of the catalogue make must
// mean one thing, whichever way it is made. (A spelling of two rows stops the build.)
#include "units/unit_lookup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

// The spellings that mean their own unit where a prefix would read another: abbreviations of the
// trades that must not become a rare prefix on a unit ("PS" is not a petasiemens).
const std::set<std::string> kTradeAbbreviations = {"PS", "RT"};

struct Made {
  std::string how;  // "k" + "m", for the message
  double factor;
  DimensionVector dimension;
};

bool SameMeaning(double factor_a, const DimensionVector& a, double factor_b,
                 const DimensionVector& b) {
  return std::memcmp(&a, &b, sizeof a) == 0 &&
         std::fabs(factor_a - factor_b) <= 1e-15 * std::fabs(factor_b);
}

// Calls visit(item, spelling) for every prefix item (symbol, word, or word that drops its last
// vowel before one, but for deci and deca, which would both be "dec") and every spelling that the
// item may stand before, its row taking the prefix.
template <class Visit>
void ForEachPrefixed(Visit visit) {
  for (const UnitPrefix& prefix : UnitPrefixes) {
    for (bool word : {false, true}) {
      spelling::ForEachItem(word ? prefix.words : prefix.symbols,
                            [&](const char* text, std::size_t length) {
        const std::string item(text, length);
        for (std::size_t i = 0; i < SpellingCount(); ++i) {
          const Spelling& spelling = SpellingAt(i);
          const uint8_t way = word ? kPrefixWord : kPrefixSymbol;
          if (spelling.row == kNoRow || !(spelling.prefix_ways & way) ||
              !TakesPrefix(UnitCatalogue[spelling.row], prefix.power)) {
            continue;
          }
          visit(prefix, item, spelling);
          if (word && std::strchr("aeiou", item.back()) && std::strchr("aeiou", spelling.text[0]) &&
              item.compare(0, 3, "dec") != 0) {
            visit(prefix, item.substr(0, item.size() - 1), spelling);
          }
        }
        return false;
      });
    }
  }
}

TEST(UnitLookup, EveryPrefixedTextMeansOneThing) {
  std::map<std::string, Made> made;
  int shadowed = 0;
  ForEachPrefixed([&](const UnitPrefix& prefix, const std::string& item, const Spelling& spelling) {
    const UnitEntry& unit = UnitCatalogue[spelling.row];
    const std::string text = item + spelling.text;
    const double factor = unit.factor * std::pow(10.0, -prefix.power);
    const Made here{item + "+" + spelling.text, factor, unit.dimension};
    // A spelling of the catalogue with this text wins, so it must mean the same, or be one of
    // the trades' own abbreviations.
    if (const UnitEntry* entry = FindUnitEntry(text.c_str())) {
      if (!SameMeaning(entry->factor, entry->dimension, factor, unit.dimension)) {
        EXPECT_EQ(kTradeAbbreviations.count(text), 1u)
            << text << " is " << entry->name << ", and " << here.how << " too";
        ++shadowed;
      }
      return;
    }
    // Made two ways, it must mean the same both ways.
    const auto [at, fresh] = made.emplace(text, here);
    if (!fresh) {
      EXPECT_TRUE(SameMeaning(at->second.factor, at->second.dimension, factor, unit.dimension))
          << text << " is " << at->second.how << " and " << here.how;
    }
    // And the parser reads it so.
    const UnitReading reading = ReadUnitName(text.c_str());
    ASSERT_NE(reading.unit, nullptr) << text;
    EXPECT_TRUE(SameMeaning(reading.factor.hi, reading.unit->dimension, factor, unit.dimension))
        << text << " reads as " << reading.unit->name;
  });
  EXPECT_GT(made.size(), 1000u) << "prefixed names were not made";
  EXPECT_EQ(shadowed, static_cast<int>(kTradeAbbreviations.size()));
}

TEST(UnitLookup, WordsOfTheGrammarAreNoUnits) {
  for (const char* word : {"per", "square", "sq", "cubic", "cu", "squared", "cubed"}) {
    EXPECT_EQ(ReadUnitName(word).unit, nullptr) << word;
  }
}

}  // namespace
