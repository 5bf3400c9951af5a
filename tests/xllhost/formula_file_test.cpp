// Reading formula files and check lines.
#include "harness/xllhost/formula_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A file with the given bytes in the test's temporary folder, removed at the end of the test.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes)
      : path_(testing::TempDir() + "xllhost_formulas_" +
              testing::UnitTest::GetInstance()->current_test_info()->name()) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TemporaryFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(FormulaFile, SkipsBlankAndCommentLinesAndKeepsLineNumbers) {
  TemporaryFile file("# heading\n\n=Grav()\r\n  \t\n   # indented comment\n\t=GasConst() \n=A()");
  std::vector<FormulaLine> lines;
  std::string error;
  ASSERT_TRUE(ReadFormulaLines(file.path(), &lines, &error)) << error;
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].number, 3);
  EXPECT_EQ(lines[0].text, "=Grav()");  // without its carriage return
  EXPECT_EQ(lines[1].number, 6);
  EXPECT_EQ(lines[1].text, "=GasConst()");
  EXPECT_EQ(lines[2].number, 7);  // a last line without a line break
  EXPECT_EQ(lines[2].text, "=A()");
}

TEST(FormulaFile, AnEmptyFileHasNoLinesAndAMissingOneIsAnError) {
  TemporaryFile empty("");
  std::vector<FormulaLine> lines;
  std::string error;
  EXPECT_TRUE(ReadFormulaLines(empty.path(), &lines, &error));
  EXPECT_TRUE(lines.empty());

  EXPECT_FALSE(ReadFormulaLines(empty.path() + ".absent", &lines, &error));
  EXPECT_EQ(error, "cannot read " + empty.path() + ".absent");
}

TEST(FormulaFile, RefusesANulByteWithItsLineNumber) {
  TemporaryFile file(std::string("=Grav()\n=Mensora(1,\"ft\0junk\",\"in\")\n", 35));
  std::vector<FormulaLine> lines;
  std::string error;
  EXPECT_FALSE(ReadFormulaLines(file.path(), &lines, &error));
  EXPECT_EQ(error, file.path() + ":2: a NUL byte in the line");
}

TEST(CheckLine, SplitsAtTheFirstTab) {
  std::string formula;
  std::string expected;
  ASSERT_TRUE(SplitCheckLine("=ShowMetric(\"m\")\t\"m \"", &formula, &expected));
  EXPECT_EQ(formula, "=ShowMetric(\"m\")");
  EXPECT_EQ(expected, "\"m \"");  // the blank inside the quotes stays

  ASSERT_TRUE(SplitCheckLine("=Grav() \t {9.806652,\"a\tb\"} ", &formula, &expected));
  EXPECT_EQ(formula, "=Grav()");
  EXPECT_EQ(expected, "{9.806652,\"a\tb\"}");

  EXPECT_FALSE(SplitCheckLine("=Grav()   12", &formula, &expected));
}

}  // namespace
