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

// A temperature scale in small whole numbers: degrees per kelvin as a fraction, and what the scale
// reads at 0 degC.
struct TemperatureScale {
  double numerator;
  double denominator;
  double at_freezing;
};

// The scale of a lone "degC" (or "degF"), known by the offset only such an expression carries.
TemperatureScale ScaleOf(const ParsedUnit& units) {
  return units.offset == kFahrenheitOffset ? TemperatureScale{9.0, 5.0, 32.0}
                                           : TemperatureScale{1.0, 1.0, 0.0};
}

// x read on one temperature scale, read on another. Not through kelvin, whose 273.15 no double
// holds exactly (20 degC would show as 67.9999999999999 degF), nor through the factor 1.8, which no
// double holds either (-18 degC would show as -0.399999999999999 degF), but as on paper: degF is
// (9 degC + 160) / 5, one rounding after the sum.
double ReadOnScale(double x, const TemperatureScale& from, const TemperatureScale& to) {
  return ((x - from.at_freezing) * (from.denominator * to.numerator) +
          to.at_freezing * (from.numerator * to.denominator)) /
         (from.numerator * to.denominator);
}

// Whether two exponents agree to the precision in which the unit text shows them. Decimal powers
// add up a step or two off in binary: "m^0.1 m^0.2" gives 0.30000000000000004 and shows "m^0.3 ",
// "m^0.01 m^0.09" gives 0.09999999999999999. The text shows 16 significant digits, the last of
// which such a step may change, so agreement to within one unit of the 15th counts as equal.
bool SameShownExponent(double a, double b) {
  if (a == b) return true;
  const double larger = std::fmax(std::fabs(a), std::fabs(b));
  return std::fabs(a - b) <= 1e-15 * larger;
}

}  // namespace

int ValueToMKS(double* value, double x, const ParsedUnit& units, char* error_string) {
  *value = 0.0;
  return FiniteResult(value, (x - units.offset) / units.factor, error_string);
}

int ValueFromMKS(double* value, double x, const ParsedUnit& units, char* error_string) {
  *value = 0.0;
  return FiniteResult(value, x * units.factor + units.offset, error_string);
}

int CheckConsistentUnits(const ParsedUnit& in_units, const ParsedUnit& out_units,
                         char* error_string) {
  // Slot by slot: "degC" and "degCdiff", or "Hz" and "1/s", are different dimensions.
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (!SameShownExponent(in_units.exponents[slot], out_units.exponents[slot])) {
      CopyText(error_string, kUnitTextSize, "Inconsistent units");
      return 0;
    }
  }
  return 1;
}

int ConvertValue(double* value, double x, const ParsedUnit& in_units,
                 const ParsedUnit& out_units, char* error_string) {
  *value = 0.0;
  if (!CheckConsistentUnits(in_units, out_units, error_string)) return 0;
  if (in_units.offset != 0.0 && out_units.offset != 0.0) {
    // From one temperature scale to another; on the same scale the value stays as it is. Only a
    // value near the end of the double range (9 times it overflows) goes through kelvin instead.
    const double read = in_units.offset == out_units.offset
                            ? x
                            : ReadOnScale(x, ScaleOf(in_units), ScaleOf(out_units));
    if (std::isfinite(read)) {
      *value = read;
      return 1;
    }
  }
  double c_out_temp = 0.0;
  if (!ValueToMKS(&c_out_temp, x, in_units, error_string)) return 0;
  return ValueFromMKS(value, c_out_temp, out_units, error_string);
}

// The operations on texts parse them, then do the same as on parsed expressions.

int ValueToMKS(double* value, double x, const char* units_string, char* error_string) {
  *value = 0.0;
  ParsedUnit parsed;
  if (!ParseUnits(units_string, &parsed, error_string)) return 0;
  return ValueToMKS(value, x, parsed, error_string);
}

int ValueFromMKS(double* value, double x, const char* units_string, char* error_string) {
  *value = 0.0;
  ParsedUnit parsed;
  if (!ParseUnits(units_string, &parsed, error_string)) return 0;
  return ValueFromMKS(value, x, parsed, error_string);
}

int CheckConsistentUnits(const char* in_units_string, const char* out_units_string,
                         char* error_string) {
  ParsedUnit in_units;
  ParsedUnit out_units;
  if (!ParseUnits(in_units_string, &in_units, error_string)) return 0;
  if (!ParseUnits(out_units_string, &out_units, error_string)) return 0;
  return CheckConsistentUnits(in_units, out_units, error_string);
}

int ConvertValue(double* value, double x, const char* in_units_string,
                 const char* out_units_string, char* error_string) {
  *value = 0.0;
  ParsedUnit in_units;
  ParsedUnit out_units;
  if (!ParseUnits(in_units_string, &in_units, error_string)) return 0;
  if (!ParseUnits(out_units_string, &out_units, error_string)) return 0;
  return ConvertValue(value, x, in_units, out_units, error_string);
}
