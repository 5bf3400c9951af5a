// The unit-expression parser: a tokenizer over UTF-8 text and a state machine over unit names,
// with the enclosing levels of open groups kept on a fixed stack.
#include "parser.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "name_hint.h"
#include "power.h"
#include "text_buffer.h"
#include "unit_lookup.h"
#include "utf8.h"

namespace {

// States of the parse, named after the token that led to them.
enum ParseState {
  kAfterUnit = 1,     // the start, a unit name or a closed group
  kAfterCaret = 2,    // '^' after a unit name (or at the start)
  kAfterPower = 3,    // the number after '^', or a superscript power
  kAfterDivisor = 4,  // the number after '/', dividing the power
  kAfterSlash = 5,    // '/'
  kAfterMinus = 6,    // a '-' right after '^': the power that follows is negative
  kAfterPer = 7,      // the word "per": as '/', but no number may follow
};

enum TokenKind : int32_t {
  kEndToken,
  kNameToken,
  kNumberToken,
  kCaretToken,
  kSlashToken,
  kMinusToken,
  kOpenToken,
  kCloseToken,
  kSuperscriptToken,
  kPerToken,          // "per"
  kPowerBeforeToken,  // "square", "sq", "cubic", "cu": the next unit's power
  kPowerAfterToken,   // "squared", "cubed": the last unit's power
  kFailedToken,
};

// What an ASCII character starts.
enum AsciiClass : uint8_t {
  kSeparatorChar,
  kLetterChar,
  kNumberChar,
  kOperatorChar,  // '^' '/' '(' ')'
  kMinusChar,     // a separator, unless it follows '^'
  kPercentChar,   // '%', a unit's name of its own
  kEndChar,
};

constexpr AsciiClass ClassOf(int c) {
  if (c == '\0') return kEndChar;
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return kLetterChar;
  if ((c >= '0' && c <= '9') || c == '.') return kNumberChar;
  if (c == '^' || c == '/' || c == '(' || c == ')') return kOperatorChar;
  if (c == '-') return kMinusChar;
  if (c == '%') return kPercentChar;
  return kSeparatorChar;
}

struct AsciiClassTable {
  AsciiClass of[128];
};
constexpr AsciiClassTable MakeAsciiClassTable() {
  AsciiClassTable table{};
  for (int c = 0; c < 128; ++c) table.of[c] = ClassOf(c);
  return table;
}
constexpr AsciiClassTable kAscii = MakeAsciiClassTable();

bool IsNumberByte(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Characters beyond ASCII that separate like a blank: the no-break spaces, the middle dot, the
// dot operator and the multiplication sign, so that "N·m" is N m.
bool IsWideSeparator(uint32_t code) {
  return code == 0x00A0 || code == 0x202F || code == 0x00B7 || code == 0x22C5 || code == 0x00D7;
}

constexpr uint32_t kSuperscriptMinus = 0x207B;

// U+2212, the minus sign of typeset text, reads as '-'.
constexpr uint32_t kMinusSign = 0x2212;
bool StartsMinusSign(const char* text) {
  return text[0] == '\xE2' && text[1] == '\x88' && text[2] == '\x92';
}

// The digit a superscript character stands for, or -1.
int SuperscriptDigit(uint32_t code) {
  switch (code) {
    case 0x2070: return 0;
    case 0x00B9: return 1;
    case 0x00B2: return 2;
    case 0x00B3: return 3;
    default: return code >= 0x2074 && code <= 0x2079 ? static_cast<int>(code - 0x2070) : -1;
  }
}

// Whether a superscript power starts at text: a superscript digit, or a superscript minus before
// one. A superscript minus alone belongs to the name it touches.
bool StartsSuperscript(const char* text, std::size_t length, uint32_t code) {
  if (SuperscriptDigit(code) >= 0) return true;
  if (code != kSuperscriptMinus) return false;
  const std::size_t next = CharacterLength(text + length);
  return SuperscriptDigit(CodePoint(text + length, next)) >= 0;
}

// Blanks, the only characters allowed between '^' and the minus sign of its power.
bool IsBlankBefore(const char* text, int at, int* length) {
  const auto byte = [&](int i) { return static_cast<unsigned char>(text[i]); };
  *length = 1;
  if (byte(at) == ' ' || byte(at) == '\t') return true;
  *length = 2;
  if (at >= 1 && byte(at - 1) == 0xC2 && byte(at) == 0xA0) return true;  // U+00A0
  *length = 3;
  return at >= 2 && byte(at - 2) == 0xE2 && byte(at - 1) == 0x80 && byte(at) == 0xAF;  // U+202F
}

// Whether the '-' at text[at] follows a '^' with only blanks between.
bool MinusFollowsCaret(const char* text, int at) {
  int before = at - 1;
  int length = 0;
  while (before >= 0 && IsBlankBefore(text, before, &length)) before -= length;
  return before >= 0 && text[before] == '^';
}

// Collects a token's text in a buffer of kUnitTextSize bytes: whole characters while they fit,
// then nothing more, so that a run longer than the buffer is kept whole in the position but cut
// in the token.
struct TokenBuffer {
  char* text;
  std::size_t length = 0;
  std::size_t room = kUnitTextSize - 1;  // drops to length once a character does not fit

  void AddByte(char c) {
    if (length < room) {
      text[length++] = c;
    } else {
      room = length;
    }
  }
  void Add(const char* from, std::size_t count) {
    if (length + count > room) {
      room = length;
      return;
    }
    for (std::size_t i = 0; i < count; ++i) text[length++] = from[i];
  }
  void End() { text[length] = '\0'; }
};

// What a character beyond ASCII starts, and its length in bytes.
enum WideClass { kWideSeparator, kWideSuperscript, kWideMinus, kWideName };
WideClass ClassOfWide(const char* text, std::size_t* length) {
  *length = CharacterLength(text);
  const uint32_t code = CodePoint(text, *length);
  if (IsWideSeparator(code)) return kWideSeparator;
  if (code == kMinusSign) return kWideMinus;
  return StartsSuperscript(text, *length, code) ? kWideSuperscript : kWideName;
}

TokenKind OperatorKind(char c) {
  switch (c) {
    case '^': return kCaretToken;
    case '/': return kSlashToken;
    case '(': return kOpenToken;
    default: return kCloseToken;
  }
}

// A run of number characters. Returns 0 with the message in error_string at a second '.'.
int ReadNumber(const char* text, int* at, TokenBuffer* out, char* error_string) {
  bool had_point = false;
  while (IsNumberByte(text[*at])) {
    const bool point = text[*at] == '.';
    out->AddByte(text[(*at)++]);
    if (point && had_point) {
      out->End();
      CopyText(error_string, kUnitTextSize, "Error: two decimal points in ");
      AppendText(error_string, kUnitTextSize, out->text);
      return 0;
    }
    had_point = had_point || point;
  }
  return 1;
}

// A superscript power: a superscript minus, if any, and the superscript digits after it.
void ReadSuperscript(const char* text, int* at, TokenBuffer* out) {
  std::size_t length = CharacterLength(text + *at);
  if (CodePoint(text + *at, length) == kSuperscriptMinus) {
    out->Add(text + *at, length);
    *at += static_cast<int>(length);
  }
  for (;;) {
    length = CharacterLength(text + *at);
    if (SuperscriptDigit(CodePoint(text + *at, length)) < 0) return;
    out->Add(text + *at, length);
    *at += static_cast<int>(length);
  }
}

// A name: letters and every character beyond ASCII but the separators and superscript powers.
void ReadName(const char* text, int* at, TokenBuffer* out) {
  for (;;) {
    unsigned char c = static_cast<unsigned char>(text[*at]);
    while (c < 0x80 && kAscii.of[c] == kLetterChar) {
      out->AddByte(static_cast<char>(c));
      c = static_cast<unsigned char>(text[++*at]);
    }
    std::size_t length = 0;
    if (c < 0x80 || ClassOfWide(text + *at, &length) != kWideName) return;
    out->Add(text + *at, length);
    *at += static_cast<int>(length);
  }
}

// A token read: its kind and the length of its text. Small enough to come back in a register.
struct Token {
  TokenKind kind;
  int32_t length;
};

// Reads one token from text[at] on (at is *position or a separator before the token) and
// advances *position past it. A failure writes its message into error_string and gives
// kFailedToken.
Token ReadTokenFrom(const char* text, int at, int* position, char* token, char* error_string) {
  std::size_t length = 0;
  WideClass wide = kWideName;
  for (;;) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
      const AsciiClass ascii = kAscii.of[c];
      if (ascii != kSeparatorChar && (ascii != kMinusChar || MinusFollowsCaret(text, at))) break;
      ++at;
      continue;
    }
    wide = ClassOfWide(text + at, &length);
    if (wide != kWideSeparator && (wide != kWideMinus || MinusFollowsCaret(text, at))) break;
    at += static_cast<int>(length);
  }
  TokenBuffer out{token};
  TokenKind kind = kNameToken;
  const unsigned char c = static_cast<unsigned char>(text[at]);
  if (c >= 0x80) {
    if (wide == kWideSuperscript) {
      kind = kSuperscriptToken;
      ReadSuperscript(text, &at, &out);
    } else if (wide == kWideMinus) {
      kind = kMinusToken;
      out.Add(text + at, length);
      at += static_cast<int>(length);
    } else {
      ReadName(text, &at, &out);
    }
  } else {
    switch (kAscii.of[c]) {
      case kEndChar:
        kind = kEndToken;
        break;
      case kMinusChar:
        kind = kMinusToken;
        out.AddByte(text[at++]);
        break;
      case kPercentChar:
        out.AddByte(text[at++]);
        break;
      case kOperatorChar:
        kind = OperatorKind(static_cast<char>(c));
        out.AddByte(text[at++]);
        break;
      case kNumberChar:
        kind = kNumberToken;
        if (!ReadNumber(text, &at, &out, error_string)) kind = kFailedToken;
        break;
      default:
        ReadName(text, &at, &out);
        break;
    }
  }
  out.End();
  *position = at;
  return {kind, static_cast<int32_t>(out.length)};
}

// ReadTokenFrom with the common tokens read first: an operator, a name of ASCII letters or a
// number of digits alone after ASCII blanks, as in "kg m/s^2". Anything else (a decimal point, a
// minus sign, a character beyond ASCII) is left to ReadTokenFrom, so that this stays small
// enough to cost little per token.
Token ReadToken(const char* text, int* position, char* token, char* error_string) {
  int at = *position;
  unsigned char c = static_cast<unsigned char>(text[at]);
  while (c < 0x80 && kAscii.of[c] == kSeparatorChar) c = static_cast<unsigned char>(text[++at]);
  if (c >= 0x80) return ReadTokenFrom(text, at, position, token, error_string);
  const AsciiClass ascii = kAscii.of[c];
  if (ascii == kEndChar || ascii == kOperatorChar) {
    token[0] = static_cast<char>(c);
    token[c != '\0'] = '\0';
    *position = at + (c != '\0');
    return {ascii == kEndChar ? kEndToken : OperatorKind(static_cast<char>(c)), c != '\0'};
  }
  if (ascii != kLetterChar && ascii != kNumberChar) {
    return ReadTokenFrom(text, at, position, token, error_string);
  }
  const int start = at;
  int32_t length = 0;
  do {
    if (c == '.') return ReadTokenFrom(text, start, position, token, error_string);
    token[length++] = static_cast<char>(c);
    c = static_cast<unsigned char>(text[++at]);
  } while (c < 0x80 && kAscii.of[c] == ascii && length + 1 < static_cast<int32_t>(kUnitTextSize));
  if (c >= 0x80 || kAscii.of[c] == ascii) {
    return ReadTokenFrom(text, start, position, token, error_string);
  }
  token[length] = '\0';
  *position = at;
  return {ascii == kLetterChar ? kNameToken : kNumberToken, length};
}

// The decimal value of a run of digits and at most one '.', as atof reads it: "2." is 2,
// ".5" is 0.5 and "." alone is 0. A run of at most 255 characters is always in range.
double NumberValue(const char* token) {
  double value = 0.0;
  const std::from_chars_result result = std::from_chars(token, token + std::strlen(token), value);
  return result.ec == std::errc() ? value : 0.0;
}

// The value of a superscript power: "²" is 2, "⁻¹" is -1.
double SuperscriptValue(const char* token) {
  double value = 0.0;
  double sign = 1.0;
  for (std::size_t at = 0; token[at] != '\0';) {
    const std::size_t length = CharacterLength(token + at);
    const uint32_t code = CodePoint(token + at, length);
    if (code == kSuperscriptMinus) {
      sign = -1.0;
    } else {
      value = value * 10.0 + SuperscriptDigit(code);
    }
    at += length;
  }
  return sign * value;
}

// What an open group keeps of the level around it.
struct EnclosingLevel {
  Double2 factor;
  double exponents[kDimensionCount];
  bool dividing;
};

// The dimension of nothing, pending where no unit is.
constexpr DimensionVector kNoDimension = {};

// Everything one parse works on; nothing of it outlives the call.
struct WorkingState {
  Double2 factor = {1.0, 0.0};  // carried to about 100 bits (see ChainedProduct), rounded at the end
  double offset = 0.0;
  double exponents[kDimensionCount] = {};
  Double2 pending_factor = {1.0, 0.0};
  const int32_t* pending_dimension = kNoDimension.exp;  // of a unit name, in the catalogue
  bool pending_named = false;                        // a unit name is pending
  bool pending_group = false;                        // a closed group is pending instead:
  double pending_group_exponents[kDimensionCount];  // its exponents
  double pending_power = 1.0;
  double word_power = 1.0;           // of "square" or "cubic", for the unit that follows
  const char* power_word = nullptr;  // that word, while it waits for its unit
  bool dividing = false;
  int state = kAfterUnit;
  int counted_tokens = 0;
  int depth = 0;
  EnclosingLevel enclosing[kMaxGroupDepth];  // written only as groups open
};

// Whether a factor is far enough inside the double range for products in double-double, whose
// low parts must stay normal too. The factors of extreme expressions ("ft^999") are multiplied
// as plain doubles, each rounded first, overflowing to an infinity or to zero as they always
// have.
bool Moderate(Double2 factor) { return factor.hi > 0x1p-400 && factor.hi < 0x1p400; }

// exponents += dimension * power, slot by slot: whole groups of four first, which the compiler
// makes vector operations of, then the rest.
template <class Exponent>
void AddPowered(double* exponents, const Exponent* dimension, double power) {
  constexpr int kGrouped = kDimensionCount / 4 * 4;
  for (int slot = 0; slot < kGrouped; ++slot) {
    exponents[slot] = dimension[slot] * power + exponents[slot];
  }
  for (int slot = kGrouped; slot < kDimensionCount; ++slot) {
    exponents[slot] = dimension[slot] * power + exponents[slot];
  }
}

// ApplyPendingUnit for a pending unit that there is.
void ApplyNamedOrGroup(WorkingState& work) {
  // A unit of factor 1 (an SI unit, "m", "kg", "s"), to any power, leaves the factor as it is:
  // the commonest case costs one test.
  if (!IsOne(work.pending_factor)) {
    // Most units stand to the power 1, which needs no call at all. This is the one place where
    // a unit is raised.
    const Double2 raised = work.pending_power == 1.0
                               ? work.pending_factor
                               : RaiseToPowerExtended(work.pending_factor, work.pending_power);
    const bool moderate = Moderate(raised) && Moderate(work.factor);
    if (IsOne(raised)) {
      // "ft^0": nothing to multiply in.
    } else if (work.dividing) {
      work.factor = moderate ? ChainedQuotient(work.factor, raised)
                             : Exact(Rounded(work.factor) / Rounded(raised));
    } else if (IsOne(work.factor)) {
      work.factor = raised;  // the first unit of a product
    } else {
      work.factor = moderate ? ChainedProduct(raised, work.factor)
                             : Exact(Rounded(raised) * Rounded(work.factor));
    }
  }
  if (work.dividing) work.pending_power = -work.pending_power;
  if (work.pending_group) {
    AddPowered(work.exponents, work.pending_group_exponents, work.pending_power);
    work.pending_group = false;
    work.pending_dimension = kNoDimension.exp;
  } else {
    AddPowered(work.exponents, work.pending_dimension, work.pending_power);
  }
  work.pending_named = false;
  work.pending_factor = Exact(1.0);
  work.pending_power = 1.0;
}

// Multiplies (or, once a '/' has been followed by a unit, divides) the pending unit into the
// result. The '/' check comes last: the unit before the '/' is still multiplied in. Nothing
// pending (the start, or a unit applied already) and nothing raised leaves only the '/' to see
// to.
inline void ApplyPendingUnit(WorkingState& work) {
  if (work.pending_named || work.pending_group || work.pending_power != 1.0) {
    ApplyNamedOrGroup(work);
  }
  if (work.state == kAfterSlash || work.state == kAfterPer) work.dividing = true;
}

// "Unknown unit 'name'", with a long name cut so that the closing quote still fits, and the
// names near it that the catalogue has, where they fit too.
void WriteUnknownUnit(char* error_string, const char* name) {
  CopyText(error_string, kUnitTextSize, "Unknown unit '");
  AppendText(error_string, kUnitTextSize - 1, name);
  AppendText(error_string, kUnitTextSize, "'");
  AppendNameHint(error_string, kUnitTextSize, name);
}

// "<word> in wrong place", for a word of the grammar where it cannot stand.
int WordInWrongPlace(char* error_string, const char* word) {
  CopyText(error_string, kUnitTextSize, word);
  AppendText(error_string, kUnitTextSize, " in wrong place");
  return 0;
}

int Fail(char* error_string, const char* message) {
  CopyText(error_string, kUnitTextSize, message);
  return 0;
}

// '(' (the pending unit has just been applied): the level around the group is put aside, and
// the group starts as an expression of its own.
int OpenGroup(WorkingState& work, char* error_string) {
  // A power is a number: "m^(1/2)" would otherwise read as m times a group of no dimension.
  if (work.state == kAfterCaret || work.state == kAfterMinus) {
    return Fail(error_string, "^ in wrong place");
  }
  if (work.depth == kMaxGroupDepth) {
    return Fail(error_string, "Parentheses nested more than 16 deep");
  }
  EnclosingLevel& level = work.enclosing[work.depth++];
  level.factor = work.factor;
  std::memcpy(level.exponents, work.exponents, sizeof level.exponents);
  level.dividing = work.dividing;
  // The group starts as the whole text does, with nothing pending: the unit before the '(' has
  // been applied, but its exponents are still where the next unit's will go.
  work.factor = Exact(1.0);
  for (double& exponent : work.exponents) exponent = 0.0;
  work.pending_dimension = kNoDimension.exp;
  work.dividing = false;
  work.state = kAfterUnit;
  return 1;
}

// ')' (the group's last unit has just been applied): the group becomes the pending unit of the
// level around it, which may raise it to a power or divide by it.
int CloseGroup(WorkingState& work, char* error_string) {
  if (work.depth == 0) return Fail(error_string, "Unbalanced parentheses");
  const EnclosingLevel& level = work.enclosing[--work.depth];
  work.pending_factor = work.factor;
  std::memcpy(work.pending_group_exponents, work.exponents, sizeof work.pending_group_exponents);
  work.pending_group = true;
  work.pending_power = 1.0;
  work.factor = level.factor;
  std::memcpy(work.exponents, level.exponents, sizeof work.exponents);
  work.dividing = level.dividing;
  work.state = kAfterUnit;
  return 1;
}

// Words of the grammar that are no units: "miles per hour", "square feet", "metres squared".
struct GrammarWord {
  const char* text;
  TokenKind kind;
  double power;  // of the unit they raise
};
constexpr GrammarWord kGrammarWords[] = {
    {"per", kPerToken, 1.0},           {"square", kPowerBeforeToken, 2.0},
    {"sq", kPowerBeforeToken, 2.0},    {"cubic", kPowerBeforeToken, 3.0},
    {"cu", kPowerBeforeToken, 3.0},    {"squared", kPowerAfterToken, 2.0},
    {"cubed", kPowerAfterToken, 3.0},
};

const GrammarWord* FindGrammarWord(const char* token) {
  for (const GrammarWord& word : kGrammarWords) {
    if (SameText(token, word.text)) return &word;
  }
  return nullptr;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Takes more of text into token (*length bytes, which ends at text[*position]) when the text
// that follows makes a longer spelling of the catalogue: the run of digits and letters after it
// ("cmH" and "2O" make "cmH2O"), or, with word, the word after it joined by blanks or one '-'
// ("fl" and "oz" make "fl oz", "mm" and "H2O" "mm H2O"). Returns whether it took more, having advanced
// *position and *length.
bool TakeMore(const char* text, int* position, char* token, std::size_t* length, bool word) {
  int start = *position;
  if (word) {
    if (text[start] == '-') {
      ++start;
    } else {
      while (text[start] == ' ' || text[start] == '\t') ++start;
    }
    if (start == *position) return false;
  }
  int end = start;
  while (!word && IsDigit(text[end])) ++end;
  const int letters = end;
  while (IsAsciiLetter(text[end])) ++end;
  if (end == letters) return false;
  if (word) {
    // The word after may hold digits between letters ("mm H2O"); digits at its end are a power.
    int digits = end;
    while (IsDigit(text[digits])) ++digits;
    int after = digits;
    while (IsAsciiLetter(text[after])) ++after;
    if (digits > end && after > digits) end = after;
  }
  const std::size_t more = static_cast<std::size_t>(end - start) + (word ? 1 : 0);
  if (*length + more > kLongestSpelling) return false;
  char longer[kLongestSpelling + 1];
  std::memcpy(longer, token, *length);
  if (word) longer[*length] = ' ';
  const std::size_t taken = static_cast<std::size_t>(end - start);
  std::memcpy(longer + *length + (word ? 1 : 0), text + start, taken);
  longer[*length + more] = '\0';
  if (FindUnitEntry(longer) == nullptr) return false;
  *length += more;
  std::memcpy(token, longer, *length + 1);
  *position = end;
  return true;
}

// Reads the unit name in token (length bytes), which ends at text[*position]: a name of the
// catalogue with digits inside ("cmH2O"), the first word of a name of two words with the word
// after it ("fl oz", "pound-force"), or token as it stands. Advances *position and replaces
// token when it takes more in.
UnitReading ReadNameAt(const char* text, int* position, char* token, std::size_t length) {
  if (IsDigit(text[*position])) TakeMore(text, position, token, &length, false);
  UnitReading reading = ReadUnitName(token, length);
  if (reading.starts_phrase && TakeMore(text, position, token, &length, true)) {
    reading = ReadUnitName(token, length);
  }
  return reading;
}

// The bytes that, right after a unit's name, may begin a power written without '^' or a name
// with digits inside: a digit, '-', or the first byte of U+2212. A table, as this is asked after
// every name.
struct ByteSet {
  bool has[256];
};
constexpr ByteSet MakeGluedPowerStarts() {
  ByteSet set{};
  for (int c = '0'; c <= '9'; ++c) set.has[c] = true;
  set.has[static_cast<unsigned char>('-')] = true;
  set.has[0xE2] = true;
  return set;
}
constexpr ByteSet kGluedPowerStarts = MakeGluedPowerStarts();
bool MayStartGluedPower(char c) { return kGluedPowerStarts.has[static_cast<unsigned char>(c)]; }

// A power written right after a unit's name, without '^': digits ("m2", "cm3") or a minus sign
// and digits ("s-1", "W m\u22122"). A '.' cannot begin one, so "ft." stays an abbreviation that the
// parser refuses. Returns 1 (having read nothing, or the power into the pending unit), or 0 on a
// number with two decimal points.
int ReadGluedPower(const char* text, int* position, WorkingState& work, char* error_string) {
  int at = *position;
  double sign = 1.0;
  if (text[at] == '-' || StartsMinusSign(text + at)) {
    const int after = at + (text[at] == '-' ? 1 : 3);
    if (!IsDigit(text[after])) return 1;
    sign = -1.0;
    at = after;
  } else if (!IsDigit(text[at])) {
    return 1;
  }
  char number[kUnitTextSize];
  TokenBuffer out{number};
  if (!ReadNumber(text, &at, &out, error_string)) return 0;
  out.End();
  *position = at;
  ++work.counted_tokens;
  work.pending_power = work.pending_power * (sign * NumberValue(number));
  work.state = kAfterPower;
  return 1;
}

// Takes a unit name that reads as reading in as the pending unit (the one before it has just been
// applied).
void TakeUnit(WorkingState& work, const UnitReading& reading) {
  work.pending_factor = reading.factor;
  work.pending_dimension = reading.unit->dimension.exp;
  work.pending_named = true;
  // A temperature is on its scale only when its name is the whole expression.
  if (work.counted_tokens == 1) {
    work.offset = reading.prefix_power == 0 ? reading.unit->offset : 0.0;
  }
  if (work.power_word != nullptr) {
    work.pending_power = work.word_power;
    work.power_word = nullptr;
  } else {
    work.pending_power = 1.0;
  }
  work.state = kAfterUnit;
}

// Acts on one counted token other than a unit name. Returns 0 with the message in error_string
// when it is misplaced.
int ActOnToken(WorkingState& work, TokenKind kind, const char* token, const GrammarWord* word,
               char* error_string) {
  switch (kind) {
    case kCaretToken:
      if (work.state != kAfterUnit) return Fail(error_string, "^ in wrong place");
      work.state = kAfterCaret;
      return 1;
    case kMinusToken:
      if (work.state == kAfterCaret) work.state = kAfterMinus;
      return 1;
    case kSuperscriptToken:
      // A superscript is '^' and its number in one: "m²" is "m^2".
      if (work.state != kAfterUnit) return Fail(error_string, "^ in wrong place");
      work.pending_power = work.pending_power * SuperscriptValue(token);
      work.state = kAfterPower;
      return 1;
    case kNumberToken: {
      const double value = NumberValue(token);
      if (work.state == kAfterCaret || work.state == kAfterMinus) {
        work.pending_power = work.pending_power * (work.state == kAfterMinus ? -value : value);
        work.state = kAfterPower;
        return 1;
      }
      if (work.state == kAfterSlash) {
        if (value == 0.0) return Fail(error_string, "divide by zero");
        work.pending_power = work.pending_power / value;
        work.state = kAfterDivisor;
        return 1;
      }
      return Fail(error_string, "number in wrong place");
    }
    case kSlashToken:
      work.state = kAfterSlash;
      return 1;
    case kPerToken:
      work.state = kAfterPer;
      return 1;
    case kPowerBeforeToken:
      work.word_power = word->power;
      work.power_word = word->text;
      return 1;
    case kPowerAfterToken:
      // After a unit or a group, which "squared" alone at the start is not.
      if (work.state != kAfterUnit || work.counted_tokens == 1) {
        return WordInWrongPlace(error_string, word->text);
      }
      work.pending_power = work.pending_power * word->power;
      work.state = kAfterPower;
      return 1;
    default:
      break;
  }
  return 1;
}

}  // namespace

int NextToken(const char* text, int* position, char* token, char* error_string) {
  error_string[0] = '\0';
  token[0] = '\0';
  return ReadToken(text, position, token, error_string).kind == kFailedToken ? 0 : 1;
}

int ParseUnits(const char* units_string, ParsedUnit* parsed, char* error_string) {
  // At most 255 bytes are at most 255 characters; only a longer text needs its characters counted.
  std::size_t bytes = 0;
  while (bytes < kUnitTextSize && units_string[bytes] != '\0') ++bytes;
  if (bytes == kUnitTextSize && CountCharacters(units_string, kUnitTextSize) == kUnitTextSize) {
    return Fail(error_string, "string length too long");
  }

  WorkingState work;
  int position = 0;
  char token[kUnitTextSize];
  for (;;) {
    const Token read = ReadToken(units_string, &position, token, error_string);
    TokenKind kind = read.kind;
    if (kind == kFailedToken) return 0;
    const GrammarWord* word = nullptr;
    if (kind == kNameToken) {
      const UnitReading reading =
          ReadNameAt(units_string, &position, token, static_cast<std::size_t>(read.length));
      if (reading.unit != nullptr) {
        // A unit completes the pending unit and becomes the pending one.
        ApplyPendingUnit(work);
        ++work.counted_tokens;
        TakeUnit(work, reading);
        if (MayStartGluedPower(units_string[position]) &&
            !ReadGluedPower(units_string, &position, work, error_string)) {
          return 0;
        }
        continue;
      }
      word = FindGrammarWord(token);
      if (word == nullptr) {
        WriteUnknownUnit(error_string, token);
        return 0;
      }
      kind = word->kind;
    }
    // "square" and "cubic" raise the unit that comes next, and nothing else.
    if (work.power_word != nullptr) return WordInWrongPlace(error_string, work.power_word);
    // A group's start or end, and the end of the text, complete the pending unit.
    if (kind == kEndToken || kind == kOpenToken || kind == kCloseToken) ApplyPendingUnit(work);
    if (kind == kEndToken) break;
    if (kind == kOpenToken) {
      if (!OpenGroup(work, error_string)) return 0;
      continue;
    }
    if (kind == kCloseToken) {
      if (!CloseGroup(work, error_string)) return 0;
      continue;
    }
    // The number "1" is ignored wherever it stands, so "1/s" reads as "/s"; but not as the power
    // after a minus sign, where "s^-1" means what it says.
    if (kind == kNumberToken && work.state != kAfterMinus && SameText(token, "1")) continue;
    ++work.counted_tokens;
    if (!ActOnToken(work, kind, token, word, error_string)) return 0;
  }
  if (work.depth != 0) return Fail(error_string, "Unbalanced parentheses");

  // Only a lone "degC" or "degF" is a temperature on its scale; in anything longer it is a
  // plain factor, since an offset means nothing once the unit is raised or combined.
  if (work.counted_tokens != 1) work.offset = 0.0;
  parsed->factor = Rounded(work.factor);
  parsed->offset = work.offset;
  for (int slot = 0; slot < kDimensionCount; ++slot) parsed->exponents[slot] = work.exponents[slot];
  error_string[0] = '\0';
  return 1;
}
