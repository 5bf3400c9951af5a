// Formula files: one formula a line for --file, a formula and its expected result for --check.
#pragma once

#include <string>
#include <vector>

// One line of a formula file that holds something: its 1-based number and its text without the
// line break (a Windows "\r\n" counts as one) and without blanks and tabs at either end.
struct FormulaLine {
  int number = 0;
  std::string text;
};

// The lines of the file at path, skipping blank lines (blanks and tabs only) and comments (the
// first character that is not a blank is '#'). Returns false with a message naming the file
// when it cannot be read, and naming the file and line when a line holds a NUL byte.
bool ReadFormulaLines(const std::string& path, std::vector<FormulaLine>* lines,
                      std::string* error);

// A --check line split at its first tab into the formula and the expected result, each
// without blanks around it. Returns false when the line has no tab.
bool SplitCheckLine(const std::string& line, std::string* formula, std::string* expected);
