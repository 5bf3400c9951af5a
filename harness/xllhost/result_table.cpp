// Laying out formulas and results as a two-column table.
#include "harness/xllhost/result_table.h"

#include <algorithm>

namespace {
constexpr const char* kGap = "  ";

// The columns text takes: a byte each, or in UTF-8 a character each (its continuation bytes
// take none).
std::size_t Columns(const std::string& text, TableTexts texts) {
  if (texts == TableTexts::kBytes) return text.size();
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Row(const std::string& left, std::size_t width, const std::string& right,
                TableTexts texts) {
  if (right.empty()) return left + "\n";
  return left + std::string(width - Columns(left, texts), ' ') + kGap + right + "\n";
}
}  // namespace

std::string FormatResultTable(const std::vector<std::pair<std::string, std::string>>& rows,
                              TableTexts texts) {
  const std::string formula_heading = "formula";
  const std::string result_heading = "result";
  std::size_t width = formula_heading.size();
  std::size_t result_width = result_heading.size();
  for (const auto& row : rows) {
    width = std::max(width, Columns(row.first, texts));
    result_width = std::max(result_width, Columns(row.second, texts));
  }
  std::string table = Row(formula_heading, width, result_heading, texts);
  table += Row(std::string(width, '-'), width, std::string(result_width, '-'), texts);
  for (const auto& row : rows) table += Row(row.first, width, row.second, texts);
  return table;
}
