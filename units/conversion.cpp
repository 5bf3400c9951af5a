// Converting values between unit expressions and SI units, and the consistency test.
#include "conversion.h"

#include <cmath>

#include "text_buffer.h"

namespace {

// Hands on a finite result; an overflow (1e300 "m" in "nm") or an infinity times zero ("ft^9999"
// both ways) is refused rather than passed on as a number.
int FiniteResult(double* value, double result, char* error_string) {
  if (!std::isfinite(result)) {
    CopyText(error_string, kUnitTextSize, "result out of range");
    return 0;
  }
  *value = result;
  return 1;
}

}  // namespace

int ValueToMKS(double* value, double x, const char* units_string, char* error_string) {
  *value = 0.0;
  ParsedUnit parsed;
  if (!ParseUnits(units_string, &parsed, error_string)) return 0;
  return FiniteResult(value, (x - parsed.offset) / parsed.factor, error_string);
}

int ValueFromMKS(double* value, double x, const char* units_string, char* error_string) {
  *value = 0.0;
  ParsedUnit parsed;
  if (!ParseUnits(units_string, &parsed, error_string)) return 0;
  return FiniteResult(value, x * parsed.factor + parsed.offset, error_string);
}

int CheckConsistentUnits(const char* in_units_string, const char* out_units_string,
                         char* error_string) {
  ParsedUnit in_units;
  ParsedUnit out_units;
  if (!ParseUnits(in_units_string, &in_units, error_string)) return 0;
  if (!ParseUnits(out_units_string, &out_units, error_string)) return 0;
  // Exact equality: "degC" and "degCdiff", or "Hz" and "1/s", are different dimensions.
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (in_units.exponents[slot] != out_units.exponents[slot]) {
      CopyText(error_string, kUnitTextSize, "Inconsistent units");
      return 0;
    }
  }
  return 1;
}

int ConvertValue(double* value, double x, const char* in_units_string,
                 const char* out_units_string, char* error_string) {
  *value = 0.0;
  double c_out_temp = 0.0;
  if (!CheckConsistentUnits(in_units_string, out_units_string, error_string)) return 0;
  if (!ValueToMKS(&c_out_temp, x, in_units_string, error_string)) return 0;
  return ValueFromMKS(value, c_out_temp, out_units_string, error_string);
}
