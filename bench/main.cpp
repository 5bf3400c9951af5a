// mensora_bench: times the unit engine and the Mensora function beside UDUNITS-2 and prints the
// comparison table and whether the performance targets are met.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

#include "bench/conversion_benchmarks.h"
#include "bench/engine_benchmarks.h"
#include "bench/timing_reporter.h"
#include "bench/udunits_peer.h"

namespace {

// What the engine and the function must reach on this kind of machine.
constexpr double kParseTargetNs = 150.0;     // ParseUnits("kg m/s^2")
constexpr double kMensoraTargetNs = 600.0;   // Mensora(1, "mi/hr", "m/s") end to end
constexpr double kMinimumPeerRatio = 5.0;    // UDUNITS-2 time over ours, every pair

void PrintTime(double ns) {
  if (ns < 0) {
    std::printf(" %12s", "-");
  } else {
    std::printf(" %12.1f", ns);
  }
}

void PrintEngineTable(const TimingReporter& timings) {
  std::printf("\n%-34s %12s\n", "unit engine", "ns");
  for (int i = 0; i < kLookupNameCount; ++i) {
    std::printf("%-34s", FindUnitBenchmarkName(kLookupNames[i]).c_str());
    PrintTime(timings.Nanoseconds(FindUnitBenchmarkName(kLookupNames[i])));
    std::printf("\n");
  }
  for (int i = 0; i < kParsedExpressionCount; ++i) {
    std::printf("%-34s", ParseUnitsBenchmarkName(kParsedExpressions[i]).c_str());
    PrintTime(timings.Nanoseconds(ParseUnitsBenchmarkName(kParsedExpressions[i])));
    std::printf("\n");
  }
}

// Prints one row per pair; returns the smallest ratio of UDUNITS-2 time over ours (negative
// when a pair was not measured on both sides).
double PrintConversionTable(const TimingReporter& timings) {
  std::printf("\n%-34s %12s %12s %8s %12s %12s\n", "conversion (value 1)", "ours ns",
              "UDUNITS-2 ns", "ratio", "engine ns", "U2 reuse ns");
  double smallest_ratio = -1.0;
  bool all_measured = true;
  for (const ConversionPair& pair : kConversionPairs) {
    const double ours = timings.Nanoseconds(ConversionBenchmarkName(Contender::kMensora, pair));
    const double peer = timings.Nanoseconds(ConversionBenchmarkName(Contender::kPeer, pair));
    std::printf("%-34s", PairLabel(pair).c_str());
    PrintTime(ours);
    PrintTime(peer);
    if (ours > 0 && peer > 0) {
      const double ratio = peer / ours;
      std::printf(" %8.1f", ratio);
      if (smallest_ratio < 0 || ratio < smallest_ratio) smallest_ratio = ratio;
    } else {
      std::printf(" %8s", "-");
      all_measured = false;
    }
    PrintTime(timings.Nanoseconds(ConversionBenchmarkName(Contender::kEngine, pair)));
    PrintTime(timings.Nanoseconds(ConversionBenchmarkName(Contender::kPeerReused, pair)));
    std::printf("\n");
  }
  std::printf("ours: the exported Mensora called as the host calls it, its result freed through\n"
              "xlAutoFree. UDUNITS-2: ut_parse both texts, ut_get_converter, cv_convert_double,\n"
              "then everything freed, on every call. engine: ConvertValue alone. U2 reuse: one\n"
              "converter made beforehand (not like for like). CPU time, median of repetitions.\n");
  return all_measured ? smallest_ratio : -1.0;
}

// Both engines must give the same answer, or the comparison would time different work.
bool EnginesAgree(const UdunitsPeer& peer) {
  bool agree = true;
  for (const ConversionPair& pair : kConversionPairs) {
    double ours = 0.0;
    double theirs = 0.0;
    const bool ours_converts = ConvertOnce(Contender::kMensora, peer, pair, &ours);
    const bool peer_converts = ConvertOnce(Contender::kPeer, peer, pair, &theirs);
    if (!ours_converts || !peer_converts) {
      std::printf("%s: refused by %s\n", PairLabel(pair).c_str(),
                  ours_converts ? "UDUNITS-2" : "Mensora");
      agree = false;
      continue;
    }
    // The two catalogues define some units with fewer digits (Btu, cal), not more than this.
    if (std::fabs(ours - theirs) > 1e-5 * std::fabs(theirs)) {
      std::printf("%s: Mensora gives %.17g, UDUNITS-2 %.17g\n", PairLabel(pair).c_str(), ours,
                  theirs);
      agree = false;
    }
  }
  return agree;
}

void PrintTarget(const char* what, bool measured, bool met) {
  std::printf("%-58s %s\n", what, !measured ? "not measured" : met ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  UdunitsPeer peer;
  if (!peer.ok()) {
    std::fprintf(stderr, "mensora_bench: UDUNITS-2 could not read its unit database\n");
    return 1;
  }
  if (!EnginesAgree(peer)) return 1;

  RegisterEngineBenchmarks();
  RegisterConversionBenchmarks(peer);
  TimingReporter timings;
  benchmark::RunSpecifiedBenchmarks(&timings);
  benchmark::Shutdown();

  PrintEngineTable(timings);
  const double smallest_ratio = PrintConversionTable(timings);

  const double parse_ns = timings.Nanoseconds(ParseUnitsBenchmarkName("kg m/s^2"));
  const double mensora_ns =
      timings.Nanoseconds(ConversionBenchmarkName(Contender::kMensora, kConversionPairs[0]));
  std::printf("\ntargets\n");
  PrintTarget("ParseUnits(\"kg m/s^2\") at most 150 ns", parse_ns >= 0,
              parse_ns <= kParseTargetNs);
  PrintTarget("Mensora(1, \"mi/hr\", \"m/s\") at most 600 ns", mensora_ns >= 0,
              mensora_ns <= kMensoraTargetNs);
  PrintTarget("at least 5 times faster than UDUNITS-2 on every pair", smallest_ratio >= 0,
              smallest_ratio >= kMinimumPeerRatio);
  return 0;
}
