// A console reporter that also keeps each benchmark's time per call for the comparison tables.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TimingReporter : public benchmark::ConsoleReporter {
 public:
  // Prints the runs as the console reporter does and keeps the CPU time per iteration of each.
  void ReportRuns(const std::vector<Run>& runs) override;

  // Nanoseconds of CPU time per call of the benchmark registered as name: the median over the
  // repetitions. Negative when it did not run (filtered out, or it reported an error).
  double Nanoseconds(const std::string& name) const;

  // Nanoseconds of CPU time per call in each repetition, in the order they ran; empty when the
  // benchmark did not run.
  std::vector<double> Repetitions(const std::string& name) const;

 private:
  std::map<std::string, std::vector<double>> times_;
};
