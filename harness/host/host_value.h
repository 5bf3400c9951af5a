// HostValue: a cell value as the host keeps it, in the host's own memory, and how it is shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xll/host_api.h"

// The type word of a value whose payload could not be read (a text or array without its block).
constexpr uint16_t kBrokenValue = 0xFFFF;

// A cell value copied out of (or about to be written into) an XLOPER. The type word carries no
// ownership bits; only the fields of its type are meaningful.
struct HostValue {
  uint16_t type = 0;  // 0 is the empty value
  double number = 0;  // xltypeNum
  std::string text;   // xltypeStr
  int16_t word = 0;   // xltypeBool (0 false, else true), xltypeErr (the code), xltypeInt
  uint16_t rows = 0;
  uint16_t columns = 0;
  std::vector<HostValue> elements;  // xltypeMulti, row by row

  static HostValue Number(double number);
  static HostValue Text(const std::string& text);
  static HostValue Bool(bool truth);
  static HostValue Error(uint16_t code);
  static HostValue Int(int16_t number);
  static HostValue Missing();
};

// How numbers are shown: as a cell shows them (15 significant digits) or exactly.
enum class NumberStyle { kCell, kRoundTrip };

// A deep copy of value. Reads every block the value points to, so the value must be sound
// where its pointers are not null; a text or array with a null block (or an array with a zero
// count) gives a kBrokenValue, an array nested in an array element likewise.
HostValue CopyValue(const XLOPER& value);

// The same for a version 12 value, its wide texts read as UTF-8 (a surrogate without its partner
// as U+FFFD). A 32-bit integer outside the 16-bit range comes as a number.
HostValue CopyValue(const XLOPER12& value);

// value with every text in it (an array's elements' too) passed through convert.
HostValue ConvertTexts(HostValue value, std::string (*convert)(const std::string&));

// The value as a person reads it: 12, "text" (quotes doubled inside), TRUE, #VALUE!,
// {1,"m";2,"s"} for arrays; TRUE(6) for a truth value carrying a number other than 0 or 1;
// nothing for a missing value; <empty>, <reference>, <broken> and <type N> for values no cell
// holds. A number that is not finite shows as #NUM!, as a cell would show it.
std::string RenderValue(const HostValue& value, NumberStyle style = NumberStyle::kCell);

// The host's text of an error code ("#VALUE!"), or "#ERR<code>" for a code it does not have.
std::string ErrorText(uint16_t code);

// The error code whose text is text (compared without regard to case); false when none is.
bool ErrorCode(const std::string& text, uint16_t* code);
