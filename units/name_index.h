// A hash index over every spelling of the catalogue's rows, built by the compiler, so that a
// lookup hashes the name once and compares it with one or two spellings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "spelling.h"

constexpr uint16_t kEmptySlot = 0xFFFF;

// FNV-1a over the name's bytes, with the offset basis and prime of its definition. Case-sensitive,
// as lookup is. The table is sized from the number of spellings, so a new row never asks for a
// constant to be chosen anew.
constexpr uint32_t NameHash(const char* name, std::size_t length) {
  uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < length; ++i) {
    hash = (hash ^ static_cast<unsigned char>(name[i])) * 16777619u;
  }
  return hash;
}

// How many spellings rows can give at most: a name, each form, each word and its plural, and a
// phrase start for every spelling of two words among them.
template <class Rows>
constexpr std::size_t SpellingCapacity(const Rows& rows) {
  std::size_t capacity = 0;
  for (const auto& row : rows) {
    capacity += 1 + 2 * spelling::ItemCount(row.forms) + 4 * spelling::ItemCount(row.words);
  }
  return capacity;
}

// The smallest power of two at least twice capacity, so that open addressing stays short.
constexpr std::size_t SlotCount(std::size_t capacity) {
  std::size_t slots = 1;
  while (slots < 2 * capacity) slots *= 2;
  return slots;
}

// The spelling equal to text (length bytes) in an index of these spellings and slots (slot_mask
// + 1 of them, a power of two), or nullptr.
constexpr const Spelling* FindInIndex(const Spelling* spellings, const uint16_t* slot,
                                      std::size_t slot_mask, std::size_t longest_probe,
                                      const char* text, std::size_t length) {
  const std::size_t home = NameHash(text, length) & slot_mask;
  for (std::size_t probe = 0; probe <= longest_probe; ++probe) {
    const uint16_t at = slot[(home + probe) & slot_mask];
    if (at == kEmptySlot) return nullptr;
    const char* candidate = spellings[at].text;
    std::size_t i = 0;
    while (i < length && candidate[i] == text[i]) ++i;
    if (i == length && candidate[length] == '\0') return &spellings[at];
  }
  return nullptr;
}

// An index as code outside the catalogue sees it, to search it inline.
struct NameIndexView {
  const Spelling* spellings;
  std::size_t count;
  const uint16_t* slot;
  std::size_t slot_mask;
  std::size_t longest_probe;

  const Spelling* Find(const char* text, std::size_t length) const {
    return FindInIndex(spellings, slot, slot_mask, longest_probe, text, length);
  }
};

// Every spelling and the open-addressed table (linear probing) that finds them.
template <std::size_t capacity, std::size_t slots>
struct NameIndex {
  static_assert(capacity < kEmptySlot && slots < kEmptySlot, "too many spellings for the index");
  Spelling spellings[capacity];
  std::size_t count;
  uint16_t slot[slots];        // index into spellings of each slot, or kEmptySlot
  std::size_t longest_probe;   // most slots any spelling lies away from its home slot

  // The spelling equal to text (length bytes), or nullptr.
  constexpr const Spelling* Find(const char* text, std::size_t length) const {
    return FindInIndex(spellings, slot, slots - 1, longest_probe, text, length);
  }

  constexpr NameIndexView View() const {
    return {spellings, count, slot, slots - 1, longest_probe};
  }

  // Adds a spelling of row. One that stands already for the same row is kept as it was; one
  // that stands for another row stops the build. A phrase start that no unit spells takes the
  // row of a unit spelled so.
  constexpr void Add(const char* text, uint16_t row, SpellingKind kind) {
    const std::size_t length = spelling::Length(text);
    if (length > kLongestSpelling) SpellingTooLong();
    const std::size_t home = NameHash(text, length) & (slots - 1);
    std::size_t probe = 0;
    for (;; ++probe) {
      const uint16_t at = slot[(home + probe) & (slots - 1)];
      if (at == kEmptySlot) break;
      Spelling& standing = spellings[at];
      if (!spelling::Same(standing.text, text)) continue;
      if (row == kNoRow) return;
      if (standing.row == row) {
        standing.prefix_ways |= PrefixWaysOf(kind, text);
        return;
      }
      if (standing.row != kNoRow) SpellingOfTwoRows();
      standing.row = row;
      standing.kind = kind;
      standing.prefix_ways = PrefixWaysOf(kind, text);
      return;
    }
    Spelling& added = spellings[count];
    for (std::size_t i = 0; i <= length; ++i) added.text[i] = text[i];
    added.length = static_cast<uint8_t>(length);
    added.row = row;
    added.kind = kind;
    added.prefix_ways = PrefixWaysOf(kind, text);
    added.starts_phrase = kind == SpellingKind::kPhraseStart;
    slot[(home + probe) & (slots - 1)] = static_cast<uint16_t>(count++);
    if (probe > longest_probe) longest_probe = probe;
  }

  // Marks the first word of every spelling of two words, adding it where no unit spells it.
  constexpr void MarkPhraseStarts() {
    const std::size_t spelled = count;
    for (std::size_t i = 0; i < spelled; ++i) {
      const char* text = spellings[i].text;
      std::size_t space = 0;
      while (text[space] != '\0' && text[space] != ' ') ++space;
      if (text[space] == '\0') continue;
      char first[kLongestSpelling + 1] = {};
      for (std::size_t c = 0; c < space; ++c) first[c] = text[c];
      Add(first, kNoRow, SpellingKind::kPhraseStart);
      for (std::size_t j = 0; j < count; ++j) {
        if (spelling::Same(spellings[j].text, first)) spellings[j].starts_phrase = true;
      }
    }
  }
};

// Builds the index of the rows, each with the members name, words and forms.
template <std::size_t capacity, std::size_t slots, class Rows>
constexpr NameIndex<capacity, slots> BuildNameIndex(const Rows& rows) {
  NameIndex<capacity, slots> index{};
  for (uint16_t& entry : index.slot) entry = kEmptySlot;
  for (std::size_t r = 0; r < std::size(rows); ++r) {
    const auto row = static_cast<uint16_t>(r);
    index.Add(rows[r].name, row, SpellingKind::kName);
    char item[kLongestSpelling + 1] = {};
    for (std::size_t i = 0; i < spelling::ItemCount(rows[r].forms); ++i) {
      spelling::CopyItem(rows[r].forms, i, item);
      index.Add(item, row, SpellingKind::kForm);
    }
    for (std::size_t i = 0; i < spelling::ItemCount(rows[r].words); ++i) {
      spelling::CopyItem(rows[r].words, i, item);
      index.Add(item, row, SpellingKind::kWord);
      char plural[kLongestSpelling + 1] = {};
      spelling::Plural(item, plural);
      index.Add(plural, row, SpellingKind::kPlural);
    }
  }
  index.MarkPhraseStarts();
  return index;
}
