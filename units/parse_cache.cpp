// Recently parsed unit expressions: a small set-associative table in front of the parser.
#include "parse_cache.h"

#include <cstring>

namespace {

// The length of text and a hash of its bytes, in one pass that stops once the text is longer
// than any key (the length is then kLongestKey + 1). A cheap hash suffices: a set holds several
// texts, and a hit is confirmed byte for byte.
std::size_t MeasureKey(const char* text, uint32_t* hash) {
  uint32_t h = 5381;
  std::size_t length = 0;
  while (length <= ParseCache::kLongestKey && text[length] != '\0') {
    h = h * 33 + static_cast<unsigned char>(text[length++]);
  }
  *hash = h;
  return length;
}

// The set a hash belongs to: its top bits after a multiplicative mix.
int SetOf(uint32_t hash) {
  return static_cast<int>((hash * 0x9E3779B1u) >> (32 - ParseCache::kSetBits));
}

}  // namespace

int ParseCache::Find(const char* text, std::size_t length, uint32_t hash) const {
  const int first = SetOf(hash) * kWays;
  for (int at = first; at < first + kWays; ++at) {
    const Entry& entry = entries_[at];
    if (entry.hash == hash && entry.length == length && entry.last_used != 0 &&
        std::memcmp(entry.text, text, length) == 0) {
      return at;
    }
  }
  return -1;
}

int ParseCache::Parse(const char* units_string, ParsedUnit* parsed, char* error_string) {
  uint32_t hash = 0;
  const std::size_t length = MeasureKey(units_string, &hash);
  if (length > kLongestKey) return ParseUnits(units_string, parsed, error_string);
  const int found = Find(units_string, length, hash);
  if (found >= 0) {
    Entry& hit = entries_[found];
    hit.last_used = ++clock_;
    *parsed = hit.parsed;
    error_string[0] = '\0';
    return 1;
  }
  if (!ParseUnits(units_string, parsed, error_string)) return 0;
  // The entry of the set used longest ago (an empty one first) gives way; chosen without
  // branches, whose outcome no processor could foresee here.
  Entry* set = entries_ + SetOf(hash) * kWays;
  int victim = 0;
  uint64_t oldest_use = set[0].last_used;
  for (int way = 1; way < kWays; ++way) {
    const bool older = set[way].last_used < oldest_use;
    victim = older ? way : victim;
    oldest_use = older ? set[way].last_used : oldest_use;
  }
  Entry* oldest = set + victim;
  oldest->last_used = ++clock_;
  oldest->hash = hash;
  oldest->length = static_cast<uint32_t>(length);
  oldest->parsed = *parsed;
  std::memcpy(oldest->text, units_string, length);
  return 1;
}

bool ParseCache::Remembers(const char* units_string) const {
  uint32_t hash = 0;
  const std::size_t length = MeasureKey(units_string, &hash);
  return length <= kLongestKey && Find(units_string, length, hash) >= 0;
}

int ParseUnitsRemembered(const char* units_string, ParsedUnit* parsed, char* error_string) {
  // Constant-initialised (all zero) and trivially destroyed: no constructor or destructor runs
  // for it on any thread.
  thread_local ParseCache cache;
  return cache.Parse(units_string, parsed, error_string);
}
