// A console reporter that also keeps each benchmark's time per call for the comparison tables.
#include "bench/timing_reporter.h"

#include <algorithm>

namespace {

double NanosecondsPer(benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kNanosecond:
      return 1.0;
    case benchmark::kMicrosecond:
      return 1e3;
    case benchmark::kMillisecond:
      return 1e6;
    case benchmark::kSecond:
      return 1e9;
  }
  return 1.0;
}

}  // namespace

void TimingReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    // The aggregates (mean, median, ...) are recomputed from the single runs below.
    if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
    times_[run.run_name.function_name].push_back(run.GetAdjustedCPUTime() *
                                                 NanosecondsPer(run.time_unit));
  }
}

std::vector<double> TimingReporter::Repetitions(const std::string& name) const {
  const auto found = times_.find(name);
  return found == times_.end() ? std::vector<double>() : found->second;
}

double TimingReporter::Nanoseconds(const std::string& name) const {
  std::vector<double> times = Repetitions(name);
  if (times.empty()) return -1.0;
  const std::size_t middle = times.size() / 2;
  std::nth_element(times.begin(), times.begin() + middle, times.end());
  return times[middle];
}
