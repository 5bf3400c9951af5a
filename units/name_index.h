// A hash index over the catalogue's names, built by the compiler, so that a lookup compares the
// name with one or two entries instead of bisecting with a case-folding comparator.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest name an index can hold; a longer text is known to be missing without hashing it.
constexpr std::size_t kLongestIndexedName = 12;

// Open addressing with linear probing. A power of two well above the row count keeps nearly
// every name in its home slot.
constexpr unsigned kNameIndexBits = 9;
constexpr std::size_t kNameIndexSlots = std::size_t{1} << kNameIndexBits;
constexpr uint8_t kNoEntry = 0xFF;

struct NameIndex {
  uint8_t entry[kNameIndexSlots];  // catalogue row of each slot, or kNoEntry
  std::size_t longest_probe;       // most slots any name of the catalogue is away from home
  std::size_t longest_name;        // length of the longest name indexed
};

// The start of the hash, picked among tens of thousands so that no name of the catalogue lies more
// than two slots from home. A new name may call for another: the catalogue asserts how far the
// farthest name lies.
constexpr uint32_t kNameHashSeed = 25187;

// FNV-1a over the name's bytes, its top bits taken as the slot. Case-sensitive, as lookup is.
constexpr std::size_t HomeSlot(const char* name, std::size_t length) {
  uint32_t hash = kNameHashSeed;
  for (std::size_t i = 0; i < length; ++i) {
    hash = (hash ^ static_cast<unsigned char>(name[i])) * 16777619u;
  }
  return hash >> (32 - kNameIndexBits);
}

constexpr std::size_t NameLength(const char* name) {
  std::size_t length = 0;
  while (name[length] != '\0') ++length;
  return length;
}

// Builds the index of rows[0, count); each row has a member name. count must stay below
// kNoEntry and kNameIndexSlots.
template <class Row, std::size_t count>
constexpr NameIndex BuildNameIndex(const Row (&rows)[count]) {
  static_assert(count < kNoEntry && count < kNameIndexSlots, "too many rows for the index");
  NameIndex index{};
  for (uint8_t& entry : index.entry) entry = kNoEntry;
  for (std::size_t row = 0; row < count; ++row) {
    const std::size_t length = NameLength(rows[row].name);
    if (length > index.longest_name) index.longest_name = length;
    const std::size_t home = HomeSlot(rows[row].name, length);
    std::size_t probe = 0;
    while (index.entry[(home + probe) & (kNameIndexSlots - 1)] != kNoEntry) ++probe;
    index.entry[(home + probe) & (kNameIndexSlots - 1)] = static_cast<uint8_t>(row);
    if (probe > index.longest_probe) index.longest_probe = probe;
  }
  return index;
}
