// Writes the compatibility golden file: seeded random expressions of ASCII characters, with
// neither parentheses nor a '-' after '^', and conversions between them, each with what the
// engine gives today. Run it only to start a new record:
//   compatibility_golden > tests/units/compatibility.golden
// or, after a change meant to move results, to write today's results into the record's lines,
// but for the lines of the expressions listed as changed, which keep what they record:
//   compatibility_golden --refresh RECORD CHANGES > NEW_RECORD
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/units/compatibility_record.h"
#include "units/conversion.h"
#include "units/parser.h"

namespace {

// splitmix64: the same numbers on every platform and compiler, unlike the standard distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  bool Chance(int percent) { return Below(100) < static_cast<std::size_t>(percent); }
  template <class T, std::size_t n>
  const T& Pick(const T (&items)[n]) { return items[Below(n)]; }

 private:
  uint64_t state_;
};

// Names of the catalogue; then names it lacks today, some of which later readings may know, and
// words that are no unit at all.
const char* const kNames[] = {
    "m", "cm", "mm", "km", "nm", "ft", "feet", "in", "inch", "mi", "mile", "yd", "yard", "Nmile",
    "angstrom", "micron", "mil", "lightyear", "league", "fathom", "acre", "hectare", "darcy", "D",
    "mD", "L", "l", "liter", "gal", "gallon", "cc", "ml", "barrel", "cup", "tsp", "Tbs", "pint",
    "kg", "g", "mg", "Mg", "lbm", "ozm", "ton", "tonne", "slug", "grain", "stone", "s", "sec",
    "ms", "msec", "min", "h", "hr", "hour", "day", "week", "yr", "year", "deg", "rad", "rev",
    "Hz", "hz", "rpm", "rps", "mph", "kph", "knot", "fps", "fpm", "N", "kN", "lbf", "ozf", "dyne",
    "kgf", "kip", "Pa", "kPa", "kpa", "MPa", "Mpa", "mPa", "GPa", "atm", "bar", "psi", "ksi",
    "Mpsi", "torr", "Torr", "mmHg", "inHg", "cmWater", "millibar", "J", "kJ", "MJ", "mJ", "cal",
    "kcal", "Btu", "btu", "erg", "eV", "W", "kW", "MW", "mW", "hp", "Watt", "watt", "cp", "poise",
    "reyn", "centipoise", "stokes", "centistokes", "degC", "degF", "degK", "degR", "degCdiff",
    "degFdiff", "degKdiff", "degRdiff", "mol", "kmol", "C", "coulomb", "A", "amp", "mA", "V",
    "mV", "volt", "F", "farad", "mF", "ohm", "H", "henry", "G", "gauss", "T", "tesla", "mT",
    "Wb", "weber", "Mx", "Oe", "KrWavelength"};
const char* const kOtherNames[] = {
    "K", "kelvin", "lb", "lbs", "oz", "t", "Wh", "kWh", "Ah", "BTU", "kn", "nmi", "ha", "bbl",
    "cSt", "St", "cP", "gpm", "cfm", "S", "psia", "mbar", "hPa", "mL", "kHz", "MHz", "um", "us",
    "ug", "nF", "pF", "mmol", "kV", "MeV", "daN", "dL", "ns", "GHz", "TWh", "mK", "uF", "kohm",
    "Kmol", "mHz", "xyz", "KG", "Kg", "FT", "Sec", "degc", "foo", "meter", "qq", "Hzz", "mins"};
const char* const kNumbers[] = {"1", "1", "2", "2", "3", "4", "0.5", ".5", "2.", "1.5", "10",
                                "0", ".", "0.000", "12", "1.2.3", "..", "0.25", "3.", "100"};
const char* const kPowers[] = {"2", "3", "2", "0.5", "1", "4", "1.5", ".5", "0", "10"};
// Every ASCII character that separates tokens, but for the parentheses, which group.
const char kSeparators[] = " \t*-+,$_!#%&;:=?@[]{}|~'\"`<>\\";

// One random expression: terms of a name with a power now and then, a '/' before some, and
// noise of every other kind between them.
std::string RandomExpression(Random& random) {
  std::string text;
  const std::size_t terms = 1 + random.Below(6);
  auto join = [&](const std::string& token) {
    if (!text.empty()) {
      const std::size_t kind = random.Below(10);
      if (kind < 6) {
        text += ' ';
      } else if (kind < 8) {
        text += kSeparators[random.Below(sizeof kSeparators - 1)];
      }  // else: no separator at all
    }
    text += token;
  };
  for (std::size_t term = 0; term < terms; ++term) {
    if (random.Chance(25)) join("/");
    if (random.Chance(8)) join(random.Pick(kNumbers));
    join(random.Chance(90) ? random.Pick(kNames) : random.Pick(kOtherNames));
    if (random.Chance(30)) {
      join("^");
      if (random.Chance(90)) join(random.Pick(kPowers));
    }
    if (random.Chance(10)) join("/" + std::string(random.Pick(kPowers)));
    if (random.Chance(6)) join(random.Chance(50) ? "^" : "/");
  }
  if (random.Chance(5)) text = " " + text + " ";
  return text;
}

// A '-' that follows a '^' with only blanks between makes the power negative now; no such text
// belongs in the record of what must not change.
bool MinusAfterCaret(const std::string& text) {
  char previous = '\0';
  for (char c : text) {
    if (c == '-' && previous == '^') return true;
    if (c != ' ' && c != '\t') previous = c;
  }
  return false;
}

// Texts at the length limit, and the edge cases of the language.
std::vector<std::string> FixedExpressions() {
  std::vector<std::string> texts = {
      "", "   ", "1", "^2", "^2 m", "1/s", "/s", "m^1 2", "m^1/2", "m/2/2", "m/s/2", "m/2 s",
      "m^3/2/s", "m^2/3 s", "m^.", "m/.", "m/0", "ft^0", "ft^", "m/", "s-1", "m$",
      "m^2^3", "m^^2", "m/^2", "m..2", "1.2.3", "m 2", "m2", "2m", "degC 1", "1 degC", "degC^1",
      "degF/degC", "J/kg/degC", "kg/m s", "kg*m/s^2", "m^ 2", "m^+2", "m^*-2", "m-^2"};
  texts.push_back("m" + std::string(254, ' '));
  texts.push_back("m" + std::string(255, ' '));
  texts.push_back(std::string(250, 'q'));
  texts.push_back("m " + std::string(240, '7') + "..");
  std::string many;
  while (many.size() + 3 <= 255) many += "kg ";
  texts.push_back(many);
  return texts;
}

std::string ExponentKey(const ParsedUnit& parsed) {
  std::string key;
  for (double exponent : parsed.exponents) key += std::to_string(exponent) + ",";
  return key;
}

// The record at record_path with today's results, but for the lines of listed expressions.
int Refresh(const char* record_path, const char* changes_path) {
  std::ifstream record(record_path);
  std::ifstream changes_file(changes_path);
  if (!record.good() || !changes_file.good()) {
    std::fprintf(stderr, "cannot read %s or %s\n", record_path, changes_path);
    return 2;
  }
  std::set<std::string> listed;
  std::string line;
  while (std::getline(changes_file, line)) {
    if (!line.empty() && line[0] != '#') listed.insert(line);
  }
  while (std::getline(record, line)) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) fields.push_back(field);
    if (fields.size() == 3 && fields[0] == "E" && listed.count(fields[1]) == 0) {
      fields[2] = ExpressionRecord(Unescaped(fields[1]));
    } else if (fields.size() == 5 && fields[0] == "C" && listed.count(fields[2]) == 0 &&
               listed.count(fields[3]) == 0) {
      fields[4] = ConversionRecord(std::strtod(fields[1].c_str(), nullptr), Unescaped(fields[2]),
                                   Unescaped(fields[3]));
    }
    std::string out;
    for (const std::string& f : fields) out += (out.empty() ? "" : "\t") + f;
    std::printf("%s\n", out.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--refresh") return Refresh(argv[2], argv[3]);
  constexpr std::size_t kRandomExpressions = 3000;
  constexpr std::size_t kConversions = 1500;
  Random random(20240611);
  std::vector<std::string> expressions = FixedExpressions();
  while (expressions.size() < kRandomExpressions) {
    const std::string text = RandomExpression(random);
    if (!MinusAfterCaret(text)) expressions.push_back(text);
  }

  // Expressions that parse, by dimension, so that most conversions are between equals.
  std::map<std::string, std::vector<std::string>> by_dimension;
  std::vector<std::string> all;
  for (const std::string& text : expressions) {
    std::printf("E\t%s\t%s\n", Escaped(text).c_str(), ExpressionRecord(text).c_str());
    ParsedUnit parsed;
    char error_string[kUnitTextSize];
    if (ParseUnits(text.c_str(), &parsed, error_string)) by_dimension[ExponentKey(parsed)].push_back(text);
    all.push_back(text);
  }
  std::vector<const std::vector<std::string>*> groups;
  for (const auto& entry : by_dimension) {
    if (entry.second.size() > 1) groups.push_back(&entry.second);
  }
  const double kValues[] = {1.0, 0.0, -40.0, 100.0, 0.1, 2.5e10, -3.75e-7, 273.15, 98.6, 1e300};
  for (std::size_t i = 0; i < kConversions; ++i) {
    std::string in_units;
    std::string out_units;
    if (!groups.empty() && random.Chance(85)) {
      const std::vector<std::string>& group = *groups[random.Below(groups.size())];
      in_units = group[random.Below(group.size())];
      out_units = group[random.Below(group.size())];
    } else {
      in_units = all[random.Below(all.size())];
      out_units = all[random.Below(all.size())];
    }
    const double x = random.Pick(kValues);
    std::printf("C\t%a\t%s\t%s\t%s\n", x, Escaped(in_units).c_str(), Escaped(out_units).c_str(),
                ConversionRecord(x, in_units, out_units).c_str());
  }
  return 0;
}
