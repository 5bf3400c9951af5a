// CXllValue12: building, copying and releasing version 12 cell values.
#include "xll/cell_value12.h"

#include <cstring>

#include "platform/host_entry.h"
#include "xll/barrier.h"
#include "xll/cell_value_rules.h"
#include "xll/wide_text.h"

namespace {

using cell_value_rules::Kind;

// The byte moves, on the layout itself: a CXllValue12 made as a temporary would free what it
// holds.
void Clear(XLOPER12& value) { cell_value_rules::Clear<XLOPER12>(value); }
XLOPER12 Take(XLOPER12& value) { return cell_value_rules::Take<XLOPER12>(value); }
void Put(XLOPER12& target, const XLOPER12& bytes) {
  cell_value_rules::Put<XLOPER12>(target, bytes);
}

// A new counted wide text from UTF-8, cut to whole characters within the host's longest text.
XCHAR* MakeCountedWide(const std::string& text) {
  const std::size_t most = text.size() < static_cast<std::size_t>(xlMaxWideTextLength)
                               ? text.size()
                               : static_cast<std::size_t>(xlMaxWideTextLength);
  // A character takes at least as many bytes of UTF-8 as units of UTF-16.
  XCHAR* counted = new XCHAR[most + 1];
  counted[0] = static_cast<XCHAR>(Utf8ToWide(text.c_str(), counted + 1, most));
  return counted;
}

}  // namespace

CXllValue12::CXllValue12() { Clear(*this); }

CXllValue12::CXllValue12(double number) : CXllValue12() {
  val.num = number;
  xltype = xltypeNum;
}

CXllValue12::CXllValue12(const std::string& text) : CXllValue12() { SetText(text); }

CXllValue12 CXllValue12::Int(int32_t number) {
  CXllValue12 value;
  value.val.w = number;
  value.xltype = xltypeInt;
  return value;
}

CXllValue12 CXllValue12::Missing() {
  CXllValue12 value;
  value.xltype = xltypeMissing;
  return value;
}

CXllValue12::CXllValue12(const CXllValue12& other) : CXllValue12() { CopyFrom(other); }

CXllValue12::CXllValue12(CXllValue12&& other) noexcept { Put(*this, Take(other)); }

CXllValue12& CXllValue12::operator=(const CXllValue12& other) {
  CopyFrom(other);
  return *this;
}

CXllValue12& CXllValue12::operator=(CXllValue12&& other) noexcept {
  // Taken out first: other may be this value, or an element of it.
  const XLOPER12 bytes = Take(other);
  Free();
  Put(*this, bytes);
  return *this;
}

CXllValue12::~CXllValue12() { Free(); }

void CXllValue12::SetText(const std::string& text) {
  Free();
  val.str = MakeCountedWide(text);
  xltype = xltypeStr;
}

void CXllValue12::MakeArray(int32_t rows, int32_t columns) {
  Free();
  if (rows <= 0 || columns <= 0) return;
  val.array.lparray =
      new CXllValue12[static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)];
  val.array.rows = rows;
  val.array.columns = columns;
  xltype = xltypeMulti;
}

bool CXllValue12::IsNumber() const { return (xltype & xltypeNum) != 0; }

void CXllValue12::CopyFrom(const XLOPER12& source) { cell_value_rules::CopyInto(*this, source); }

void CXllValue12::Free() {
  if (xltype & xlbitXLFree) {
    // The host sees the value without the bit, as it handed it out.
    xltype &= ~static_cast<uint32_t>(xlbitXLFree);
    Excel12(xlFree, nullptr, 1, static_cast<XLOPER12*>(this));
  } else {
    cell_value_rules::ReleaseOwnPayload(*this);
  }
  Clear(*this);
}

std::string CXllValue12::ToText() const {
  if (Kind(*this) != xltypeStr || !val.str) return std::string();
  std::string text(3 * static_cast<std::size_t>(val.str[0]) + 1, '\0');
  text.resize(WideToUtf8(val.str + 1, val.str[0], &text[0], text.size()));
  return text;
}

XCHAR* CopyCountedWide(const XCHAR* counted) {
  if (!counted) return nullptr;
  const std::size_t size = counted[0] + std::size_t{1};
  XCHAR* copy = new XCHAR[size];
  std::memcpy(copy, counted, size * sizeof(XCHAR));
  return copy;
}

extern "C" void __stdcall xlAutoFree12(XLOPER12* value) {
  ExceptionBarrier(0, [value] {
    if (value && (value->xltype & xlbitDLLFree)) static_cast<CXllValue12*>(value)->Free();
    return 0;
  });
}
