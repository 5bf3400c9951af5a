// The modes of the mensora command, on top of the unit engine's routines.
#include "commands.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "units/catalogue.h"
#include "units/conversion.h"
#include "units/number_text.h"
#include "units/unit_lookup.h"
#include "units/unit_text.h"

namespace {

void PrintNumber(double number, NumberStyle style) {
  char text[kNumberTextSize];
  if (style == NumberStyle::kRoundTrip) {
    FormatRoundTrip(number, text, sizeof text);
  } else {
    FormatCellNumber(number, text, sizeof text);
  }
  std::fputs(text, stdout);
}

int Fail(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  return kExitEngineFailure;
}

// The longest batch line read whole: a number and two unit expressions of at most 255
// characters each fit many times over. Anything longer is refused without being kept.
constexpr std::size_t kMaxBatchLine = 4096;

constexpr const char kMalformedLine[] = "malformed line: expected VALUE<TAB>FROM<TAB>TO";

// Splits line at its tabs into at most four fields, the last holding the rest: a line with more
// than three fields is refused however many tabs it has.
std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = fields.size() < 3 ? line.find('\t', start) : std::string::npos;
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// Reads one line into *line, keeping at most kMaxBatchLine characters; *too_long tells whether
// more followed. False at the end of the input.
bool ReadLine(std::FILE* input, std::string* line, bool* too_long) {
  line->clear();
  *too_long = false;
  int c;
  bool any = false;
  while ((c = std::fgetc(input)) != EOF && c != '\n') {
    any = true;
    if (line->size() < kMaxBatchLine) {
      line->push_back(static_cast<char>(c));
    } else {
      *too_long = true;
    }
  }
  if (c == EOF && !any) return false;
  if (!*too_long && !line->empty() && line->back() == '\r') line->pop_back();  // written on Windows
  return true;
}

// The output line for one batch line.
void ConvertBatchLine(const std::string& line, NumberStyle style) {
  // A NUL byte would end a field early in the engine's eyes: "1\0junk" must not read as 1.
  const std::vector<std::string> fields = SplitTabs(line);
  if (fields.size() != 3 || line.find('\0') != std::string::npos) {
    std::puts(kMalformedLine);
    return;
  }
  double x = 0.0;
  if (!ParseNumber(fields[0].c_str(), &x)) {
    std::printf("not a number: '%s'\n", fields[0].c_str());
    return;
  }
  double value = 0.0;
  char error_string[kUnitTextSize];
  if (!ConvertValue(&value, x, fields[1].c_str(), fields[2].c_str(), error_string)) {
    std::puts(error_string);
    return;
  }
  PrintNumber(value, style);
  std::putchar('\n');
}

}  // namespace

bool ParseNumber(const char* text, double* value) {
  const char* end = text + std::strlen(text);
  const std::from_chars_result result = std::from_chars(text, end, *value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

int RunConvert(double x, const char* in_units, const char* out_units, NumberStyle style) {
  double value = 0.0;
  char error_string[kUnitTextSize];
  if (!ConvertValue(&value, x, in_units, out_units, error_string)) return Fail(error_string);
  PrintNumber(value, style);
  std::putchar('\n');
  return kExitSuccess;
}

int RunToMetric(double x, const char* in_units, NumberStyle style) {
  double value = 0.0;
  char error_string[kUnitTextSize];
  char MKSunits_str[kUnitTextSize];
  if (!ValueToMKS(&value, x, in_units, error_string)) return Fail(error_string);
  if (!MKSUnitsText(MKSunits_str, in_units, error_string)) return Fail(error_string);
  PrintNumber(value, style);
  std::printf("\t%s\n", MKSunits_str);
  return kExitSuccess;
}

int RunShowMetric(const char* units, bool common) {
  char error_string[kUnitTextSize];
  char MKSunits_str[kUnitTextSize];
  const int ok = common ? CommonMKSUnitsText(MKSunits_str, units, error_string)
                        : MKSUnitsText(MKSunits_str, units, error_string);
  if (!ok) return Fail(error_string);
  std::printf("%s\n", MKSunits_str);
  return kExitSuccess;
}

namespace {

// A unit's rule for prefixes, as --list and --symbols write it.
const char* PrefixRuleName(PrefixRule rule) {
  switch (rule) {
    case kAnyPrefix: return "any";
    case kSmallPrefixes: return "below one";
    case kLargePrefixes: return "above one";
    default: return "none";
  }
}

}  // namespace

int RunList() {
  for (const UnitEntry& entry : UnitCatalogue) {
    double exponents[kDimensionCount];
    for (int slot = 0; slot < kDimensionCount; ++slot) exponents[slot] = entry.dimension.exp[slot];
    char MKSunits_str[kUnitTextSize];
    FormatMKSUnits(MKSunits_str, exponents);
    std::printf("%s\t", entry.name);
    PrintNumber(entry.factor, NumberStyle::kRoundTrip);
    std::printf("\t%s\t%s\t%s\t%s\t%s\t%s\n", MKSunits_str, entry.definition,
                TradeName(entry.trade), PrefixRuleName(entry.prefixes), entry.words, entry.forms);
  }
  return kExitSuccess;
}

int RunSymbols() {
  for (const UnitPrefix& prefix : UnitPrefixes) {
    spelling::ForEachItem(prefix.symbols, [&](const char* symbol, std::size_t length) {
      std::printf("prefix\t%.*s\t%d\t%s\n", static_cast<int>(length), symbol, prefix.power,
                  prefix.words);
      return false;
    });
  }
  for (const UnitEntry& entry : UnitCatalogue) {
    if (entry.prefixes != kNoPrefix) {
      std::printf("prefixed\t%s\t%s\n", entry.name, PrefixRuleName(entry.prefixes));
    }
  }
  for (std::size_t i = 0; i < SpellingCount(); ++i) {
    const Spelling& spelling = SpellingAt(i);
    if (spelling.kind == SpellingKind::kForm && (spelling.prefix_ways & kPrefixSymbol) != 0) {
      std::printf("symbol\t%s\t%s\n", spelling.text, UnitCatalogue[spelling.row].name);
    }
  }
  return kExitSuccess;
}

int RunBatch(std::FILE* input, NumberStyle style) {
  std::string line;
  bool too_long = false;
  while (ReadLine(input, &line, &too_long)) {
    if (too_long) {
      std::printf("line too long: more than %zu characters\n", kMaxBatchLine);
    } else {
      ConvertBatchLine(line, style);
    }
  }
  return kExitSuccess;
}
