// HostMemory: the blocks the host hands to the add-in, counted so that leaks and bad frees show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>

#include "harness/host/host_value.h"

// What releasing a value through xlFree came to.
enum class FreeOutcome {
  kNothingToFree,  // a value without a block (number, integer, error, ...)
  kReleased,       // a block the host handed out and had not yet taken back
  kDoubleFree,     // a block the host handed out and has already taken back
  kForeign,        // a block (or null pointer) the host never handed out
};

// Owns every block the host writes into a result: texts as a length byte and the characters.
// Blocks still outstanding when it is destroyed are released then.
class HostMemory {
 public:
  HostMemory() = default;
  HostMemory(const HostMemory&) = delete;
  HostMemory& operator=(const HostMemory&) = delete;
  ~HostMemory();

  // Writes value into out without ownership bits: numbers, truth values, errors, integers and
  // missing values as they are, a text into a new block (cut to 255 characters). Arrays and
  // other types are not handed out by this host and are written as the error #VALUE!.
  void Write(const HostValue& value, XLOPER* out);
  // The same for a version 12 value: a text (UTF-8) as a new block of UTF-16, cut to whole
  // characters within 32767 units.
  void Write(const HostValue& value, XLOPER12* out);

  // Takes back the block value points to, if any. Never releases a block twice or one the
  // host did not hand out; the outcome says which case it was.
  FreeOutcome Release(const XLOPER& value);
  FreeOutcome Release(const XLOPER12& value);

  // The value as a person reads it, reading its block only when the host knows it is live: a
  // freed or foreign block shows as <freed text> or <foreign text> instead.
  std::string Describe(const XLOPER& value) const;
  std::string Describe(const XLOPER12& value) const;

  // How many blocks are handed out and not yet taken back.
  std::size_t Outstanding() const { return live_.size(); }

 private:
  // Keeps block (from new char[]) as handed out.
  void HandOut(char* block);
  template <class Oper>
  FreeOutcome ReleaseAny(const Oper& value);
  template <class Oper>
  std::string DescribeAny(const Oper& value) const;
  void RememberRelease(const void* block);

  std::unordered_map<const void*, char*> live_;
  // Blocks taken back and not handed out again, each with the number of its release, so that a
  // second release is told from a foreign one. Only the latest kRememberedReleases are kept,
  // oldest first in release_order_: a host that runs for long must not grow. A block released
  // again after that many others counts as foreign, which is still a fault.
  static constexpr std::size_t kRememberedReleases = 4096;
  std::unordered_map<const void*, std::uint64_t> released_;
  std::deque<std::pair<const void*, std::uint64_t>> release_order_;
  std::uint64_t releases_ = 0;
};
