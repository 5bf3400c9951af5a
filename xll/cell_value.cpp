// CXllValue: building, copying, releasing and converting host cell values, and the hand-back slot.
#include "xll/cell_value.h"

#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/host_entry.h"
#include "xll/barrier.h"
#include "xll/format.h"

namespace {

constexpr uint16_t kOwnershipBits = xlbitXLFree | xlbitDLLFree;
constexpr std::size_t kMaxCountedLength = 255;

// What the payload is: the type word without the ownership bits. The large-data form
// (xltypeBigData) keeps its integer bit, so it never matches a plain xltypeStr.
uint16_t Kind(const XLOPER& value) { return value.xltype & ~kOwnershipBits; }

void Clear(XLOPER& value) { std::memset(&value, 0, sizeof value); }

// Moves the bytes out of value and leaves it empty, so that nothing is released twice.
XLOPER Take(XLOPER& value) {
  XLOPER bytes;
  std::memcpy(&bytes, &value, sizeof bytes);
  Clear(value);
  return bytes;
}

void Put(XLOPER& target, const XLOPER& bytes) { std::memcpy(&target, &bytes, sizeof bytes); }

std::size_t ElementCount(const XLOPER& array) {
  return static_cast<std::size_t>(array.val.array.rows) * array.val.array.columns;
}

CXllValue* Elements(const XLOPER& array) { return static_cast<CXllValue*>(array.val.array.lparray); }

std::string ReadCountedText(const char* counted) {
  if (!counted) return std::string();
  return std::string(counted + 1, static_cast<unsigned char>(counted[0]));
}

std::size_t ReferenceListSize(const XLMREF& list) {
  return offsetof(XLMREF, reftbl) + sizeof(XLREF) * list.count;
}

XLMREF* CopyReferenceList(const XLMREF* list) {
  if (!list || list->count == 0) return nullptr;
  const std::size_t size = ReferenceListSize(*list);
  unsigned char* copy = new unsigned char[size];
  std::memcpy(copy, list, size);
  return reinterpret_cast<XLMREF*>(copy);
}

// Fills target, which is empty, with an add-in-owned deep copy of source.
void DeepCopy(const XLOPER& source, CXllValue& target) {
  const uint16_t type = source.xltype & ~xlbitXLFree;
  switch (Kind(source)) {
    case xltypeMulti:
      if (!source.val.array.lparray) return;
      target.MakeArray(source.val.array.rows, source.val.array.columns);
      if (target.xltype == 0) return;  // a zero count copies as the empty value
      for (std::size_t i = 0; i < ElementCount(source); ++i) {
        Elements(target)[i].CopyFrom(source.val.array.lparray[i]);
      }
      break;
    case xltypeStr:
      target.val.str = CopyCountedText(source.val.str);
      break;
    case xltypeRef:
      target.val.mref.idSheet = source.val.mref.idSheet;
      target.val.mref.lpmref = CopyReferenceList(source.val.mref.lpmref);
      break;
    default:
      std::memcpy(&target.val, &source.val, sizeof target.val);
      break;
  }
  target.xltype = type;
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
  return Elements(*this) + static_cast<std::size_t>(row) * val.array.columns + column;
}

bool CXllValue::IsNumber() const { return (xltype & xltypeNum) != 0; }

void CXllValue::CopyFrom(const XLOPER& source) {
  // Built apart and moved in afterwards: source may be this value or lie inside it.
  CXllValue copy;
  try {
    DeepCopy(source, copy);
  } catch (...) {
    Free();
    throw;
  }
  Free();
  Put(*this, Take(copy));
}

void CXllValue::Free() {
  if (xltype & xlbitXLFree) {
    // The host sees the value without the bit, as it handed it out.
    xltype &= ~xlbitXLFree;
    Excel4(xlFree, nullptr, 1, static_cast<XLOPER*>(this));
  } else {
    switch (Kind(*this)) {
      case xltypeMulti:
        if (CXllValue* elements = Elements(*this)) {
          for (std::size_t i = 0; i < ElementCount(*this); ++i) elements[i].Free();
          delete[] elements;
        }
        break;
      case xltypeStr:
        delete[] val.str;
        break;
      case xltypeRef:
        delete[] reinterpret_cast<unsigned char*>(val.mref.lpmref);
        break;
      default:
        break;
    }
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
