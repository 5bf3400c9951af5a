// The spellings of a catalogue row that are read by name: its name, its forms, its words and the
// plurals of its words, made at compile time by one rule of English plurals.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest spelling any row may have ("degrees Fahrenheit" is 18).
constexpr std::size_t kLongestSpelling = 23;

// What a spelling is of its row.
enum class SpellingKind : uint8_t {
  kName,         // the row's name
  kForm,         // another spelling, read as it stands
  kWord,         // a full name
  kPlural,       // the plural of a full name
  kPhraseStart,  // only the first word of spellings of two words ("fl" of "fl oz")
};

// How a prefix may stand before a spelling, if its row takes prefixes: as a symbol before the
// row's name and its symbols beyond ASCII ("km", "kΩ"), as a word before its words ("kilometre").
enum PrefixWay : uint8_t { kNoPrefixWay = 0, kPrefixSymbol = 1, kPrefixWord = 2 };

// One spelling: its text, the catalogue row it reads as, how a prefix may stand before it, and
// whether it may begin a spelling of two words, so that the parser looks at the next word only
// then. A text that is both a row's name and one of its words ("ohm") is one spelling of both
// kinds, the first given.
struct Spelling {
  char text[kLongestSpelling + 1];
  uint8_t length;       // of text
  uint16_t row;         // kNoRow for a phrase start that is no unit itself
  SpellingKind kind;
  uint8_t prefix_ways;  // PrefixWay bits
  bool starts_phrase;
};

// How a prefix may stand before a spelling of this kind and text.
constexpr uint8_t PrefixWaysOf(SpellingKind kind, const char* text) {
  switch (kind) {
    case SpellingKind::kName: return kPrefixSymbol;
    // Of the forms, only the symbols beyond ASCII ("Ω") take a prefix: "kpa" or "hz" must not
    // become another unit by one.
    case SpellingKind::kForm:
      return static_cast<unsigned char>(text[0]) >= 0x80 ? kPrefixSymbol : kNoPrefixWay;
    case SpellingKind::kWord:
    case SpellingKind::kPlural: return kPrefixWord;
    default: return kNoPrefixWay;
  }
}

constexpr uint16_t kNoRow = 0xFFFF;

// Never defined: a spelling that leads the compiler here stops the build, and the message names
// the fault.
void SpellingTooLong();
void SpellingOfTwoRows();

namespace spelling {

constexpr std::size_t Length(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

constexpr bool Same(const char* a, const char* b) {
  std::size_t i = 0;
  while (a[i] == b[i] && a[i] != '\0') ++i;
  return a[i] == b[i];
}

// Calls visit(item, length) for each item of a list of the catalogue (texts with '|' between
// them, "" for none) until visit returns true. Returns whether one did.
template <class Visit>
constexpr bool ForEachItem(const char* list, Visit visit) {
  if (list[0] == '\0') return false;
  for (std::size_t start = 0;;) {
    std::size_t length = 0;
    while (list[start + length] != '\0' && list[start + length] != '|') ++length;
    if (visit(list + start, length)) return true;
    if (list[start + length] == '\0') return false;
    start += length + 1;
  }
}

// How many items a list of the catalogue holds: texts with '|' between them, "" for none.
constexpr std::size_t ItemCount(const char* list) {
  if (list[0] == '\0') return 0;
  std::size_t count = 1;
  for (std::size_t i = 0; list[i] != '\0'; ++i) count += list[i] == '|';
  return count;
}

// Copies item index of list into out (kLongestSpelling + 1 bytes).
constexpr void CopyItem(const char* list, std::size_t index, char* out) {
  std::size_t at = 0;
  for (std::size_t item = 0; item < index; ++at) {
    if (list[at] == '|') ++item;
  }
  std::size_t length = 0;
  for (; list[at] != '\0' && list[at] != '|'; ++at) {
    if (length == kLongestSpelling) SpellingTooLong();
    out[length++] = list[at];
  }
  out[length] = '\0';
}

// Appends text to out (NUL-terminated, kLongestSpelling + 1 bytes).
constexpr void Append(char* out, const char* text) {
  std::size_t length = Length(out);
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    if (length == kLongestSpelling) SpellingTooLong();
    out[length++] = text[i];
  }
  out[length] = '\0';
}

// English plurals the rule does not make: the irregular one, and the words that stay as they are.
struct IrregularPlural {
  const char* singular;
  const char* plural;
};
constexpr IrregularPlural kIrregularPlurals[] = {
    {"foot", "feet"},       {"hertz", "hertz"},         {"lux", "lux"},
    {"siemens", "siemens"}, {"stokes", "stokes"},       {"horsepower", "horsepower"},
    {"tex", "tex"},
};

// Words that stand after the noun they qualify, as in "pounds force".
constexpr const char* kQualifiersAfter[] = {"force", "mass"};

constexpr bool IsVowel(char c) {
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

// Writes the plural of one word (length characters at word) into out.
constexpr void PluralOfWord(const char* word, std::size_t length, char* out) {
  char singular[kLongestSpelling + 1] = {};
  for (std::size_t i = 0; i < length; ++i) singular[i] = word[i];
  for (const IrregularPlural& irregular : kIrregularPlurals) {
    if (Same(singular, irregular.singular)) {
      Append(out, irregular.plural);
      return;
    }
  }
  Append(out, singular);
  const char last = length > 0 ? singular[length - 1] : '\0';
  const char before = length > 1 ? singular[length - 2] : '\0';
  const bool sibilant =
      last == 's' || last == 'x' || last == 'z' || (last == 'h' && (before == 'c' || before == 's'));
  if (sibilant) {
    Append(out, "es");
  } else if (last == 'y' && !IsVowel(before)) {
    out[Length(out) - 1] = '\0';
    Append(out, "ies");
  } else {
    Append(out, "s");
  }
}

// Writes the plural of a full name into out: of its noun, which is the last word ("short tons"),
// or the first when the last qualifies it ("pounds force", "degrees Celsius").
constexpr void Plural(const char* name, char* out) {
  out[0] = '\0';
  std::size_t space = 0;
  while (name[space] != '\0' && name[space] != ' ') ++space;
  if (name[space] == '\0') {
    PluralOfWord(name, space, out);
    return;
  }
  const char* last = name + space + 1;
  bool noun_first = last[0] >= 'A' && last[0] <= 'Z';
  for (const char* qualifier : kQualifiersAfter) noun_first = noun_first || Same(last, qualifier);
  if (noun_first) {
    PluralOfWord(name, space, out);
    Append(out, name + space);
  } else {
    char plural[kLongestSpelling + 1] = {};
    PluralOfWord(last, Length(last), plural);
    for (std::size_t i = 0; i <= space; ++i) out[i] = name[i];
    out[space + 1] = '\0';
    Append(out, plural);
  }
}

}  // namespace spelling
