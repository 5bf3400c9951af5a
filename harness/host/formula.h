// Reading a formula that calls one function: =Name(argument, ...).
#pragma once

#include <string>
#include <vector>

#include "harness/host/host_value.h"

// A parsed formula: the function's name as written and its arguments as constant values.
struct FormulaCall {
  std::string name;
  std::vector<HostValue> arguments;  // numbers, texts, truth values, errors, missing values
};

// How a formula's texts are written: in the bytes of the code page, as an older host keeps them,
// or in UTF-8, as a host of version 12 or later does.
enum class FormulaTexts { kCodePage, kUtf8 };

// Parses text of the form =Name(arg, ...) (the leading = may be left out; blanks between the
// parts are allowed). An argument is a number (-1.5, 2e-3, .5), a text in double quotes with ""
// for a quote inside, TRUE or FALSE, an error value such as #N/A, CHAR(n) (the character of
// code n of the code page, 1 to 255, else #VALUE!; in UTF-8 texts as UTF-8), in UTF-8 texts
// UNICHAR(n) (the character of code point n: #VALUE! for 0 or past U+10FFFF, #N/A for a
// surrogate), such constants joined with & into a text as the host joins them
// ("m"&CHAR(9)&"s"; an error operand is the result), or nothing (a missing argument). Name()
// has no arguments; Name(,) has two missing ones. Returns true and fills call, or false with a
// message saying what is wrong and at which column (1-based).
bool ParseFormula(const std::string& text, FormulaCall* call, std::string* error,
                  FormulaTexts texts = FormulaTexts::kCodePage);
