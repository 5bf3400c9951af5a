// Holds the engine to the results recorded in compatibility.golden: every expression and
// conversion there gives today exactly what it gave when the record was made, but that a message
// of an unknown name may now name the names near it. The only expressions allowed to differ are
// those listed in compatibility.changes, each of which was refused then for a name that the
// engine reads now, or reads as it did once the forms that mean more now are written apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/units/compatibility_record.h"
#include "units/parser.h"

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '\t')) fields.push_back(field);
  return fields;
}

std::vector<std::string> Lines(const char* path) {
  std::ifstream file(path);
  EXPECT_TRUE(file.good()) << "cannot read " << path;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return lines;
}

// The name a record's "Unknown unit 'name'" refers to, or "" for any other record.
std::string UnknownName(const std::string& record) {
  const std::string head = "error Unknown unit '";
  if (record.compare(0, head.size(), head) != 0 || record.back() != '\'') return "";
  return record.substr(head.size(), record.size() - head.size() - 1);
}

// A record with the hint that a message of an unknown name may end in taken off.
std::string WithoutHint(const std::string& record) {
  const std::size_t hint = record.rfind("' (did you mean ");
  if (record.compare(0, 20, "error Unknown unit '") != 0 || hint == std::string::npos) {
    return record;
  }
  return record.substr(0, hint + 1);
}

bool IsLetterOrWide(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || static_cast<unsigned char>(c) >= 0x80;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text as the engine read it before powers could follow a name without '^', before '%' was a
// unit and before names of two words: a blank goes between a name and the digits or minus sign
// after it, '%' becomes a blank, and the blanks or '-' between two names become '*'. The engine
// must read what a listed expression becomes so exactly as it read the expression once.
std::string WrittenApart(const std::string& text) {
  std::string apart;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool after_name = !apart.empty() && IsLetterOrWide(apart.back());
    if (c == '%') {
      apart += ' ';
    } else if (after_name && (IsDigit(c) || ((c == '-' || c == '\xE2') && i + 1 < text.size()))) {
      apart += ' ';
      apart += c;
    } else if (after_name && (c == ' ' || c == '\t' || c == '-')) {
      std::size_t next = i;
      while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
      if (next == i && c == '-') ++next;
      apart += next < text.size() && IsLetterOrWide(text[next]) ? '*' : c;
      if (apart.back() == '*') i = next - 1;
    } else {
      apart += c;
    }
  }
  return apart;
}

TEST(Compatibility, EveryRecordedResultStands) {
  const std::vector<std::string> golden = Lines(MENSORA_COMPATIBILITY_GOLDEN);
  ASSERT_GT(golden.size(), 4000u) << "the record is missing or cut short";
  std::set<std::string> allowed;
  std::ifstream changes_file(MENSORA_COMPATIBILITY_CHANGES);
  ASSERT_TRUE(changes_file.good()) << "cannot read " << MENSORA_COMPATIBILITY_CHANGES;
  for (const std::string& line : Lines(MENSORA_COMPATIBILITY_CHANGES)) {
    allowed.insert(Unescaped(line));
  }

  std::set<std::string> changed;
  std::string unlisted;
  int expressions = 0;
  int conversions = 0;
  for (const std::string& line : golden) {
    const std::vector<std::string> fields = Fields(line);
    if (fields.size() == 3 && fields[0] == "E") {
      ++expressions;
      const std::string text = Unescaped(fields[1]);
      const std::string now = ExpressionRecord(text);
      if (WithoutHint(now) == fields[2]) continue;
      changed.insert(text);
      if (allowed.count(text) == 0) {
        unlisted += fields[1] + "\n";
        ADD_FAILURE() << "changed:\t" << fields[1] << "\tgave " << fields[2] << ", now " << now;
        continue;
      }
      // A listed change must come from a name that was unknown and is read now, or from a form
      // that means more now.
      const std::string name = UnknownName(fields[2]);
      ParsedUnit parsed;
      char error_string[kUnitTextSize];
      const bool name_read = !name.empty() && ParseUnits(name.c_str(), &parsed, error_string);
      EXPECT_TRUE(name_read || WithoutHint(ExpressionRecord(WrittenApart(text))) == fields[2])
          << "'" << text << "' may change only because a name is read now or a form means "
          << "more; it gave " << fields[2] << ", now " << now << ", and written apart "
          << ExpressionRecord(WrittenApart(text));
    } else if (fields.size() == 5 && fields[0] == "C") {
      ++conversions;
      const double x = std::strtod(fields[1].c_str(), nullptr);
      const std::string in_units = Unescaped(fields[2]);
      const std::string out_units = Unescaped(fields[3]);
      const std::string now = WithoutHint(ConversionRecord(x, in_units, out_units));
      if (now == fields[4] || allowed.count(in_units) || allowed.count(out_units)) continue;
      ADD_FAILURE() << fields[1] << " '" << in_units << "' -> '" << out_units << "' gave "
                    << fields[4] << ", now " << now;
    } else {
      ADD_FAILURE() << "malformed line: " << line;
    }
  }
  EXPECT_GT(expressions, 2500);
  EXPECT_GT(conversions, 1000);
  EXPECT_TRUE(unlisted.empty()) << "changed but not listed in compatibility.changes:\n"
                                << unlisted;
  for (const std::string& text : allowed) {
    EXPECT_EQ(changed.count(text), 1u) << "listed as changed but unchanged: '" << text << "'";
  }
}

}  // namespace
