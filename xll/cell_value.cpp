// CXllValue: building, copying, releasing and converting host cell values, and the hand-back slot.
#include "xll/cell_value.h"

#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/host_entry.h"
#include "xll/barrier.h"
#include "xll/cell_value_rules.h"
#include "xll/format.h"

namespace {

using cell_value_rules::Kind;

// The byte moves, on the layout itself: a CXllValue made as a temporary would free what it holds.
void Clear(XLOPER& value) { cell_value_rules::Clear<XLOPER>(value); }
XLOPER Take(XLOPER& value) { return cell_value_rules::Take<XLOPER>(value); }
void Put(XLOPER& target, const XLOPER& bytes) { cell_value_rules::Put<XLOPER>(target, bytes); }

constexpr std::size_t kMaxCountedLength = 255;

std::string ReadCountedText(const char* counted) {
  if (!counted) return std::string();
  return std::string(counted + 1, static_cast<unsigned char>(counted[0]));
}

// The value most recently handed to the host. It lives in raw static storage and is zeroed on
// first use, so no destructor runs at process exit: the host may still hold its address then,
// and may already be gone.
alignas(CXllValue) unsigned char g_return_slot_storage[sizeof(CXllValue)];
bool g_return_slot_ready = false;

CXllValue& ReturnSlot() {
  if (!g_return_slot_ready) {
    new (g_return_slot_storage) CXllValue();
    g_return_slot_ready = true;
  }
  return *std::launder(reinterpret_cast<CXllValue*>(g_return_slot_storage));
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
  const std::size_t length = std::strlen(word);
  if (text.size() != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(word[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

CXllValue::CXllValue() { Clear(*this); }

CXllValue::CXllValue(double number) : CXllValue() { SetNumber(number); }

CXllValue::CXllValue(const char* text) : CXllValue() { SetText(text); }

CXllValue::CXllValue(const std::string& text) : CXllValue() { SetText(text); }

CXllValue CXllValue::Bool(uint16_t truth) {
  CXllValue value;
  value.val.xbool = truth;
  value.xltype = xltypeBool;
  return value;
}

CXllValue CXllValue::Int(int16_t number) {
  CXllValue value;
  value.SetInt(number);
  return value;
}

CXllValue CXllValue::Error(uint16_t code) {
  CXllValue value;
  value.SetError(code);
  return value;
}

CXllValue CXllValue::Missing() {
  CXllValue value;
  value.xltype = xltypeMissing;
  return value;
}

CXllValue::CXllValue(const CXllValue& other) : CXllValue() { CopyFrom(other); }

CXllValue::CXllValue(CXllValue&& other) noexcept { Put(*this, Take(other)); }

CXllValue& CXllValue::operator=(const CXllValue& other) {
  CopyFrom(other);
  return *this;
}

CXllValue& CXllValue::operator=(CXllValue&& other) noexcept {
  // Taken out first: other may be this value, or an element of it.
  const XLOPER bytes = Take(other);
  Free();
  Put(*this, bytes);
  return *this;
}

CXllValue::~CXllValue() { Free(); }

void CXllValue::SetNumber(double number) {
  Free();
  val.num = number;
  xltype = xltypeNum;
}

void CXllValue::SetInt(int16_t number) {
  Free();
  val.w = number;
  xltype = xltypeInt;
}

void CXllValue::SetError(uint16_t code) {
  Free();
  val.err = code;
  xltype = xltypeErr;
}

void CXllValue::SetText(const char* text) {
  Free();
  val.str = MakeCountedText(text);
  xltype = xltypeStr;
}

void CXllValue::SetText(const std::string& text) { SetText(text.c_str()); }

void CXllValue::MakeArray(uint16_t rows, uint16_t columns) {
  Free();
  if (rows == 0 || columns == 0) return;
  val.array.lparray = new CXllValue[static_cast<std::size_t>(rows) * columns];
  val.array.rows = rows;
  val.array.columns = columns;
  xltype = xltypeMulti;
}

CXllValue* CXllValue::At(uint16_t row, uint16_t column) {
  if (Kind(*this) != xltypeMulti || !val.array.lparray) return this;
  return static_cast<CXllValue*>(val.array.lparray) +
         static_cast<std::size_t>(row) * val.array.columns + column;
}

bool CXllValue::IsNumber() const { return (xltype & xltypeNum) != 0; }

void CXllValue::CopyFrom(const XLOPER& source) { cell_value_rules::CopyInto(*this, source); }

void CXllValue::Free() {
  if (xltype & xlbitXLFree) {
    // The host sees the value without the bit, as it handed it out.
    xltype &= ~xlbitXLFree;
    Excel4(xlFree, nullptr, 1, static_cast<XLOPER*>(this));
  } else {
    cell_value_rules::ReleaseOwnPayload(*this);
  }
  Clear(*this);
}

XLOPER* CXllValue::ReturnToHost() {
  // Taken out before the slot is emptied, in case this value is the slot or lies inside it.
  const XLOPER bytes = Take(*this);
  CXllValue& slot = ReturnSlot();
  slot.Free();
  Put(slot, bytes);
  slot.xltype |= xlbitDLLFree;
  return &slot;
}

std::string CXllValue::ToText(bool treatAsText) const {
  if (treatAsText) return ReadCountedText(val.str);
  switch (Kind(*this)) {
    case xltypeStr:
      return ReadCountedText(val.str);
    case xltypeBool:
      return val.xbool ? "TRUE" : "FALSE";
    case xltypeNum:
      return FormatText("%lf", val.num);
    case xltypeInt:
      return FormatText("%ld", static_cast<long>(val.w));
    default:
      return std::string();
  }
}

int CXllValue::ToBool(bool treatAsBool) const {
  if (treatAsBool) return val.xbool;
  switch (Kind(*this)) {
    case xltypeBool:
      return val.xbool;
    case xltypeNum:
      return val.num == 0.0 ? 0 : 1;
    case xltypeInt:
      return val.w != 0 ? 1 : 0;
    case xltypeStr: {
      const std::string text = ToText();
      // strtol reads the leading digits as atoi does, but stays defined past the range of int.
      if (std::strtol(text.c_str(), nullptr, 10) != 0) return 1;
      return EqualsIgnoringCase(text, "true") ? 1 : 0;
    }
    default:
      return 0;
  }
}

double CXllValue::ToNumber(bool treatAsNumber) const {
  if (treatAsNumber) return val.num;
  switch (Kind(*this)) {
    case xltypeNum:
      return val.num;
    case xltypeBool:
      return val.xbool;
    case xltypeInt:
      return val.w;
    case xltypeStr:
      return std::strtod(ToText().c_str(), nullptr);
    default:
      return 0.0;
  }
}

char* MakeCountedText(const char* text) {
  std::size_t length = 0;
  if (text) {
    while (length < kMaxCountedLength && text[length] != '\0') ++length;
  }
  char* counted = new char[length + 1];
  counted[0] = static_cast<char>(static_cast<unsigned char>(length));
  if (length) std::memcpy(counted + 1, text, length);
  return counted;
}

char* CopyCountedText(const char* counted) {
  if (!counted) return nullptr;
  const std::size_t size = static_cast<unsigned char>(counted[0]) + std::size_t{1};
  char* copy = new char[size];
  std::memcpy(copy, counted, size);
  return copy;
}

XLOPER* ReturnErrorToHost(uint16_t code) noexcept {
  // An error value owns nothing, so this hand-back allocates nothing and cannot fail.
  CXllValue error;
  error.SetError(code);
  return error.ReturnToHost();
}

extern "C" void __stdcall xlAutoFree(XLOPER* value) {
  ExceptionBarrier(0, [value] {
    if (value) static_cast<CXllValue*>(value)->Free();
    return 0;
  });
}
