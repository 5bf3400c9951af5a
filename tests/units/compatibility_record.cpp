// The compatibility record, built from the engine's public routines only.
#include "tests/units/compatibility_record.h"

#include <cstdio>

#include "units/conversion.h"
#include "units/parser.h"
#include "units/unit_text.h"

namespace {

std::string Exact(double number) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", number);
  return text;
}

}  // namespace

std::string ExpressionRecord(const std::string& text) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  if (!ParseUnits(text.c_str(), &parsed, error_string)) return std::string("error ") + error_string;
  std::string record = "ok " + Exact(parsed.factor) + " " + Exact(parsed.offset);
  // The record was made when a dimension had eight slots; luminous intensity, the ninth, is
  // written only where it is not 0, so that the record made then still reads.
  for (int slot = 0; slot < kDimensionCount; ++slot) {
    if (slot < cd_exp || parsed.exponents[slot] != 0) record += " " + Exact(parsed.exponents[slot]);
  }
  char units[kUnitTextSize];
  MKSUnitsText(units, text.c_str(), error_string);
  record += std::string(" [") + units + "]";
  CommonMKSUnitsText(units, text.c_str(), error_string);
  return record + " [" + units + "]";
}

std::string ConversionRecord(double x, const std::string& in_units, const std::string& out_units) {
  double value = 0.0;
  char error_string[kUnitTextSize];
  if (!ConvertValue(&value, x, in_units.c_str(), out_units.c_str(), error_string)) {
    return std::string("error ") + error_string;
  }
  return "ok " + Exact(value);
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\t') {
      escaped += "\\t";
    } else if (c == '\\') {
      escaped += "\\\\";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string Unescaped(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      plain += text[++i] == 't' ? '\t' : text[i];
    } else {
      plain += text[i];
    }
  }
  return plain;
}
