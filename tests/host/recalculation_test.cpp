// Recalculating on several threads: the answers of one thread, thread-safe functions on the
// calculation threads and every other on the main thread.
#include "harness/host/recalculation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/fake_addin.h"

namespace {
using fake_addin::OpenedFake;

std::vector<std::string> Recalculated(SimHost& host, const std::vector<std::string>& formulas,
                                      int threads) {
  std::vector<std::string> shown(formulas.size());
  EXPECT_TRUE(Recalculate(host, formulas, threads, [&](std::size_t i, const Evaluation& e) {
    shown[i] = RenderEvaluation(e);
  }));
  return shown;
}

TEST(Recalculate, SeveralThreadsAnswerAsOneInFormulaOrder) {
  OpenedFake fake;
  fake_addin::wide_frees_on_another_thread = 0;
  // Thread-safe functions (FakeWide, FakeAsk, FakeWhere), others (FakeWhereMain, FakeLength),
  // and formulas that never reach a function.
  const std::vector<std::string> kinds = {
      "=FakeWide(\"m%d\")", "=FakeAsk(16386)", "=FakeLength(\"%d\")", "=FakeWhereMain(%d)",
      "=Nothing(%d)",      "=FakeWide(",      "=FakeWhere(%d)"};
  std::vector<std::string> formulas;
  for (int i = 0; i < 700; ++i) {
    std::string formula = kinds[i % kinds.size()];
    const std::size_t at = formula.find("%d");
    if (at != std::string::npos) formula.replace(at, 2, std::to_string(i));
    formulas.push_back(formula);
  }
  const std::vector<std::string> one = Recalculated(fake.host, formulas, 1);
  const std::vector<std::string> eight = Recalculated(fake.host, formulas, 8);
  ASSERT_EQ(one.size(), eight.size());
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    // Where a function runs is the one thing that differs: FakeWhere is on the main thread only
    // when there is no other.
    const bool where = formulas[i].rfind("=FakeWhere(", 0) == 0;
    EXPECT_EQ(eight[i], where ? "0" : one[i]) << formulas[i];
    if (where) {
      EXPECT_EQ(one[i], "1");
    }
    if (formulas[i].rfind("=FakeWhereMain", 0) == 0) {
      EXPECT_EQ(eight[i], "1");
    }
  }
  EXPECT_EQ(one[0], "\"2|m0\"");
  EXPECT_EQ(one[5], "error: an argument expected at column 11");
  EXPECT_EQ(fake_addin::wide_frees_on_another_thread, 0);
  EXPECT_EQ(fake.host.OutstandingAllocations(), 0u);
  EXPECT_EQ(fake.host.FreeFaults(), 0u);
}

}  // namespace
