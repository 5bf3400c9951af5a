// The unit-expression parser: a tokenizer and a five-state machine over the catalogue's names.
#include "parser.h"

#include <charconv>
#include <cstring>

#include "power.h"
#include "text_buffer.h"

namespace {

// States of the parse, named after the token that led to them.
enum ParseState {
  kAfterUnit = 1,     // the start, or a unit name
  kAfterCaret = 2,    // '^' after a unit name (or at the start)
  kAfterPower = 3,    // the number after '^'
  kAfterDivisor = 4,  // the number after '/', dividing the power
  kAfterSlash = 5,    // '/'
};

enum TokenKind { kEndToken, kNameToken, kNumberToken, kCaretToken, kSlashToken };

// Character classes on signed bytes: no byte of 0x80 or above is a letter or a digit.
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }
bool IsOperator(char c) { return c == '^' || c == '/'; }
bool IsSeparator(char c) { return !IsLetter(c) && !IsNumberChar(c) && !IsOperator(c); }

TokenKind KindOf(const char* token) {
  if (token[0] == '\0') return kEndToken;
  if (token[0] == '^') return kCaretToken;
  if (token[0] == '/') return kSlashToken;
  if (IsNumberChar(token[0])) return kNumberToken;
  return kNameToken;
}

// The decimal value of a run of digits and at most one '.', as atof reads it: "2." is 2,
// ".5" is 0.5 and "." alone is 0. A run of at most 255 characters is always in range.
double NumberValue(const char* token) {
  double value = 0.0;
  const std::from_chars_result result = std::from_chars(token, token + std::strlen(token), value);
  return result.ec == std::errc() ? value : 0.0;
}

// The offset that a temperature scale carries when its name is the whole expression.
double OffsetOf(const char* name) {
  if (SameText(name, "degC")) return kCelsiusOffset;
  if (SameText(name, "degF")) return kFahrenheitOffset;
  return 0.0;
}

// Everything one parse works on; nothing of it outlives the call.
struct WorkingState {
  double factor = 1.0;
  double offset = 0.0;
  double exponents[kDimensionCount] = {};
  double pending_factor = 1.0;
  DimensionVector pending_dimension = {};
  double pending_power = 1.0;
  bool dividing = false;
  int state = kAfterUnit;
  int counted_tokens = 0;
};

// Multiplies (or, once a '/' has been followed by a unit, divides) the pending unit into the
// result. The '/' check comes last: the unit before the '/' is still multiplied in.
void ApplyPendingUnit(WorkingState& work) {
  // Most units stand to the power 1, which needs no call at all.
  const double raised = work.pending_power == 1.0
                            ? work.pending_factor
                            : RaiseToPower(work.pending_factor, work.pending_power);
  if (work.dividing) {
    work.factor = work.factor / raised;
    work.pending_power = -work.pending_power;
  } else {
    work.factor = raised * work.factor;
  }
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    work.exponents[slot] =
        work.pending_dimension.exp[slot] * work.pending_power + work.exponents[slot];
  }
  work.pending_factor = 1.0;
  work.pending_power = 1.0;
  if (work.state == kAfterSlash) work.dividing = true;
}

// "Unknown unit 'name'", with a long name cut so that the closing quote still fits.
void WriteUnknownUnit(char* error_string, const char* name) {
  CopyText(error_string, kUnitTextSize, "Unknown unit '");
  AppendText(error_string, kUnitTextSize - 1, name);
  AppendText(error_string, kUnitTextSize, "'");
}

// Acts on one counted token. Returns 0 with the message in error_string when it is misplaced.
int ActOnToken(WorkingState& work, TokenKind kind, const char* token, char* error_string) {
  switch (kind) {
    case kNameToken:
      FindUnit(token, &work.pending_factor, &work.pending_dimension);
      if (work.counted_tokens == 1) work.offset = OffsetOf(token);
      if (work.pending_factor == 0.0) {
        WriteUnknownUnit(error_string, token);
        return 0;
      }
      work.pending_power = 1.0;
      work.state = kAfterUnit;
      return 1;
    case kCaretToken:
      if (work.state != kAfterUnit) {
        CopyText(error_string, kUnitTextSize, "^ in wrong place");
        return 0;
      }
      work.state = kAfterCaret;
      return 1;
    case kNumberToken: {
      const double value = NumberValue(token);
      if (work.state == kAfterCaret) {
        work.pending_power = work.pending_power * value;
        work.state = kAfterPower;
        return 1;
      }
      if (work.state == kAfterSlash) {
        if (value == 0.0) {
          CopyText(error_string, kUnitTextSize, "divide by zero");
          return 0;
        }
        work.pending_power = work.pending_power / value;
        work.state = kAfterDivisor;
        return 1;
      }
      CopyText(error_string, kUnitTextSize, "number in wrong place");
      return 0;
    }
    case kSlashToken:
      work.state = kAfterSlash;
      return 1;
    case kEndToken:
      break;
  }
  return 1;
}

}  // namespace

int NextToken(const char* text, int* position, char* token, char* error_string) {
  error_string[0] = '\0';
  token[0] = '\0';
  int at = *position;
  while (text[at] != '\0' && IsSeparator(text[at])) ++at;
  // A run longer than a token buffer (never the case for a text the parser accepts) is kept
  // whole in the position but cut in the token.
  std::size_t length = 0;
  const auto keep = [&](char c) {
    if (length + 1 < kUnitTextSize) token[length++] = c;
  };
  if (IsOperator(text[at])) {
    keep(text[at++]);
  } else if (IsNumberChar(text[at])) {
    bool had_point = false;
    while (IsNumberChar(text[at])) {
      const bool point = text[at] == '.';
      keep(text[at++]);
      if (point && had_point) {
        token[length] = '\0';
        *position = at;
        CopyText(error_string, kUnitTextSize, "Error: two decimal points in ");
        AppendText(error_string, kUnitTextSize, token);
        return 0;
      }
      had_point = had_point || point;
    }
  } else {
    while (IsLetter(text[at])) keep(text[at++]);
  }
  token[length] = '\0';
  *position = at;
  return 1;
}

int ParseUnits(const char* units_string, ParsedUnit* parsed, char* error_string) {
  std::size_t length = 0;
  while (length < kUnitTextSize && units_string[length] != '\0') ++length;
  if (length >= kUnitTextSize) {
    CopyText(error_string, kUnitTextSize, "string length too long");
    return 0;
  }

  WorkingState work;
  int position = 0;
  char token[kUnitTextSize];
  for (;;) {
    if (!NextToken(units_string, &position, token, error_string)) return 0;
    const TokenKind kind = KindOf(token);
    if (kind == kNameToken || kind == kEndToken) ApplyPendingUnit(work);
    if (kind == kEndToken) break;
    // The number "1" is ignored wherever it stands, so "1/s" reads as "/s".
    if (kind == kNumberToken && SameText(token, "1")) continue;
    ++work.counted_tokens;
    if (!ActOnToken(work, kind, token, error_string)) return 0;
  }

  // Only a lone "degC" or "degF" is a temperature on its scale; in anything longer it is a
  // plain factor, since an offset means nothing once the unit is raised or combined.
  if (work.counted_tokens != 1) work.offset = 0.0;
  parsed->factor = work.factor;
  parsed->offset = work.offset;
  for (int slot = 0; slot < kDimensionCount; ++slot) parsed->exponents[slot] = work.exponents[slot];
  error_string[0] = '\0';
  return 1;
}
