// Tests of the names a message of an unknown name suggests.
#include "units/name_hint.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>

#include "units/parser.h"

namespace {

const std::pair<const char*, const char*> kHints[] = {
    // another case, with a prefix too; where a capital could mean two units, both
    {"KM", " (did you mean km?)"},
    {"MM", " (did you mean mm, Mm, mM?)"},
    {"KHz", " (did you mean kHz?)"},
    {"Kilometres", " (did you mean kilometres?)"},
    // one edit away, for names of three characters or more: a letter changed, added, dropped
    // or swapped, after a prefix too
    {"metr", " (did you mean meter, metre?)"},
    {"kilometr", " (did you mean kilometer, kilometre?)"},
    {"mlie", " (did you mean mile?)"},
    {"galon", " (did you mean gallon?)"},
    // nothing near, or too short to guess at
    {"xyz", ""},
    {"qx", ""},
    {"", ""},
};

TEST(AppendNameHint, NamesWhatIsNear) {
  ASSERT_GT(std::size(kHints), 0u);
  for (const auto& [name, hint] : kHints) {
    char message[kUnitTextSize] = "Unknown unit 'x'";
    AppendNameHint(message, sizeof message, name);
    EXPECT_EQ(std::string(message), std::string("Unknown unit 'x'") + hint) << name;
  }
}

TEST(AppendNameHint, AppendsOnlyAHintThatFitsWhole) {
  char message[kUnitTextSize];
  const std::string full = "Unknown unit '" + std::string(230, 'y') + "'";
  std::snprintf(message, sizeof message, "%s", full.c_str());
  AppendNameHint(message, sizeof message, "KM");
  EXPECT_EQ(std::string(message), full);
  // The parser's message for a long unknown name ends in its closing quote, with no hint.
  ParsedUnit parsed;
  const std::string long_name(240, 'K');
  ASSERT_EQ(ParseUnits(long_name.c_str(), &parsed, message), 0);
  EXPECT_EQ(std::string(message).back(), '\'');
}

}  // namespace
