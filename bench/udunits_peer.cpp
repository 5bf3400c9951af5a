// UDUNITS-2 as the peer the benchmarks measure against.
#include "bench/udunits_peer.h"

UdunitsPeer::UdunitsPeer() {
  // The peer reports every failed parse on standard error; the table is the only output wanted.
  ut_set_error_message_handler(ut_ignore);
  system_ = ut_read_xml(nullptr);
}

UdunitsPeer::~UdunitsPeer() { ut_free_system(system_); }

bool UdunitsPeer::Convert(const char* in_units, const char* out_units, double x,
                          double* value) const {
  cv_converter* converter = MakeConverter(in_units, out_units);
  if (converter == nullptr) return false;
  *value = cv_convert_double(converter, x);
  cv_free(converter);
  return true;
}

cv_converter* UdunitsPeer::MakeConverter(const char* in_units, const char* out_units) const {
  ut_unit* from = ut_parse(system_, in_units, UT_ASCII);
  ut_unit* to = ut_parse(system_, out_units, UT_ASCII);
  // The converter keeps nothing of the units, so they go back at once.
  cv_converter* converter = (from && to) ? ut_get_converter(from, to) : nullptr;
  ut_free(from);
  ut_free(to);
  return converter;
}
