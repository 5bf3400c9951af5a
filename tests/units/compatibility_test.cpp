// Holds the engine to the results recorded in compatibility.golden: every expression and
// conversion there gives today exactly what it gave when the record was made. The only
// expressions allowed to differ are those listed in compatibility.changes, each of which was
// refused then for a name that the engine reads now.
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
      if (now == fields[2]) continue;
      changed.insert(text);
      if (allowed.count(text) == 0) {
        unlisted += fields[1] + "\n";
        ADD_FAILURE() << "changed:\t" << fields[1] << "\tgave " << fields[2] << ", now " << now;
        continue;
      }
      // A listed change must come from a name that was unknown and is read now.
      const std::string name = UnknownName(fields[2]);
      ParsedUnit parsed;
      char error_string[kUnitTextSize];
      EXPECT_TRUE(!name.empty() && ParseUnits(name.c_str(), &parsed, error_string))
          << "'" << text << "' may change only because a name is read now; it gave "
          << fields[2] << ", now " << now;
    } else if (fields.size() == 5 && fields[0] == "C") {
      ++conversions;
      const double x = std::strtod(fields[1].c_str(), nullptr);
      const std::string in_units = Unescaped(fields[2]);
      const std::string out_units = Unescaped(fields[3]);
      const std::string now = ConversionRecord(x, in_units, out_units);
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
