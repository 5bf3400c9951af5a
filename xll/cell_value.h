// CXllValue: the host cell value with the add-in's ownership rules, and the hand-back to the host.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system.h"
#include "xll/host_api.h"

// A cell value laid out exactly as the host's XLOPER, so that its address (or an array of them)
// can go wherever the host expects XLOPER pointers. It owns its payload (texts, arrays,
// reference lists) unless the type word carries xlbitXLFree, in which case the host owns it and
// Free hands it back through xlFree. The all-zero value is the empty value.
//
// Memory comes from new[] and goes back through delete[]. When the heap cannot supply a block,
// the operation throws std::bad_alloc and leaves this value valid and empty (never half-built);
// the exception barrier of the exported entry point then answers the host with the error value
// xlerrValue instead.
class CXllValue : public XLOPER {
 public:
  CXllValue();                                // empty
  explicit CXllValue(double number);          // xltypeNum
  explicit CXllValue(const char* text);       // xltypeStr, cut to 255 characters
  explicit CXllValue(const std::string& text);
  static CXllValue Bool(uint16_t truth);      // xltypeBool with this 16-bit payload
  static CXllValue Int(int16_t number);       // xltypeInt
  static CXllValue Error(uint16_t code);      // xltypeErr
  static CXllValue Missing();                 // xltypeMissing

  CXllValue(const CXllValue& other);             // deep copy (CopyFrom)
  CXllValue(CXllValue&& other) noexcept;         // takes the bytes; other becomes empty
  CXllValue& operator=(const CXllValue& other);  // CopyFrom
  CXllValue& operator=(CXllValue&& other) noexcept;
  ~CXllValue();                                  // Free

  // Setters release the old content first.
  void SetNumber(double number);
  void SetInt(int16_t number);
  void SetError(uint16_t code);
  void SetText(const char* text);
  void SetText(const std::string& text);

  // Makes a rows x columns array of empty elements; either count 0 leaves the value empty.
  void MakeArray(uint16_t rows, uint16_t columns);
  // The element (row, column) of an array (no bounds check), or this value itself if it is
  // not an array.
  CXllValue* At(uint16_t row, uint16_t column);

  bool IsNumber() const;

  // Replaces this value with an add-in-owned deep copy of source (xlbitXLFree cleared, every
  // other bit kept). Source may be this value or a part of it.
  void CopyFrom(const XLOPER& source);
  // Releases what the value owns (or has the host release it) and makes it empty. A host-owned
  // value goes back through Excel4(xlFree) with the bit already cleared; the large-data text
  // form is never released.
  void Free();

  // Moves this value into ReturnSlot (releasing what the slot held), marks it xlbitDLLFree and
  // returns the slot's address for an exported function to return. This value becomes empty.
  XLOPER* ReturnToHost();

  // Conversions; the flag skips the type test and reads the payload as that kind. A type that
  // does not convert gives "", 0 or 0.0. ToText prints numbers with "%lf" and integers with
  // "%ld"; ToBool reads a text as its leading decimal number, else as "true" in any case;
  // ToNumber reads a text's leading decimal number.
  std::string ToText(bool treatAsText = false) const;
  int ToBool(bool treatAsBool = false) const;
  double ToNumber(bool treatAsNumber = false) const;
};

static_assert(sizeof(CXllValue) == sizeof(XLOPER), "a CXllValue is exactly an XLOPER");

// A new counted text (length byte, then at most 255 characters) from a NUL-terminated text;
// null gives length 0. Release with delete[].
char* MakeCountedText(const char* text);
// A byte-for-byte copy of a counted text; null gives null. Release with delete[].
char* CopyCountedText(const char* counted);

// Hands the error value code to the host through ReturnSlot. Allocates nothing, so it is the
// answer of an exported function whose own result could not be built.
XLOPER* ReturnErrorToHost(uint16_t code) noexcept;

extern "C" {
// Called by the host for every value it received with xlbitDLLFree: releases it. A null pointer
// is ignored; nothing is thrown.
void __stdcall xlAutoFree(XLOPER* value);
}
