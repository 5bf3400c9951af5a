// UDUNITS-2 as the peer the benchmarks measure against: one unit system, conversions on demand.
#pragma once

#include <udunits2.h>

// The peer's unit system, read once from its XML database and freed at the end.
class UdunitsPeer {
 public:
  UdunitsPeer();
  ~UdunitsPeer();
  UdunitsPeer(const UdunitsPeer&) = delete;
  UdunitsPeer& operator=(const UdunitsPeer&) = delete;

  // False when the database could not be read; nothing else may then be called.
  bool ok() const { return system_ != nullptr; }

  // Converts x as our design does on every call: parse both texts, get a converter, convert,
  // free all of it. Returns false (with *value untouched) when a text does not parse or the
  // units do not convert.
  bool Convert(const char* in_units, const char* out_units, double x, double* value) const;

  // A converter for repeated use, or null; release it with cv_free.
  cv_converter* MakeConverter(const char* in_units, const char* out_units) const;

 private:
  ut_system* system_;
};
