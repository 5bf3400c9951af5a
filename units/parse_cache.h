// Recently parsed unit expressions, remembered so that a column of conversions with the same
// few unit texts parses each text once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "parser.h"

// A fixed table of successful parses, keyed by the exact bytes of the text: 8 sets of 4
// entries, each set giving way to a new text by dropping the entry used longest ago. It takes
// nothing from the heap, and the all-zero table is the empty one, so that a thread-local table
// needs no constructor. One table serves one thread: Parse writes to it even on a hit, so each
// table starts a cache line of its own, lest two threads' tables side by side share one.
class alignas(64) ParseCache {
 public:
  static constexpr int kWays = 4;
  static constexpr int kSetBits = 3;
  static constexpr int kSets = 1 << kSetBits;
  static constexpr int kEntryCount = kWays * kSets;
  // A longer text (only UTF-8 beyond ASCII can be longer and still parse) is parsed each time.
  static constexpr std::size_t kLongestKey = kUnitTextSize - 1;

  // ParseUnits, with the same result, return value and message: a text parsed successfully
  // before, byte for byte the same, is answered from the table. A failure is not remembered,
  // so a text that fails is parsed again every time.
  int Parse(const char* units_string, ParsedUnit* parsed, char* error_string);

  // Whether the text is in the table now, without counting as a use.
  bool Remembers(const char* units_string) const;

 private:
  struct Entry {
    uint64_t last_used = 0;  // 0 for an empty entry
    uint32_t hash = 0;
    uint32_t length = 0;
    ParsedUnit parsed = {};
    char text[kLongestKey] = {};  // length bytes, without the NUL
  };

  // The index of the entry holding the text (length bytes, hash), or -1.
  int Find(const char* text, std::size_t length, uint32_t hash) const;

  Entry entries_[kEntryCount] = {};
  uint64_t clock_ = 0;
};

// ParseUnits through the calling thread's own ParseCache: the worksheet functions' parser.
// Threads never share a table, so any number of them may convert at once.
int ParseUnitsRemembered(const char* units_string, ParsedUnit* parsed, char* error_string);
