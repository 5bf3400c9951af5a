// Reading formula files and splitting check lines.
#include "harness/xllhost/formula_file.h"

#include <fstream>

namespace {
constexpr const char* kBlanks = " \t";

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}
}  // namespace

bool ReadFormulaLines(const std::string& path, std::vector<FormulaLine>* lines,
                      std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot read " + path;
    return false;
  }
  std::string text;
  for (int number = 1; std::getline(file, text); ++number) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    // A formula reaches the add-in as NUL-terminated texts: "ft\0junk" would pass as "ft".
    if (text.find('\0') != std::string::npos) {
      *error = path + ":" + std::to_string(number) + ": a NUL byte in the line";
      return false;
    }
    text = Trimmed(text);
    if (text.empty() || text[0] == '#') continue;
    lines->push_back(FormulaLine{number, text});
  }
  if (file.bad()) {
    *error = "error while reading " + path;
    return false;
  }
  return true;
}

bool SplitCheckLine(const std::string& line, std::string* formula, std::string* expected) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string::npos) return false;
  *formula = Trimmed(line.substr(0, tab));
  *expected = Trimmed(line.substr(tab + 1));
  return true;
}
