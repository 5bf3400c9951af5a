// Texts and truth values to and from automation values, through the ANSI code page.
#include "com/automation_value.h"

BSTR TextToBstr(const std::string& text) {
  if (text.empty()) return SysAllocStringLen(nullptr, 0);
  const int length = static_cast<int>(text.size());
  const int wide_length =
      MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.data(), length, nullptr, 0);
  if (wide_length <= 0) return nullptr;
  BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(wide_length));
  if (!wide) return nullptr;
  MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text.data(), length, wide, wide_length);
  return wide;
}

std::string BstrToText(BSTR text) {
  const int wide_length = static_cast<int>(SysStringLen(text));
  if (wide_length == 0) return std::string();
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text, wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(length), '\0');
  const int converted =
      WideCharToMultiByte(CP_ACP, 0, text, wide_length, &narrow[0], length, nullptr, nullptr);
  narrow.resize(converted > 0 ? static_cast<std::size_t>(converted) : 0);
  return narrow;
}

VARIANT TextVariant(const std::string& text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = TextToBstr(text);
  return value;
}

VARIANT TruthVariant(int truth) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BOOL;
  value.boolVal = truth ? VARIANT_TRUE : VARIANT_FALSE;
  return value;
}

VARIANT OmittedVariant() {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ERROR;
  value.scode = DISP_E_PARAMNOTFOUND;
  return value;
}

HRESULT TakeText(VARIANT* value, std::string& text) {
  HRESULT code = S_OK;
  if (value->vt != VT_BSTR) code = VariantChangeType(value, value, 0, VT_BSTR);
  if (SUCCEEDED(code)) {
    text = BstrToText(value->bstrVal);
    code = S_OK;
  }
  VariantClear(value);
  return code;
}

HRESULT TakeTruth(VARIANT* value, int* truth) {
  HRESULT code = S_OK;
  if (value->vt != VT_BOOL) code = VariantChangeType(value, value, 0, VT_BOOL);
  if (SUCCEEDED(code)) {
    *truth = value->boolVal != VARIANT_FALSE ? 1 : 0;
    code = S_OK;
  }
  VariantClear(value);
  return code;
}
