// Fuzz target for the exported worksheet functions, called as the host calls them: a value of
// any bit pattern and texts of any length. Each result must be a finite number, a non-empty
// text or a [number, text] row, agree with the unit engine, and be released by xlAutoFree.
// Input: expression a, NUL, expression b, NUL, then eight bytes of the value. A text that the
// input does not reach is passed as a null pointer. The version 12 forms get the same bytes read
// as UTF-16 (two bytes a unit, the low one first): lone surrogates, NUL units and all.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "functions/worksheet_functions.h"
#include "functions/worksheet_functions12.h"
#include "platform/code_page.h"
#include "fuzz/fuzz_input.h"
#include "units/conversion.h"
#include "units/parser.h"
#include "units/unit_text.h"
#include "xll/cell_value.h"
#include "xll/wide_text.h"

namespace {

constexpr char kTooLong[] = "string length too long";

// The counted text of a text value, as a string.
std::string TextOf(const XLOPER& value) {
  FUZZ_CHECK(value.val.str != nullptr);
  return std::string(value.val.str + 1, static_cast<unsigned char>(value.val.str[0]));
}

// A result is the add-in's to release, and releasing it leaves the slot empty.
void Release(XLOPER* result) {
  xlAutoFree(result);
  FUZZ_CHECK(result->xltype == 0);
}

// Whether a function hands its unit argument to the engine at all (a longer one is refused with
// kTooLong first), and the text the engine then sees: a null argument is the empty text, and
// the rest comes from the host's code page into UTF-8.
bool ArgumentFits(const char* text) { return text == nullptr || std::strlen(text) < kUnitTextSize; }
std::string AsEngineSees(const char* text) {
  char utf8[kUnitsStringSize];
  platform::AnsiToUtf8(text ? text : "", utf8, sizeof utf8);
  return utf8;
}

// A text result: a message or unit text the engine also gives, in the host's code page.
void ExpectText(XLOPER* result, const std::string& expected) {
  FUZZ_CHECK(result->xltype == (xltypeStr | xlbitDLLFree));
  char host_text[kUnitTextSize];
  platform::Utf8ToAnsi(expected.c_str(), host_text, sizeof host_text);
  FUZZ_CHECK(TextOf(*result) == host_text);
}

void CheckMensora(double x, const char* a, const char* b) {
  XLOPER* result = Mensora(x, a, b);
  FUZZ_CHECK(result != nullptr);
  char error_string[kUnitTextSize];
  ParsedUnit parsed;
  if (!ArgumentFits(a)) {
    ExpectText(result, kTooLong);
  } else if (!ArgumentFits(b)) {
    // The input's own fault is still reported first.
    const bool a_parses = ParseUnits(AsEngineSees(a).c_str(), &parsed, error_string) != 0;
    ExpectText(result, a_parses ? kTooLong : error_string);
  } else {
    double value = 0.0;
    if (ConvertValue(&value, x, AsEngineSees(a).c_str(), AsEngineSees(b).c_str(), error_string)) {
      FUZZ_CHECK(result->xltype == (xltypeNum | xlbitDLLFree));
      FUZZ_CHECK(std::isfinite(result->val.num));
      FUZZ_CHECK(std::memcmp(&result->val.num, &value, sizeof value) == 0);
    } else {
      FUZZ_CHECK(error_string[0] != '\0');
      ExpectText(result, error_string);
    }
  }
  Release(result);
}

using ValueFunction = XLOPER* (__stdcall*)(double, const char*);
using ValueConversion = int (*)(double*, double, const char*, char*);

// ToMetric and FromMetric: [finite number, SI unit text] or the message alone.
void CheckValueWithUnits(ValueFunction function, ValueConversion convert, double x,
                         const char* text) {
  XLOPER* result = function(x, text);
  FUZZ_CHECK(result != nullptr);
  char error_string[kUnitTextSize];
  double value = 0.0;
  if (!ArgumentFits(text)) {
    ExpectText(result, kTooLong);
  } else if (!convert(&value, x, AsEngineSees(text).c_str(), error_string)) {
    ExpectText(result, error_string);
  } else {
    char units[kUnitTextSize];
    FUZZ_CHECK(MKSUnitsText(units, AsEngineSees(text).c_str(), error_string) == 1);
    FUZZ_CHECK(result->xltype == (xltypeMulti | xlbitDLLFree));
    FUZZ_CHECK(result->val.array.rows == 1 && result->val.array.columns == 2);
    const XLOPER* row = result->val.array.lparray;
    FUZZ_CHECK(row[0].xltype == xltypeNum && std::isfinite(row[0].val.num));
    FUZZ_CHECK(std::memcmp(&row[0].val.num, &value, sizeof value) == 0);
    FUZZ_CHECK(row[1].xltype == xltypeStr && TextOf(row[1]) == units);
  }
  Release(result);
}

using TextFunction = XLOPER* (__stdcall*)(const char*);
using TextOperation = int (*)(char*, const char*, char*);

// ShowMetric and ShowCommonMetric: the unit text or the message.
void CheckUnitsText(TextFunction function, TextOperation operation, const char* text) {
  XLOPER* result = function(text);
  FUZZ_CHECK(result != nullptr);
  if (!ArgumentFits(text)) {
    ExpectText(result, kTooLong);
  } else {
    char units[kUnitTextSize];
    char error_string[kUnitTextSize];
    const int ok = operation(units, AsEngineSees(text).c_str(), error_string);
    ExpectText(result, ok ? units : error_string);
  }
  Release(result);
}

// A text as a version 12 host passes it (D%): its length, then its units.
std::u16string Counted(const std::string& bytes) {
  std::u16string counted(1, u'\0');
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned low = static_cast<unsigned char>(bytes[i]);
    const unsigned high = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    counted += static_cast<char16_t>(low | high << 8);
  }
  counted[0] = static_cast<char16_t>(counted.size() - 1);
  return counted;
}

// What the engine sees of a version 12 argument, and whether it is short enough to be read.
bool WideFits(const XCHAR* counted) {
  return counted == nullptr || WideCharacterCount(counted + 1, counted[0], 255) <= 255;
}
std::string AsEngineSees(const XCHAR* counted) {
  char utf8[kUnitsStringSize];
  if (counted == nullptr) return std::string();
  WideToUtf8(counted + 1, counted[0], utf8, sizeof utf8);
  return utf8;
}

std::string Utf8Of(const XLOPER12& text) {
  FUZZ_CHECK(text.xltype == xltypeStr && text.val.str != nullptr);
  char utf8[4 * kUnitTextSize];
  WideToUtf8(text.val.str + 1, text.val.str[0], utf8, sizeof utf8);
  return utf8;
}

// The version 12 forms: the same checks, the results in the calling thread's storage, which
// nothing releases.
void CheckVersion12(double x, const XCHAR* a, const XCHAR* b) {
  char error_string[kUnitTextSize];
  ParsedUnit parsed;
  const XLOPER12* result = Mensora12(x, a, b);
  if (!WideFits(a)) {
    FUZZ_CHECK(Utf8Of(*result) == kTooLong);
  } else if (!WideFits(b)) {
    const bool a_parses = ParseUnits(AsEngineSees(a).c_str(), &parsed, error_string) != 0;
    FUZZ_CHECK(Utf8Of(*result) == (a_parses ? kTooLong : error_string));
  } else {
    double value = 0.0;
    if (ConvertValue(&value, x, AsEngineSees(a).c_str(), AsEngineSees(b).c_str(), error_string)) {
      FUZZ_CHECK(result->xltype == xltypeNum);
      FUZZ_CHECK(std::memcmp(&result->val.num, &value, sizeof value) == 0);
    } else {
      FUZZ_CHECK(Utf8Of(*result) == error_string);
    }
  }
  result = ToMetric12(x, a);
  double in_si = 0.0;
  if (!WideFits(a)) {
    FUZZ_CHECK(Utf8Of(*result) == kTooLong);
  } else if (ValueToMKS(&in_si, x, AsEngineSees(a).c_str(), error_string)) {
    FUZZ_CHECK(result->xltype == xltypeMulti && result->val.array.columns == 2);
    FUZZ_CHECK(std::memcmp(&result->val.array.lparray[0].val.num, &in_si, sizeof in_si) == 0);
  } else {
    FUZZ_CHECK(Utf8Of(*result) == error_string);
  }
  char units[kUnitTextSize];
  result = ShowCommonMetric12(b);
  if (!WideFits(b)) {
    FUZZ_CHECK(Utf8Of(*result) == kTooLong);
  } else {
    const int ok = CommonMKSUnitsText(units, AsEngineSees(b).c_str(), error_string);
    FUZZ_CHECK(Utf8Of(*result) == (ok ? units : error_string));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const bool has_a = !input.empty();
  const std::string a = input.Text();
  const bool has_b = !input.empty();
  const std::string b = input.Text();
  const double x = input.Double(1.0);
  const char* in_units = has_a ? a.c_str() : nullptr;
  const char* out_units = has_b ? b.c_str() : nullptr;

  CheckMensora(x, in_units, out_units);
  CheckValueWithUnits(ToMetric, ValueToMKS, x, in_units);
  CheckValueWithUnits(FromMetric, ValueFromMKS, x, out_units);
  CheckUnitsText(ShowMetric, MKSUnitsText, in_units);
  CheckUnitsText(ShowCommonMetric, CommonMKSUnitsText, out_units);

  const std::u16string wide_a = Counted(a);
  const std::u16string wide_b = Counted(b);
  CheckVersion12(x, has_a ? wide_a.c_str() : nullptr, has_b ? wide_b.c_str() : nullptr);
  return 0;
}
