// The two-column table of formulas and their results that --file prints.
#pragma once

#include <string>
#include <utility>
#include <vector>

// How the texts of a table are written: one byte a character (a code page), or UTF-8.
enum class TableTexts { kBytes, kUtf8 };

// The rows under the header "formula" and "result" and a rule under each heading: the first
// column as wide as its widest entry (in characters), two blanks between the columns, no blanks
// at line ends. Every line ends with a line break; no rows give the header and rules alone.
std::string FormatResultTable(const std::vector<std::pair<std::string, std::string>>& rows,
                              TableTexts texts = TableTexts::kBytes);
