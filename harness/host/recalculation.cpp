// Recalculation on calculation threads: each takes the next formula not yet taken.
#include "harness/host/recalculation.h"

#include <atomic>
#include <memory>

#include "harness/platform/concurrency.h"

bool Recalculate(SimHost& host, const std::vector<std::string>& formulas, int threads,
                 const EvaluationSink& sink) {
  if (threads <= 1) {
    for (std::size_t i = 0; i < formulas.size(); ++i) sink(i, EvaluateFormula(host, formulas[i]));
    return true;
  }
  // What the calculation threads leave to the main thread: formulas whose function is not
  // thread-safe, read already. Each slot is written by one thread, read after all have ended.
  std::vector<std::unique_ptr<PreparedFormula>> left(formulas.size());
  // Threads take the formulas a run at a time, so that they seldom meet on the counter, and
  // each writes its results beside its own.
  constexpr std::size_t kRun = 64;
  std::atomic<std::size_t> next{0};
  const auto calculate = [&] {
    // Nothing registers while the calculation threads run (a thread-safe function may not), so
    // each looks a function up once.
    FunctionLookup lookup(host);
    for (std::size_t start = next.fetch_add(kRun); start < formulas.size();
         start = next.fetch_add(kRun)) {
      const std::size_t end = start + kRun < formulas.size() ? start + kRun : formulas.size();
      for (std::size_t i = start; i < end; ++i) {
        PreparedFormula prepared = PrepareFormula(host, formulas[i], &lookup);
        if (prepared.found && !prepared.function.shape.thread_safe) {
          left[i].reset(new PreparedFormula(std::move(prepared)));
        } else {
          sink(i, EvaluatePrepared(host, prepared));
        }
      }
    }
  };
  const int count = threads < platform::kMaxThreads ? threads : platform::kMaxThreads;
  const bool started = platform::RunConcurrently(count, calculate, [] {});
  // Whatever a thread that did not start left untaken, and every call that is not thread-safe.
  calculate();
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    if (left[i]) sink(i, EvaluatePrepared(host, *left[i]));
  }
  return started;
}
