// SI unit texts of unit expressions: "kg m^2 / s^2 ", or a common derived unit's name ("J").
#include "unit_text.h"

#include <charconv>

#include "exponent_text.h"
#include "text_buffer.h"

namespace {

// The order in which a unit text names the dimensions, and their labels. A temperature
// difference is labelled like an absolute temperature; only the consistency test tells them apart.
struct TermLabel {
  DimensionSlot slot;
  const char* label;
};
constexpr TermLabel kDisplayOrder[kDimensionCount] = {
    {kg_exp, "kg"},     {m_exp, "m"},     {rad_exp, "rad"},        {s_exp, "s"},
    {degK_exp, "degK"}, {mol_exp, "mol"}, {degKdiff_exp, "degK"}, {coulomb_exp, "C"},
    {cd_exp, "cd"},
};

// Derived units named by CommonMKSUnitsText, tried in this order; exponents in DimensionSlot
// order.
struct CommonUnit {
  const char* name;
  double exponents[kDimensionCount];
};
constexpr CommonUnit CommonUnitTable[] = {
    //        rad   s  kg   m degK mol dKdf  C
    {"J",   {0, -2,  1,  2, 0, 0, 0,  0}},
    {"N",   {0, -2,  1,  1, 0, 0, 0,  0}},
    {"Pa",  {0, -2,  1, -1, 0, 0, 0,  0}},
    {"W",   {0, -3,  1,  2, 0, 0, 0,  0}},
    {"A",   {0, -1,  0,  0, 0, 0, 0,  1}},
    {"F",   {0,  2, -1, -2, 0, 0, 0,  2}},
    {"V",   {0, -2,  1,  2, 0, 0, 0, -1}},
    {"ohm", {0, -1,  1,  2, 0, 0, 0, -2}},
    {"H",   {0,  0,  1,  2, 0, 0, 0, -2}},
    {"Wb",  {0, -1,  1,  2, 0, 0, 0, -1}},
    {"T",   {0, -1,  1,  0, 0, 0, 0, -1}},
};

// The whole part of an exponent, truncated toward zero. An exponent beyond the range of int
// (or infinite, or NaN) gives 0, which it never equals, so it is written in the general format.
int WholePart(double exponent) {
  if (!(exponent > -2147483649.0 && exponent < 2147483648.0)) return 0;
  return static_cast<int>(exponent);
}

bool SameExponents(const double a[kDimensionCount], const double b[kDimensionCount]) {
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (a[slot] != b[slot]) return false;
  }
  return true;
}

}  // namespace

void AppendUnitTerm(char* MKSunits_str, const char* label, int whole, double exponent,
                    int numerator, int* had_numerator) {
  // A NaN exponent is neither positive nor negative and so writes nothing in either pass.
  if (numerator ? !(exponent > 0) : !(exponent < 0)) return;
  AppendText(MKSunits_str, kUnitTextSize, label);
  if (exponent == whole) {
    // Widened first: the magnitude of INT_MIN does not fit an int.
    const long long magnitude = numerator ? whole : -static_cast<long long>(whole);
    if (magnitude != 1) {
      char iarg[20];
      const std::to_chars_result result = std::to_chars(iarg, iarg + sizeof iarg - 1, magnitude);
      *result.ptr = '\0';
      AppendText(MKSunits_str, kUnitTextSize, "^");
      AppendText(MKSunits_str, kUnitTextSize, iarg);
    }
  } else {
    char darg[kExponentTextSize];
    FormatGeneralExponent(numerator ? exponent : -exponent, darg, sizeof darg);
    AppendText(MKSunits_str, kUnitTextSize, "^");
    AppendText(MKSunits_str, kUnitTextSize, darg);
  }
  AppendText(MKSunits_str, kUnitTextSize, " ");
  if (numerator) *had_numerator = 1;
}

void FormatMKSUnits(char* MKSunits_str, const double exponents[kDimensionCount]) {
  MKSunits_str[0] = '\0';
  int had_numerator = 0;
  bool any_negative = false;
  for (const TermLabel& term : kDisplayOrder) {
    const double exponent = exponents[term.slot];
    AppendUnitTerm(MKSunits_str, term.label, WholePart(exponent), exponent, 1, &had_numerator);
    any_negative = any_negative || exponent < 0;
  }
  if (!any_negative) return;
  if (!had_numerator) AppendText(MKSunits_str, kUnitTextSize, "1 ");
  AppendText(MKSunits_str, kUnitTextSize, "/ ");
  for (const TermLabel& term : kDisplayOrder) {
    const double exponent = exponents[term.slot];
    AppendUnitTerm(MKSunits_str, term.label, WholePart(exponent), exponent, 0, &had_numerator);
  }
}

int MKSUnitsText(char* MKSunits_str, const char* units_string, char* error_string) {
  MKSunits_str[0] = '\0';
  ParsedUnit parsed;
  if (!ParseUnits(units_string, &parsed, error_string)) return 0;
  FormatMKSUnits(MKSunits_str, parsed.exponents);
  return 1;
}

void FormatCommonMKSUnits(char* MKSunits_str, const double exponents[kDimensionCount]) {
  for (const CommonUnit& common : CommonUnitTable) {
    if (SameExponents(exponents, common.exponents)) {
      CopyText(MKSunits_str, kUnitTextSize, common.name);
      return;
    }
  }
  FormatMKSUnits(MKSunits_str, exponents);
}

int CommonMKSUnitsText(char* MKSunits_str, const char* units_string, char* error_string) {
  MKSunits_str[0] = '\0';
  ParsedUnit parsed;
  if (!ParseUnits(units_string, &parsed, error_string)) return 0;
  FormatCommonMKSUnits(MKSunits_str, parsed.exponents);
  return 1;
}
