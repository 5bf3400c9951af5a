// Laying out formulas and results as a two-column table.
#include "harness/xllhost/result_table.h"

#include <algorithm>

namespace {
constexpr const char* kGap = "  ";

std::string Row(const std::string& left, std::size_t width, const std::string& right) {
  if (right.empty()) return left + "\n";
  return left + std::string(width - left.size(), ' ') + kGap + right + "\n";
}
}  // namespace

std::string FormatResultTable(const std::vector<std::pair<std::string, std::string>>& rows) {
  const std::string formula_heading = "formula";
  const std::string result_heading = "result";
  std::size_t width = formula_heading.size();
  std::size_t result_width = result_heading.size();
  for (const auto& row : rows) {
    width = std::max(width, row.first.size());
    result_width = std::max(result_width, row.second.size());
  }
  std::string table = Row(formula_heading, width, result_heading);
  table += Row(std::string(width, '-'), width, std::string(result_width, '-'));
  for (const auto& row : rows) table += Row(row.first, width, row.second);
  return table;
}
