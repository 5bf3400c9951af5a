// Result comparison for checks: numbers within a relative tolerance, everything else exactly.
#include "result_check.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "harness/host/decimal_text.h"

namespace {
constexpr double kRelativeTolerance = 1e-12;

// The cells of a rendered value and the separators between them (',' within a row, ';'
// between rows). Returns whether it is an array; a value that is not is one cell.
bool Split(const std::string& text, std::vector<std::string>* cells, std::string* separators) {
  if (text.size() < 2 || text.front() != '{' || text.back() != '}') {
    cells->push_back(text);
    return false;
  }
  std::string cell;
  bool quoted = false;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;  // a doubled quote toggles twice and stays inside
    if (!quoted && (c == ',' || c == ';')) {
      cells->push_back(cell);
      separators->push_back(c);
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells->push_back(cell);
  return true;
}

bool CellMatches(const std::string& rendered, const std::string& expected) {
  double a = 0;
  double b = 0;
  if (!ParseDecimal(rendered, &a) || !ParseDecimal(expected, &b)) return rendered == expected;
  return a == b || std::fabs(a - b) <= kRelativeTolerance * std::max(std::fabs(a), std::fabs(b));
}
}  // namespace

bool ResultMatches(const std::string& rendered, const std::string& expected) {
  std::vector<std::string> got;
  std::vector<std::string> want;
  std::string got_separators;
  std::string want_separators;
  const bool got_array = Split(rendered, &got, &got_separators);
  const bool want_array = Split(expected, &want, &want_separators);
  if (got_array != want_array || got.size() != want.size()) return false;
  if (got_separators != want_separators) return false;
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (!CellMatches(got[i], want[i])) return false;
  }
  return true;
}
