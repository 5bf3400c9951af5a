// Reading the worksheet functions' argument names and helps one by one.
#include "functions/function_help.h"

#include <cstring>

std::size_t ArgumentCount(const FunctionHelp& function) {
  if (function.argumentText[0] == '\0') return 0;
  std::size_t count = 1;
  for (const char* c = function.argumentText; *c != '\0'; ++c) count += *c == ',';
  return count;
}

std::string ArgumentName(const FunctionHelp& function, std::size_t index) {
  if (index >= ArgumentCount(function)) return "";
  const char* start = function.argumentText;
  for (; index > 0; --index) start = std::strchr(start, ',') + 1;
  const char* end = std::strchr(start, ',');
  return end != nullptr ? std::string(start, end) : std::string(start);
}

std::string ArgumentHelp(const FunctionHelp& function, std::size_t index) {
  const char* help = function.argumentHelp;
  for (; *help != '\0' && index > 0; --index) help += std::strlen(help) + 1;
  return help;
}

const FunctionHelp* FindFunctionHelp(const char* name) {
  for (const FunctionHelp& function : kFunctionHelps) {
    if (std::strcmp(function.name, name) == 0) return &function;
  }
  return nullptr;
}
