// Names near an unknown one: case-insensitive matches first, else the names one edit away.
#include "name_hint.h"

#include <cstring>

#include "catalogue.h"
#include "text_buffer.h"
#include "unit_lookup.h"
#include "utf8.h"

namespace {

constexpr std::size_t kMostHints = 3;
// Names of fewer characters get hints of another case only.
constexpr std::size_t kShortestEdited = 3;
// A prefix word and a spelling: "quetta" and "degrees Fahrenheit" make the longest.
constexpr std::size_t kLongestHint = 6 + kLongestSpelling;

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether a (length_a bytes) equals b (length_b bytes) but for the case of ASCII letters.
bool SameButCase(const char* a, std::size_t length_a, const char* b, std::size_t length_b) {
  if (length_a != length_b) return false;
  for (std::size_t i = 0; i < length_a; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// Whether a and b are one edit apart: a byte changed, added or dropped, or two neighbours
// swapped.
bool OneEditApart(const char* a, std::size_t length_a, const char* b, std::size_t length_b) {
  if (length_a > length_b) return OneEditApart(b, length_b, a, length_a);
  if (length_b - length_a > 1) return false;
  std::size_t head = 0;
  while (head < length_a && a[head] == b[head]) ++head;
  if (head == length_a) return length_b == length_a + 1;  // one added at the end, or the same
  if (length_a == length_b) {
    const bool swapped = head + 1 < length_a && a[head] == b[head + 1] && a[head + 1] == b[head];
    const std::size_t rest = head + (swapped ? 2 : 1);
    return std::memcmp(a + rest, b + rest, length_a - rest) == 0;
  }
  return std::memcmp(a + head, b + head + 1, length_a - head) == 0;
}

// The hints gathered so far, best first: a spelling as it stands before one with a prefix, one
// that begins as the name does before one that does not, then in the catalogue's order of
// names. Each is kept once.
struct Hints {
  struct Hint {
    char text[kLongestHint + 1];
    int rank;
  };
  Hint best[kMostHints] = {};
  std::size_t count = 0;

  static bool Before(const Hint& a, const Hint& b) {
    return a.rank != b.rank ? a.rank < b.rank : CompareUnitNames(a.text, b.text) < 0;
  }

  void Add(const char* name, const char* head, std::size_t head_length, const char* tail) {
    Hint hint{};
    std::memcpy(hint.text, head, head_length);
    std::strcpy(hint.text + head_length, tail);
    hint.rank = (head_length > 0 ? 2 : 0) + (hint.text[0] != name[0] ? 1 : 0);
    for (std::size_t i = 0; i < count; ++i) {
      if (std::strcmp(best[i].text, hint.text) == 0) return;
    }
    std::size_t at = 0;
    while (at < count && Before(best[at], hint)) ++at;
    if (at == kMostHints) return;
    const std::size_t kept = count < kMostHints ? count : kMostHints - 1;
    for (std::size_t i = kept; i > at; --i) best[i] = best[i - 1];
    best[at] = hint;
    if (count < kMostHints) ++count;
  }
};

// Whether the parser reads spelling after a prefix of this power, written as a symbol or a word.
bool ReadsAfterPrefix(const Spelling& spelling, int power, bool word) {
  return spelling.row != kNoRow && (spelling.prefix_ways & (word ? kPrefixWord : kPrefixSymbol)) &&
         TakesPrefix(UnitCatalogue[spelling.row], power);
}

// Whether the length bytes of item begin name, in any case when fold is set.
bool Begins(const char* name, const char* item, std::size_t length, bool fold) {
  for (std::size_t i = 0; i < length; ++i) {
    if (fold ? FoldCase(name[i]) != FoldCase(item[i]) : name[i] != item[i]) return false;
  }
  return true;
}

// Gathers the spellings that match name (match(rest, rest_length, spelling text, its length)), as
// they stand and after each prefix item (a symbol or a word) that begins name, in any case when
// fold is set.
template <class Match>
void Gather(const char* name, std::size_t length, bool fold, Match match, Hints* hints) {
  // How much longer or shorter than name a spelling may be and still match: none for a match of
  // another case, one for an edit. The cheapest test first, as a hint looks at every spelling.
  const std::size_t slack = fold ? 0 : 1;
  const auto near = [slack](std::size_t a, std::size_t b) {
    return a <= b + slack && b <= a + slack;
  };
  for (std::size_t i = 0; i < SpellingCount(); ++i) {
    const Spelling& spelling = SpellingAt(i);
    if (near(length, spelling.length) && spelling.row != kNoRow &&
        match(name, length, spelling.text, spelling.length)) {
      hints->Add(name, "", 0, spelling.text);
    }
  }
  for (const UnitPrefix& prefix : UnitPrefixes) {
    for (bool word : {false, true}) {
      spelling::ForEachItem(word ? prefix.words : prefix.symbols,
                            [&](const char* item, std::size_t item_length) {
        if (item_length >= length || !Begins(name, item, item_length, fold)) return false;
        for (std::size_t i = 0; i < SpellingCount(); ++i) {
          const Spelling& spelling = SpellingAt(i);
          if (near(length - item_length, spelling.length) &&
              ReadsAfterPrefix(spelling, prefix.power, word) &&
              match(name + item_length, length - item_length, spelling.text, spelling.length)) {
            hints->Add(name, item, item_length, spelling.text);
          }
        }
        return false;
      });
    }
  }
}

}  // namespace

void AppendNameHint(char* message, std::size_t size, const char* name) {
  const std::size_t length = std::strlen(name);
  if (length == 0 || length > kLongestHint + 1) return;
  Hints hints;
  Gather(name, length, true,
         [](const char* a, std::size_t length_a, const char* b, std::size_t length_b) {
           return SameButCase(a, length_a, b, length_b);
         },
         &hints);
  // One edit makes any short name into too many others for a hint to help.
  if (hints.count == 0 && CountCharacters(name, kShortestEdited) == kShortestEdited) {
    Gather(name, length, false,
           [](const char* a, std::size_t length_a, const char* b, std::size_t length_b) {
             return OneEditApart(a, length_a, b, length_b);
           },
           &hints);
  }
  if (hints.count == 0) return;
  char hint[sizeof " (did you mean ?)" + kMostHints * (kLongestHint + 2)] = " (did you mean ";
  for (std::size_t i = 0; i < hints.count; ++i) {
    if (i > 0) std::strcat(hint, ", ");
    std::strcat(hint, hints.best[i].text);
  }
  std::strcat(hint, "?)");
  if (std::strlen(message) + std::strlen(hint) < size) AppendText(message, size, hint);
}
