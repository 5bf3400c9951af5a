// CXllValue12: the version 12 cell value with the add-in's ownership rules.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"
#include "xll/host_api.h"

// A cell value laid out exactly as the host's XLOPER12, owning its payload as CXllValue does
// (texts, arrays, reference lists) unless the type word carries xlbitXLFree, in which case the host
// owns it and Free hands it back through Excel12(xlFree). Texts are UTF-8 on this side and wide on
// the host's. The all-zero value is the empty value. When the heap cannot supply a block, the
// operation throws std::bad_alloc and leaves this value valid and empty.
class CXllValue12 : public XLOPER12 {
 public:
  CXllValue12();                              // empty
  explicit CXllValue12(double number);        // xltypeNum
  explicit CXllValue12(const std::string& text);  // xltypeStr from UTF-8, cut to 32767 units
  static CXllValue12 Int(int32_t number);     // xltypeInt
  static CXllValue12 Missing();               // xltypeMissing

  CXllValue12(const CXllValue12& other);             // deep copy (CopyFrom)
  CXllValue12(CXllValue12&& other) noexcept;         // takes the bytes; other becomes empty
  CXllValue12& operator=(const CXllValue12& other);  // CopyFrom
  CXllValue12& operator=(CXllValue12&& other) noexcept;
  ~CXllValue12();                                    // Free

  // Replaces the content with a text from UTF-8, cut to whole characters within 32767 units.
  void SetText(const std::string& text);
  // Makes a rows x columns array of empty elements; a count of 0 or less leaves the value empty.
  void MakeArray(int32_t rows, int32_t columns);

  bool IsNumber() const;

  // Replaces this value with an add-in-owned deep copy of source (xlbitXLFree cleared, every
  // other bit kept). Source may be this value or a part of it.
  void CopyFrom(const XLOPER12& source);
  // Releases what the value owns (or has the host release it) and makes it empty.
  void Free();

  // A text's characters as UTF-8; "" for any other type.
  std::string ToText() const;
};

static_assert(sizeof(CXllValue12) == sizeof(XLOPER12), "a CXllValue12 is exactly an XLOPER12");

// A byte-for-byte copy of a counted wide text; null gives null. Release with delete[].
XCHAR* CopyCountedWide(const XCHAR* counted);

extern "C" {
// Called by the host for a version 12 value it received with xlbitDLLFree: releases it. The
// add-in's own results live in the calling thread's storage and carry no such bit; a value without
// it, and a null pointer, are left alone. Nothing is thrown.
void __stdcall xlAutoFree12(XLOPER12* value);
}
