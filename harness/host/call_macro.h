// Reading the macro text CALL("file","procedure","type") that runs a library's procedure.
#pragma once

#include <string>

// The three texts of a CALL macro.
struct CallMacro {
  std::string file;
  std::string procedure;
  std::string type_text;
};

// Parses text as CALL("file","procedure","type"): the word CALL in any case, then exactly three
// quoted texts (a doubled quote stands for one) separated by commas, in parentheses, with blanks
// allowed between the parts. Returns false, leaving call unchanged, for anything else.
bool ParseCallMacro(const std::string& text, CallMacro* call);
