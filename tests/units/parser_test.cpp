// Tests of the unit-expression parser: tokens, results, messages and long texts.
#include "units/parser.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using Exponents = std::array<double, kDimensionCount>;

Exponents Dim(std::initializer_list<std::pair<DimensionSlot, double>> terms) {
  Exponents exponents{};
  for (const auto& term : terms) exponents[term.first] = term.second;
  return exponents;
}

std::vector<std::string> Tokens(const char* text) {
  std::vector<std::string> tokens;
  int position = 0;
  char token[kUnitTextSize];
  char error_string[kUnitTextSize];
  for (;;) {
    EXPECT_EQ(NextToken(text, &position, token, error_string), 1) << text;
    EXPECT_STREQ(error_string, "");
    tokens.push_back(token);
    if (token[0] == '\0') return tokens;
  }
}

TEST(NextToken, SplitsRunsOfOneClass) {
  using List = std::vector<std::string>;
  EXPECT_EQ(Tokens("kg*m/s^2"), (List{"kg", "m", "/", "s", "^", "2", ""}));
  EXPECT_EQ(Tokens("m2"), (List{"m", "2", ""}));
  EXPECT_EQ(Tokens("2m"), (List{"2", "m", ""}));
  EXPECT_EQ(Tokens("s-1"), (List{"s", "1", ""}));
  EXPECT_EQ(Tokens("  (J / mol) / degK  "), (List{"(", "J", "/", "mol", ")", "/", "degK", ""}));
  EXPECT_EQ(Tokens("m^.5 2."), (List{"m", "^", ".5", "2.", ""}));
  EXPECT_EQ(Tokens(""), (List{""}));
  // A '-' is a token only after '^', blanks (no-break spaces too) allowed between.
  EXPECT_EQ(Tokens("m^ \xC2\xA0-2 kg-m -s"), (List{"m", "^", "-", "2", "kg", "m", "s", ""}));
  // Beyond ASCII: a character belongs to the name it touches, an invalid byte too, but for the
  // separators and the superscript powers.
  EXPECT_EQ(Tokens("\xC2\xB5m\xFFs"), (List{"\xC2\xB5m\xFFs", ""}));
  EXPECT_EQ(Tokens("N\xC2\xB7m\xE2\x8B\x85s\xC3\x97" "A\xE2\x80\xAF" "C"),
            (List{"N", "m", "s", "A", "C", ""}));
  EXPECT_EQ(Tokens("m\xC2\xB2s\xE2\x81\xBB\xC2\xB9\xC2\xB0" "C"),
            (List{"m", "\xC2\xB2", "s", "\xE2\x81\xBB\xC2\xB9", "\xC2\xB0" "C", ""}));
  EXPECT_EQ(Tokens("m\xE2\x81\xBB"), (List{"m\xE2\x81\xBB", ""}));  // a minus alone
}

TEST(NextToken, StaysOnTheEnd) {
  int position = 0;
  char token[kUnitTextSize];
  char error_string[kUnitTextSize];
  ASSERT_EQ(NextToken("m  ", &position, token, error_string), 1);
  ASSERT_EQ(NextToken("m  ", &position, token, error_string), 1);
  EXPECT_STREQ(token, "");
  EXPECT_EQ(position, 3);
  ASSERT_EQ(NextToken("m  ", &position, token, error_string), 1);
  EXPECT_EQ(position, 3);
}

TEST(NextToken, StopsAtASecondDecimalPoint) {
  int position = 0;
  char token[kUnitTextSize];
  char error_string[kUnitTextSize] = "stale";
  ASSERT_EQ(NextToken("1.2.3", &position, token, error_string), 0);
  EXPECT_STREQ(token, "1.2.");
  EXPECT_STREQ(error_string, "Error: two decimal points in 1.2.");
  EXPECT_EQ(position, 4);
  position = 0;
  ASSERT_EQ(NextToken("m", &position, token, error_string), 1);
  EXPECT_STREQ(error_string, "") << "each call clears the error text";
}

TEST(NextToken, CutsARunLongerThanItsBufferButPassesAllOfIt) {
  const std::string text = std::string(300, 'a') + " m";
  int position = 0;
  char token[kUnitTextSize];
  char error_string[kUnitTextSize];
  ASSERT_EQ(NextToken(text.c_str(), &position, token, error_string), 1);
  EXPECT_EQ(std::string(token), std::string(255, 'a'));
  EXPECT_EQ(position, 300);
  ASSERT_EQ(NextToken(text.c_str(), &position, token, error_string), 1);
  EXPECT_STREQ(token, "m");
}

struct ParseCase {
  const char* text;
  double factor;
  double offset;
  Exponents exponents;
};

const ParseCase kParses[] = {
    {"", 1.0, 0.0, {}},
    {"   ", 1.0, 0.0, {}},
    {"ft", 3.2808398950131235, 0.0, Dim({{m_exp, 1}})},
    {"J / mol / degK", 1.0, 0.0,
     Dim({{kg_exp, 1}, {m_exp, 2}, {s_exp, -2}, {mol_exp, -1}, {degK_exp, -1}})},
    {"1/s", 1.0, 0.0, Dim({{s_exp, -1}})},
    {"/s", 1.0, 0.0, Dim({{s_exp, -1}})},
    {"m^2", 1.0, 0.0, Dim({{m_exp, 2}})},
    {"m^0.5", 1.0, 0.0, Dim({{m_exp, 0.5}})},
    {"kg m/s^2", 1.0, 0.0, Dim({{kg_exp, 1}, {m_exp, 1}, {s_exp, -2}})},
    {"kg*m/s^2", 1.0, 0.0, Dim({{kg_exp, 1}, {m_exp, 1}, {s_exp, -2}})},
    {"kg/m s", 1.0, 0.0, Dim({{kg_exp, 1}, {m_exp, -1}, {s_exp, -1}})},
    {"mi/hr", 0.0006213711922373339 / 0.0002777777777777778, 0.0, Dim({{m_exp, 1}, {s_exp, -1}})},
    {"lbf/in^2", 0.22480894309971047 / (39.37007874015748 * 39.37007874015748), 0.0,
     Dim({{kg_exp, 1}, {m_exp, -1}, {s_exp, -2}})},
    {"^2", 1.0, 0.0, {}},
    {"1", 1.0, 0.0, {}},
    {"m/2", 1.0, 0.0, Dim({{m_exp, 0.5}})},
    {"m^3/2", 1.0, 0.0, Dim({{m_exp, 1.5}})},
    {"cm^3/2", 1000.0, 0.0, Dim({{m_exp, 1.5}})},
    {"m/2/2", 1.0, 0.0, Dim({{m_exp, 0.25}})},
    {"m/s/2", 1.0, 0.0, Dim({{m_exp, 1}, {s_exp, -0.5}})},
    {"m/2 s", 1.0, 0.0, Dim({{m_exp, 0.5}, {s_exp, 1}})},
    {"m^3/2/s", 1.0, 0.0, Dim({{m_exp, 1.5}, {s_exp, -1}})},
    {"m^2/3 s", 1.0, 0.0, Dim({{m_exp, 2.0 / 3.0}, {s_exp, 1}})},
    {"m^.", 1.0, 0.0, {}},
    {"ft^0", 1.0, 0.0, {}},
    {"degC", 1.0, -273.15, Dim({{degK_exp, 1}})},
    {" degF ", 1.8, -459.67, Dim({{degK_exp, 1}})},
    {"1 degC", 1.0, -273.15, Dim({{degK_exp, 1}})},
    {"degC 1", 1.0, -273.15, Dim({{degK_exp, 1}})},
    {"degK", 1.0, 0.0, Dim({{degK_exp, 1}})},
    {"degR", 1.8, 0.0, Dim({{degK_exp, 1}})},
    {"degC^1", 1.0, 0.0, Dim({{degK_exp, 1}})},
    {"degC^", 1.0, 0.0, Dim({{degK_exp, 1}})},
    {"degC/s", 1.0, 0.0, Dim({{degK_exp, 1}, {s_exp, -1}})},
    {"1/degC", 1.0, 0.0, Dim({{degK_exp, -1}})},
    {"degFdiff", 1.8, 0.0, Dim({{degKdiff_exp, 1}})},
    {"degF/degC", 1.8, 0.0, {}},
    {"J/kg/degC", 1.0, 0.0, Dim({{m_exp, 2}, {s_exp, -2}, {degK_exp, -1}})},
    {"Hz", 0.15915494309189535, 0.0, Dim({{rad_exp, 1}, {s_exp, -1}})},
    // prefixes: the unit's factor over the power of ten
    {"kHz", 0.15915494309189535 / 1e3, 0.0, Dim({{rad_exp, 1}, {s_exp, -1}})},
    {"k\xCE\xA9", 1e-3, 0.0, Dim({{s_exp, -1}, {kg_exp, 1}, {m_exp, 2}, {coulomb_exp, -2}})},
    {"dam", 0.1, 0.0, Dim({{m_exp, 1}})},
    {"daN", 0.1, 0.0, Dim({{kg_exp, 1}, {m_exp, 1}, {s_exp, -2}})},
    {"Qm", 1e-30, 0.0, Dim({{m_exp, 1}})},
    {"qg", 1e33, 0.0, Dim({{kg_exp, 1}})},
    {"ns", 1e9, 0.0, Dim({{s_exp, 1}})},
    {"GeV", 1e-9 / 1.602176634e-19, 0.0, Dim({{kg_exp, 1}, {m_exp, 2}, {s_exp, -2}})},
    {"(ft/s)^2", 3.2808398950131235 * 3.2808398950131235, 0.0, Dim({{m_exp, 2}, {s_exp, -2}})},
};

TEST(ParseUnits, GivesFactorOffsetAndExponents) {
  ASSERT_GT(std::size(kParses), 0u);
  for (const ParseCase& expected : kParses) {
    ParsedUnit parsed;
    char error_string[kUnitTextSize] = "stale";
    ASSERT_EQ(ParseUnits(expected.text, &parsed, error_string), 1) << expected.text;
    EXPECT_STREQ(error_string, "") << expected.text;
    EXPECT_DOUBLE_EQ(parsed.factor, expected.factor) << expected.text;
    EXPECT_EQ(parsed.offset, expected.offset) << expected.text;
    for (int slot = 0; slot < kDimensionCount; ++slot) {
      EXPECT_DOUBLE_EQ(parsed.exponents[slot], expected.exponents[slot])
          << expected.text << " slot " << slot;
    }
  }
}

// Pairs of texts that the language reads alike, bit for bit, grouped by form.
const std::pair<const char*, const char*> kAlike[] = {
    // separators, the ignored "1" and dangling operators
    {"ft^", "ft"}, {"m/", "m"}, {"^2 m", "m"}, {"s -1", "s"}, {"kg-m", "kg m"}, {"m^1", "m"},
    {"m/1", "m"}, {"m^1 2", "m^2"}, {"m^1/2", "m/2"}, {"m$", "m"}, {"J/kg/degC", "J/kg/degK"},
    {"N\xC2\xB7m", "N m"}, {"N\xE2\x8B\x85m", "N m"}, {"N\xC3\x97m", "N m"},
    {"N\xC2\xA0m", "N m"}, {"N\xE2\x80\xAFm", "N m"},
    // negative powers: a minus right after '^'
    {"s^-1", "/s"}, {"kg m^-3", "kg/m^3"}, {"m^-0.5", "/m^0.5"}, {"m^ - 2", "/m^2"},
    {"m^-3/2", "/m^3/2"}, {"m^-", "m"}, {"m^-kg", "m kg"}, {"m^*-2", "m^2"},
    // groups
    {"(m)", "m"}, {"((m))", "m"}, {"()", ""}, {"m/()", "m"}, {"(m/s)^2", "m^2/s^2"},
    {"1/(m/s)", "s/m"}, {"kg/(m s)", "kg/m s"}, {"(kg/m) s", "kg s/m"}, {"(m/s)/2", "m/2/s/2"},
    {"(m s)^-1", "/m s"}, {"(degC)", "degC"}, {"(1/s)(1/s)", "/s^2"},
    // superscript powers
    {"m\xC2\xB2", "m^2"}, {"m\xC2\xB3/s", "m^3/s"}, {"s\xE2\x81\xBB\xC2\xB9", "s^-1"},
    {"m\xC2\xB9", "m"}, {"m\xC2\xB2s", "m^2 s"}, {"(m/s)\xC2\xB2", "m^2/s^2"},
    {"m\xC2\xB9\xE2\x81\xB0", "m^10"},
    // symbols
    {"\xC2\xB0" "C", "degC"}, {"\xE2\x84\x83", "degC"}, {"\xC2\xB0" "F", "degF"},
    {"\xE2\x84\x89", "degF"}, {"\xC2\xB0" "K", "degK"}, {"\xC2\xB0" "R", "degR"},
    {"\xC2\xB0", "deg"}, {"\xC3\x85", "angstrom"}, {"\xE2\x84\xAB", "angstrom"},
    {"\xCE\xA9", "ohm"}, {"\xE2\x84\xA6", "ohm"}, {"1 \xC2\xB0" "C", "degC"},
    {"J/kg/\xC2\xB0" "C", "J/kg/degC"}, {"\xC2\xB0" "F/s", "degF/s"},
    // prefixes where a catalogue name has the same factor
    {"mL", "cc"}, {"\xC2\xB5m", "micron"}, {"\xCE\xBCm", "micron"}, {"um", "micron"},
    {"hPa", "millibar"}, {"mbar", "millibar"}, {"\xC2\xB5" "F", "microfarad"},
    {"nF", "nanofarad"}, {"uA", "microamp"}, {"\xC2\xB5V", "microvolt"}, {"kmol", "kmol"},
    // powers right after a name, without '^'; a '-' between names still multiplies
    {"m2", "m^2"}, {"cm3/s", "cm^3/s"}, {"s-1", "s^-1"}, {"m s-1", "m/s"}, {"kg m-3", "kg/m^3"},
    {"W m\xE2\x88\x92" "2", "W/m^2"}, {"m^\xE2\x88\x92" "2", "m^-2"}, {"N-m2", "N m^2"},
    {"m2/3", "m^2/3"}, {"degC-1", "degC^-1"}, {"degC1", "degC^1"}, {"cmH2O2", "cmH2O^2"},
    // the words of the grammar
    {"miles per hour", "mi/hr"}, {"square feet", "ft^2"}, {"sq ft", "ft^2"}, {"cu in", "in^3"},
    {"cubic feet per minute", "ft^3/min"}, {"metres squared", "m^2"}, {"m cubed", "m^3"},
    {"N per square metre", "N/m^2"}, {"per s", "/s"}, {"square degC", "degC^2"},
    // names of two words, blanks or a '-' between
    {"fl oz", "floz"}, {"fl-oz", "floz"}, {"US gal", "gal"}, {"short  tons", "shortton"},
    {"degrees Celsius", "degC"}, {"deg F", "degF"}, {"pound-force", "lbf"}, {"lb mol", "lbmol"},
    {"deg s", "deg*s"}, {"US gallons/min", "gpm"}, {"mm Hg", "mmHg"}, {"in H2O", "inH2O"},
    {"fl oz2", "floz^2"},
    // full names, plurals, and prefixes before them
    {"metres", "m"}, {"meters", "m"}, {"feet", "ft"}, {"inches", "in"}, {"hours", "hr"},
    {"centuries", "century"}, {"henries", "H"}, {"kilometres", "km"}, {"kilowatt hours", "kWh"},
    {"megohms", "Mohm"}, {"kilohm", "kohm"}, {"millimolar", "mM"}, {"microseconds", "us"},
    {"kilograms force", "kgf"}, {"megahertz", "MHz"}, {"dekametre", "dam"},
};

TEST(ParseUnits, ReadsEachFormAsItsEquivalent) {
  ASSERT_GT(std::size(kAlike), 0u);
  for (const auto& pair : kAlike) {
    ParsedUnit a;
    ParsedUnit b;
    char error_string[kUnitTextSize];
    ASSERT_EQ(ParseUnits(pair.first, &a, error_string), 1) << pair.first;
    ASSERT_EQ(ParseUnits(pair.second, &b, error_string), 1) << pair.second;
    EXPECT_EQ(a.factor, b.factor) << pair.first;
    EXPECT_EQ(a.offset, b.offset) << pair.first;
    for (int slot = 0; slot < kDimensionCount; ++slot) {
      EXPECT_EQ(a.exponents[slot], b.exponents[slot]) << pair.first << " slot " << slot;
    }
  }
}

const std::pair<const char*, const char*> kRefusals[] = {
    {"2", "number in wrong place"},
    {"m 2", "number in wrong place"},
    {"ft.", "number in wrong place"},
    {"m 1.5", "number in wrong place"},
    {".", "number in wrong place"},
    {"m^2 3", "number in wrong place"},
    {"m/2 3", "number in wrong place"},
    {"m/0", "divide by zero"},
    {"m/.", "divide by zero"},
    {"m/0.000", "divide by zero"},
    {"m^2^3", "^ in wrong place"},
    {"m^^2", "^ in wrong place"},
    {"m/^2", "^ in wrong place"},
    {"m/2^2", "^ in wrong place"},
    {"xyz", "Unknown unit 'xyz'"},
    {"KG", "Unknown unit 'KG' (did you mean kg, kG?)"},
    {"m/Kg s", "Unknown unit 'Kg' (did you mean kg, kG?)"},
    {"m..2", "Error: two decimal points in .."},
    {"1.2.3", "Error: two decimal points in 1.2."},
    {"xyz^^", "Unknown unit 'xyz'"},  // the first fault wins
    // negative powers
    {"m^-1 2", "number in wrong place"},
    {"m^-^2", "^ in wrong place"},
    // groups
    {"(m", "Unbalanced parentheses"},
    {"m)", "Unbalanced parentheses"},
    {"(m))(", "Unbalanced parentheses"},
    {")(", "Unbalanced parentheses"},
    {"(xyz", "Unknown unit 'xyz'"},
    {"m^(1/2)", "^ in wrong place"},
    {"m^-(2)", "^ in wrong place"},
    {"(m)2", "number in wrong place"},
    // superscripts
    {"m\xC2\xB2^2", "^ in wrong place"},
    {"m/\xC2\xB2", "^ in wrong place"},
    {"m\xE2\x81\xBB", "Unknown unit 'm\xE2\x81\xBB'"},
    // characters beyond ASCII, and prefixes, are never guessed at
    {"\xC2\xB5", "Unknown unit '\xC2\xB5'"},
    {"\xC2\xB5xyz s", "Unknown unit '\xC2\xB5xyz'"},
    {"\xC2\xB0X", "Unknown unit '\xC2\xB0X'"},
    {"k\xC2\xB0" "C", "Unknown unit 'k\xC2\xB0" "C' (did you mean \xC2\xB0" "C?)"},
    {"m\xFF", "Unknown unit 'm\xFF'"},
    {"kkg", "Unknown unit 'kkg' (did you mean kg?)"},
    {"mft", "Unknown unit 'mft' (did you mean ft, mSt?)"},
    {"kmin", "Unknown unit 'kmin' (did you mean min?)"},
    // the words of the grammar stand only where they mean something
    {"square", "square in wrong place"},
    {"sq/ft", "sq in wrong place"},
    {"squared", "squared in wrong place"},
    {"m per 2", "number in wrong place"},
    {"per^2", "^ in wrong place"},
    // where the trades disagree, no guess
    {"tons", "Unknown unit 'tons' (did you mean ton, gons?)"},
    {"MBtu", "Unknown unit 'MBtu' (did you mean MMBtu, Btu, kBtu?)"},
    {"ppt", "Unknown unit 'ppt' (did you mean ppb, ppm, pt?)"},
    {"\xC2\xB5\xCE\xBCm", "Unknown unit '\xC2\xB5\xCE\xBCm'"},
};

TEST(ParseUnits, NestsGroupsSixteenDeep) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  const std::string deepest = std::string(kMaxGroupDepth, '(') + "m/s" + std::string(16, ')');
  ASSERT_EQ(ParseUnits(deepest.c_str(), &parsed, error_string), 1) << error_string;
  EXPECT_EQ(parsed.exponents[s_exp], -1.0);
  const std::string deeper = "(" + deepest + ")";
  EXPECT_EQ(ParseUnits(deeper.c_str(), &parsed, error_string), 0);
  EXPECT_STREQ(error_string, "Parentheses nested more than 16 deep");
}

// A catalogue name keeps its meaning where a prefix could read it otherwise.
TEST(ParseUnits, ReadsACatalogueNameBeforeAPrefix) {
  for (const char* name : {"min", "mm", "ms", "mil", "Mg", "ft", "day", "cd", "Pa", "nm", "mpa"}) {
    ParsedUnit parsed;
    char error_string[kUnitTextSize];
    double factor = 0.0;
    DimensionVector dimension;
    FindUnit(name, &factor, &dimension);
    if (factor == 0.0) continue;  // not a catalogue name
    ASSERT_EQ(ParseUnits(name, &parsed, error_string), 1) << name;
    EXPECT_EQ(parsed.factor, factor) << name;
  }
}

TEST(ParseUnits, RefusesWithOneMessage) {
  ASSERT_GT(std::size(kRefusals), 0u);
  for (const auto& refusal : kRefusals) {
    ParsedUnit parsed;
    char error_string[kUnitTextSize];
    EXPECT_EQ(ParseUnits(refusal.first, &parsed, error_string), 0) << refusal.first;
    EXPECT_STREQ(error_string, refusal.second) << refusal.first;
  }
}

TEST(ParseUnits, TakesAtMost255Characters) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  const std::string fits = "m" + std::string(254, ' ');
  ASSERT_EQ(ParseUnits(fits.c_str(), &parsed, error_string), 1);
  EXPECT_EQ(parsed.exponents[m_exp], 1.0);
  const std::string too_long = "m" + std::string(255, ' ');
  EXPECT_EQ(ParseUnits(too_long.c_str(), &parsed, error_string), 0);
  EXPECT_STREQ(error_string, "string length too long");
  // Characters, not bytes, count: 255 of them parse whatever their length in UTF-8.
  std::string wide = "m\xC2\xB2";
  for (int i = 0; i < 253; ++i) wide += "\xE2\x80\xAF";
  ASSERT_EQ(ParseUnits(wide.c_str(), &parsed, error_string), 1) << error_string;
  EXPECT_EQ(parsed.exponents[m_exp], 2.0);
  EXPECT_EQ(ParseUnits((wide + " ").c_str(), &parsed, error_string), 0);
  EXPECT_STREQ(error_string, "string length too long");
}

// The error buffer sits in a larger block whose tail must stay untouched.
struct GuardedError {
  char text[kUnitTextSize];
  char guard[64];
};

TEST(ParseUnits, CutsLongMessagesTo255Characters) {
  const std::string name(250, 'q');
  const std::string run = std::string(240, '7') + "..";
  std::string micros;
  for (int i = 0; i < 200; ++i) micros += "\xC2\xB5";
  const std::pair<std::string, std::string> cases[] = {
      {name, "Unknown unit '" + name.substr(0, 240) + "'"},
      {micros, "Unknown unit '" + micros.substr(0, 240) + "'"},  // whole characters only
      {"m " + run, ("Error: two decimal points in " + run).substr(0, 255)},
  };
  for (const auto& [text, message] : cases) {
    GuardedError error;
    std::memset(error.guard, 'G', sizeof error.guard);
    ParsedUnit parsed;
    ASSERT_EQ(ParseUnits(text.c_str(), &parsed, error.text), 0);
    EXPECT_EQ(std::string(error.text), message);
    EXPECT_EQ(std::string(error.guard, sizeof error.guard), std::string(sizeof error.guard, 'G'));
  }
}

}  // namespace
