// Host-side cell values: copying them out of the add-in's memory and showing them.
#include "host_value.h"

#include <cmath>
#include <cstdint>

#include "harness/host/text_compare.h"
#include "units/number_text.h"
#include "xll/wide_text.h"

namespace {
struct ErrorName {
  uint16_t code;
  const char* text;
};

constexpr ErrorName kErrorNames[] = {
    {xlerrNull, "#NULL!"}, {xlerrDiv0, "#DIV/0!"}, {xlerrValue, "#VALUE!"}, {xlerrRef, "#REF!"},
    {xlerrName, "#NAME?"}, {xlerrNum, "#NUM!"},    {xlerrNA, "#N/A"},
};

constexpr uint16_t kOwnershipBits = xlbitXLFree | xlbitDLLFree;

HostValue Broken() {
  HostValue value;
  value.type = kBrokenValue;
  return value;
}

std::string TextOf(const char* counted) {
  return std::string(counted + 1, static_cast<unsigned char>(counted[0]));
}

std::string TextOf(const XCHAR* counted) {
  // A unit takes at most three bytes of UTF-8; a cell's usual text converts on the stack, so that
  // the copy is made once, at its length.
  const std::size_t most = 3 * static_cast<std::size_t>(counted[0]) + 1;
  char buffer[768];
  if (most <= sizeof buffer) {
    return std::string(buffer, WideToUtf8(counted + 1, counted[0], buffer, sizeof buffer));
  }
  std::string text(most, '\0');
  text.resize(WideToUtf8(counted + 1, counted[0], &text[0], text.size()));
  return text;
}

HostValue IntegerOf(int32_t number) {
  if (number < INT16_MIN || number > INT16_MAX) return HostValue::Number(number);
  return HostValue::Int(static_cast<int16_t>(number));
}

template <class Oper>
HostValue CopyScalar(const Oper& value) {
  switch (value.xltype & ~kOwnershipBits) {
    case 0: return HostValue();
    case xltypeNum: return HostValue::Number(value.val.num);
    case xltypeStr: {
      if (!value.val.str) return Broken();
      return HostValue::Text(TextOf(value.val.str));
    }
    case xltypeBool: {
      // Kept as it came: a host command may be given a truth value carrying another number.
      HostValue truth = HostValue::Bool(true);
      truth.word = static_cast<int16_t>(value.val.xbool);
      return truth;
    }
    case xltypeErr: return HostValue::Error(static_cast<uint16_t>(value.val.err));
    case xltypeInt: return IntegerOf(value.val.w);
    case xltypeMissing: return HostValue::Missing();
    default: {
      // References, the large-data text form and unknown types: kept by type only.
      HostValue other;
      other.type = static_cast<uint16_t>(value.xltype & ~kOwnershipBits);
      return other;
    }
  }
}

template <class Oper>
HostValue CopyAny(const Oper& value) {
  if ((value.xltype & ~kOwnershipBits) != xltypeMulti) return CopyScalar(value);
  const auto& array = value.val.array;
  if (!array.lparray || array.rows <= 0 || array.columns <= 0) return Broken();
  HostValue copy;
  copy.type = xltypeMulti;
  copy.rows = static_cast<uint16_t>(array.rows);
  copy.columns = static_cast<uint16_t>(array.columns);
  const std::size_t count = std::size_t(array.rows) * std::size_t(array.columns);
  copy.elements.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Oper& element = array.lparray[i];
    const bool nested = (element.xltype & ~kOwnershipBits) == xltypeMulti;
    copy.elements.push_back(nested ? Broken() : CopyScalar(element));
  }
  return copy;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string NumberText(double number, NumberStyle style) {
  if (!std::isfinite(number)) return ErrorText(xlerrNum);
  char buffer[kNumberTextSize];
  if (style == NumberStyle::kRoundTrip) {
    FormatRoundTrip(number, buffer, sizeof buffer);
  } else {
    FormatCellNumber(number, buffer, sizeof buffer);
  }
  return buffer;
}
}  // namespace

HostValue HostValue::Number(double number) {
  HostValue value;
  value.type = xltypeNum;
  value.number = number;
  return value;
}

HostValue HostValue::Text(const std::string& text) {
  HostValue value;
  value.type = xltypeStr;
  value.text = text;
  return value;
}

HostValue HostValue::Bool(bool truth) {
  HostValue value;
  value.type = xltypeBool;
  value.word = truth ? 1 : 0;
  return value;
}

HostValue HostValue::Error(uint16_t code) {
  HostValue value;
  value.type = xltypeErr;
  value.word = static_cast<int16_t>(code);
  return value;
}

HostValue HostValue::Int(int16_t number) {
  HostValue value;
  value.type = xltypeInt;
  value.word = number;
  return value;
}

HostValue HostValue::Missing() {
  HostValue value;
  value.type = xltypeMissing;
  return value;
}

HostValue CopyValue(const XLOPER& value) { return CopyAny(value); }

HostValue CopyValue(const XLOPER12& value) { return CopyAny(value); }

HostValue ConvertTexts(HostValue value, std::string (*convert)(const std::string&)) {
  if (value.type == xltypeStr) value.text = convert(value.text);
  for (HostValue& element : value.elements) element = ConvertTexts(element, convert);
  return value;
}

std::string RenderValue(const HostValue& value, NumberStyle style) {
  switch (value.type) {
    case 0: return "<empty>";
    case xltypeNum: return NumberText(value.number, style);
    case xltypeStr: return Quoted(value.text);
    case xltypeBool:
      if (value.word == 0 || value.word == 1) return value.word ? "TRUE" : "FALSE";
      return "TRUE(" + std::to_string(static_cast<uint16_t>(value.word)) + ")";
    case xltypeErr: return ErrorText(static_cast<uint16_t>(value.word));
    case xltypeInt: return std::to_string(value.word);
    case xltypeMissing: return "";
    case xltypeRef: return "<reference>";
    case xltypeMulti: {
      std::string out = "{";
      for (std::size_t i = 0; i < value.elements.size(); ++i) {
        if (i > 0) out += (i % value.columns == 0) ? ';' : ',';
        out += RenderValue(value.elements[i], style);
      }
      return out + "}";
    }
    case kBrokenValue: return "<broken>";
    default: return "<type " + std::to_string(value.type) + ">";
  }
}

std::string ErrorText(uint16_t code) {
  for (const ErrorName& name : kErrorNames) {
    if (name.code == code) return name.text;
  }
  return "#ERR" + std::to_string(code);
}

bool ErrorCode(const std::string& text, uint16_t* code) {
  for (const ErrorName& name : kErrorNames) {
    if (SameTextIgnoringCase(name.text, text)) {
      *code = name.code;
      return true;
    }
  }
  return false;
}
