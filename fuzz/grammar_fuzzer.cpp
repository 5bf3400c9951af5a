// Fuzz target for the unit-expression grammar: each input byte picks a piece of an expression
// (a unit, prefix or symbol, a full name, a word of the grammar, a number, an operator, a
// parenthesis, a superscript power, a separator) or stands for itself (ASCII from ' ' to '_',
// so digits, capitals and '%' too, and raw bytes), so that the fuzzer explores the forms of the
// language rather than the bytes. Beside the parse's own invariants it checks the laws of grouping: a whole
// expression in parentheses reads the same, "1/(E)" is its reciprocal and "(E)^2" and "(E)²" its
// square.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "units/parser.h"
#include "units/utf8.h"

namespace {

const char* const kPieces[] = {
    "m", "kg", "s", "ft", "degC", "degF", "degK", "Hz", "N", "J", "mol", "mi", "hr", "min",
    "mm", "Mg", "in", "km", "kHz", "\xC2\xB5" "F", "uA", "k\xCE\xA9", "MeV", "daN", "dam",
    "\xC2\xB0" "C", "\xE2\x84\x83", "\xC2\xB0" "F", "\xC2\xB0", "\xC3\x85", "\xCE\xA9",
    "\xE2\x84\xA6", "xyz", "\xC2\xB5", "\xC2\xB0X", "1", "2", "3", "0.5", ".", "0", "1.2.3", "fl oz",
    "^", "/", "(", ")", "-", "\xC2\xB2", "\xC2\xB3", "\xC2\xB9", "\xE2\x81\xBB\xC2\xB9",
    "\xE2\x81\xBB", "\xE2\x81\xB0", " ", "miles", "\xC2\xB7", "\xC3\x97", "\xE2\x8B\x85",
    "\xC2\xA0", "\xE2\x80\xAF", "per", "\t", "square"};
constexpr std::size_t kPieceCount = sizeof kPieces / sizeof kPieces[0];
static_assert(kPieceCount <= 64, "input bytes from 64 on stand for ASCII and raw bytes");

// Poison that a routine must overwrite: a buffer it leaves unterminated is caught.
constexpr char kPoison = '\x5A';

struct Parse {
  int ok;
  ParsedUnit unit;
  char error[kUnitTextSize];
};

Parse Parsed(const std::string& text) {
  Parse parse;
  std::memset(parse.error, kPoison, sizeof parse.error);
  parse.ok = ParseUnits(text.c_str(), &parse.unit, parse.error);
  FUZZ_CHECK(parse.ok == 0 || parse.ok == 1);
  FUZZ_CHECK(std::memchr(parse.error, '\0', sizeof parse.error) != nullptr);
  FUZZ_CHECK((parse.ok == 1) == (parse.error[0] == '\0'));
  return parse;
}

// Equal bit for bit, but that any NaN equals any other (an infinite power times a zero exponent
// gives one).
bool SameDouble(double a, double b) {
  return (a != a && b != b) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The reciprocal of E is worked out from E's exact factor and rounded once, while 1.0 / E's
// rounded factor rounds twice: the two may differ in the last place, and by no more.
bool WithinAnUlp(double a, double b) {
  return SameDouble(a, b) || a == std::nextafter(b, a);
}

bool Same(const ParsedUnit& a, const ParsedUnit& b) {
  if (!SameDouble(a.factor, b.factor) || a.offset != b.offset) return false;
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (!SameDouble(a.exponents[slot], b.exponents[slot])) return false;
  }
  return true;
}

// Characters in text as the parser counts them (a byte that starts no UTF-8 character counts as
// one), and the deepest its parentheses nest.
std::size_t Characters(const std::string& text) { return CountCharacters(text.c_str(), 1000); }
int Depth(const std::string& text) {
  int depth = 0;
  int deepest = 0;
  for (char c : text) {
    depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (depth > deepest) deepest = depth;
  }
  return deepest;
}

// The tokenizer advances on every token but the end, and never past the text's end.
void CheckTokens(const std::string& text) {
  int position = 0;
  char token[kUnitTextSize];
  char error_string[kUnitTextSize];
  for (;;) {
    const int before = position;
    if (!NextToken(text.c_str(), &position, token, error_string)) return;
    FUZZ_CHECK(std::memchr(token, '\0', sizeof token) != nullptr);
    FUZZ_CHECK(static_cast<std::size_t>(position) <= text.size());
    if (token[0] == '\0') return;
    FUZZ_CHECK(position > before);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  std::string text;
  while (!input.empty() && text.size() < 400) {
    const uint8_t byte = input.Byte();
    if (byte < kPieceCount) {
      text += kPieces[byte];
    } else if (byte < 0x80) {
      text += static_cast<char>(' ' + (byte - kPieceCount) % 64);  // ASCII from ' ' to '_'
    } else {
      text += static_cast<char>(byte);  // raw bytes, well-formed UTF-8 or not
    }
  }
  CheckTokens(text);
  const Parse whole = Parsed(text);
  if (Characters(text) >= kUnitTextSize) {
    FUZZ_CHECK(!whole.ok && std::strcmp(whole.error, "string length too long") == 0);
  }
  // The laws of grouping, where the longer texts still fit and nest.
  if (Characters(text) + 7 >= kUnitTextSize || Depth(text) >= kMaxGroupDepth) return 0;
  const Parse grouped = Parsed("(" + text + ")");
  if (whole.ok) {
    FUZZ_CHECK(grouped.ok && Same(grouped.unit, whole.unit));
    const Parse reciprocal = Parsed("1/(" + text + ")");
    FUZZ_CHECK(reciprocal.ok && reciprocal.unit.offset == 0.0);
    FUZZ_CHECK(WithinAnUlp(reciprocal.unit.factor, 1.0 / whole.unit.factor));
    const Parse squared = Parsed("(" + text + ")^2");
    const Parse superscript = Parsed("(" + text + ")\xC2\xB2");
    FUZZ_CHECK(squared.ok && superscript.ok && Same(squared.unit, superscript.unit));
    for (int slot = 0; slot < kDimensionCount; ++slot) {
      FUZZ_CHECK(SameDouble(reciprocal.unit.exponents[slot], -whole.unit.exponents[slot]) ||
                 reciprocal.unit.exponents[slot] == -whole.unit.exponents[slot]);
      FUZZ_CHECK(SameDouble(squared.unit.exponents[slot], 2 * whole.unit.exponents[slot]) ||
                 squared.unit.exponents[slot] == 2 * whole.unit.exponents[slot]);
    }
  } else if (std::strcmp(whole.error, "Unbalanced parentheses") != 0) {
    // Any other fault lies inside the text and is met first there as well.
    FUZZ_CHECK(!grouped.ok && std::strcmp(grouped.error, whole.error) == 0);
  }
  return 0;
}
