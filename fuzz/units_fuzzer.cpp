// Fuzz target for the unit engine: ParseUnits, the two unit texts, the conversions and the
// consistency test. Input: expression a, NUL, expression b, NUL, then eight bytes of a value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "units/conversion.h"
#include "units/parser.h"
#include "units/utf8.h"
#include "units/unit_text.h"

namespace {

// Poison that a routine must overwrite: a buffer it leaves unterminated is caught.
constexpr char kPoison = '\x5A';

bool Terminated(const char* buffer) { return std::memchr(buffer, '\0', kUnitTextSize) != nullptr; }

// One parse, checked on its own terms. Returns the parser's flag.
int CheckedParse(const char* text, ParsedUnit* parsed, char* error_string) {
  std::memset(error_string, kPoison, kUnitTextSize);
  const int ok = ParseUnits(text, parsed, error_string);
  FUZZ_CHECK(ok == 0 || ok == 1);
  FUZZ_CHECK(Terminated(error_string));
  // Success clears the message; every failure names one.
  FUZZ_CHECK((ok == 1) == (error_string[0] == '\0'));
  // The limit counts characters, not bytes.
  const bool too_long = CountCharacters(text, kUnitTextSize) > kMaxUnitsCharacters;
  FUZZ_CHECK(too_long == (std::strcmp(error_string, "string length too long") == 0));
  return ok;
}

bool SameExponents(const ParsedUnit& a, const ParsedUnit& b) {
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (a.exponents[slot] != b.exponents[slot]) return false;
  }
  return true;
}

// Both unit texts of one expression: terminated, empty on failure, agreeing with the parser.
void CheckUnitTexts(const char* text, int parses, const char* parse_error) {
  using TextOperation = int (*)(char*, const char*, char*);
  for (TextOperation operation : {TextOperation{MKSUnitsText}, TextOperation{CommonMKSUnitsText}}) {
    char units[kUnitTextSize];
    char error_string[kUnitTextSize];
    std::memset(units, kPoison, sizeof units);
    std::memset(error_string, kPoison, sizeof error_string);
    const int ok = operation(units, text, error_string);
    FUZZ_CHECK(ok == parses);
    FUZZ_CHECK(Terminated(units) && Terminated(error_string));
    if (ok) {
      FUZZ_CHECK(error_string[0] == '\0');
    } else {
      FUZZ_CHECK(units[0] == '\0' && std::strcmp(error_string, parse_error) == 0);
    }
  }
}

// A conversion's value: finite on success, 0.0 with the parser's message on failure.
void CheckConversions(const char* text, double x, int parses, const char* parse_error) {
  using Conversion = int (*)(double*, double, const char*, char*);
  for (Conversion convert : {Conversion{ValueToMKS}, Conversion{ValueFromMKS}}) {
    double value = -1.0;
    char error_string[kUnitTextSize];
    std::memset(error_string, kPoison, sizeof error_string);
    const int ok = convert(&value, x, text, error_string);
    FUZZ_CHECK(Terminated(error_string));
    if (ok) {
      FUZZ_CHECK(parses && std::isfinite(value) && error_string[0] == '\0');
    } else {
      FUZZ_CHECK(value == 0.0);
      FUZZ_CHECK(std::strcmp(error_string, parses ? "result out of range" : parse_error) == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string a = input.Text();
  const std::string b = input.Text();
  const double x = input.Double(1.0);

  ParsedUnit parsed_a;
  ParsedUnit parsed_b;
  char error_a[kUnitTextSize];
  char error_b[kUnitTextSize];
  const int a_parses = CheckedParse(a.c_str(), &parsed_a, error_a);
  const int b_parses = CheckedParse(b.c_str(), &parsed_b, error_b);

  CheckUnitTexts(a.c_str(), a_parses, error_a);
  CheckConversions(a.c_str(), x, a_parses, error_a);

  // The consistency test: the input's message first, then the output's, then the dimensions.
  char error_string[kUnitTextSize];
  std::memset(error_string, kPoison, sizeof error_string);
  const int consistent = CheckConsistentUnits(a.c_str(), b.c_str(), error_string);
  FUZZ_CHECK(Terminated(error_string));
  if (!a_parses) {
    FUZZ_CHECK(!consistent && std::strcmp(error_string, error_a) == 0);
  } else if (!b_parses) {
    FUZZ_CHECK(!consistent && std::strcmp(error_string, error_b) == 0);
  } else {
    const bool same = SameExponents(parsed_a, parsed_b);
    FUZZ_CHECK(consistent == (same ? 1 : 0));
    if (!same) FUZZ_CHECK(std::strcmp(error_string, "Inconsistent units") == 0);
  }

  // A whole conversion: finite on success, and it succeeds whenever its parts do.
  double value = -1.0;
  std::memset(error_string, kPoison, sizeof error_string);
  const int converts = ConvertValue(&value, x, a.c_str(), b.c_str(), error_string);
  FUZZ_CHECK(Terminated(error_string));
  if (converts) {
    FUZZ_CHECK(consistent && std::isfinite(value) && error_string[0] == '\0');
  } else {
    FUZZ_CHECK(value == 0.0 && error_string[0] != '\0');
    if (!consistent) {
      char consistency_error[kUnitTextSize];
      CheckConsistentUnits(a.c_str(), b.c_str(), consistency_error);
      FUZZ_CHECK(std::strcmp(error_string, consistency_error) == 0);
    } else {
      FUZZ_CHECK(std::strcmp(error_string, "result out of range") == 0);
    }
  }
  return 0;
}
