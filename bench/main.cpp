// mensora_bench: times the unit engine and the Mensora function beside UDUNITS-2 and prints the
// comparison table and whether the performance targets are met.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/conversion_benchmarks.h"
#include "bench/engine_benchmarks.h"
#include "bench/timing_reporter.h"
#include "bench/udunits_peer.h"
#include "units/parse_cache.h"

namespace {

// What the engine and the function must reach on this kind of machine.
constexpr double kParseTargetNs = 150.0;    // ParseUnits("kg m/s^2")
constexpr double kMensoraTargetNs = 100.0;  // Mensora(1, "mi/hr", "m/s") end to end, every repetition
constexpr double kWarmPeerRatio = 10.0;     // UDUNITS-2 time over ours, every pair
constexpr double kColdPeerRatio = 5.0;      // the same on the cold pair
constexpr double kVersion12Ratio = 1.10;    // Mensora12's time over Mensora's, all pairs together

void PrintTime(double ns) {
  if (ns < 0) {
    std::printf(" %12s", "-");
  } else {
    std::printf(" %12.1f", ns);
  }
}

void PrintEngineTable(const TimingReporter& timings) {
  std::printf("\n%-36s %12s\n", "unit engine", "ns");
  for (int i = 0; i < kLookupNameCount; ++i) {
    std::printf("%-36s", FindUnitBenchmarkName(kLookupNames[i]).c_str());
    PrintTime(timings.Nanoseconds(FindUnitBenchmarkName(kLookupNames[i])));
    std::printf("\n");
  }
  for (int i = 0; i < kParsedExpressionCount; ++i) {
    std::printf("%-36s", ParseUnitsBenchmarkName(kParsedExpressions[i]).c_str());
    PrintTime(timings.Nanoseconds(ParseUnitsBenchmarkName(kParsedExpressions[i])));
    std::printf("\n");
  }
  for (int i = 0; i < kParsedExpressionCount; ++i) {
    std::printf("%-36s", RememberedParseBenchmarkName(kParsedExpressions[i]).c_str());
    PrintTime(timings.Nanoseconds(RememberedParseBenchmarkName(kParsedExpressions[i])));
    std::printf("\n");
  }
}

// The smallest ratio of UDUNITS-2's time over ours among the repetitions, each of ours against
// the peer's of the same number; negative when either side did not run.
double SmallestRatio(const TimingReporter& timings, const std::string& ours,
                     const std::string& peer) {
  const std::vector<double> our_times = timings.Repetitions(ours);
  const std::vector<double> peer_times = timings.Repetitions(peer);
  double smallest = -1.0;
  for (std::size_t i = 0; i < our_times.size() && i < peer_times.size(); ++i) {
    if (!(our_times[i] > 0)) continue;
    const double ratio = peer_times[i] / our_times[i];
    if (smallest < 0 || ratio < smallest) smallest = ratio;
  }
  return smallest;
}

// Prints one row of the table; returns its ratio (negative when not measured).
double PrintConversionRow(const TimingReporter& timings, const std::string& label,
                          const std::string& ours, const std::string& engine,
                          const std::string& peer, const std::string& peer_reused,
                          const std::string& version12) {
  const double ratio = SmallestRatio(timings, ours, peer);
  std::printf("%-36s", label.c_str());
  PrintTime(timings.Nanoseconds(ours));
  PrintTime(timings.Nanoseconds(peer));
  if (ratio >= 0) {
    std::printf(" %8.1f", ratio);
  } else {
    std::printf(" %8s", "-");
  }
  PrintTime(timings.Nanoseconds(engine));
  PrintTime(timings.Nanoseconds(peer_reused));
  PrintTime(timings.Nanoseconds(version12));
  std::printf("\n");
  return ratio;
}

// The smallest ratio over the pairs of repeated texts (negative when one was not measured), the
// ratio of the cold pair, and the time of the version 12 form over the other's, all pairs
// together (negative when one was not measured).
struct Ratios {
  double warm;
  double cold;
  double version12;
};

Ratios PrintConversionTable(const TimingReporter& timings) {
  std::printf("\n%-36s %12s %12s %8s %12s %12s %12s\n", "conversion (value 1)", "ours ns",
              "UDUNITS-2 ns", "ratio", "engine ns", "U2 reuse ns", "version 12 ns");
  Ratios ratios = {-1.0, -1.0, -1.0};
  bool all_measured = true;
  bool both_forms_measured = true;
  double ours_total = 0.0;
  double version12_total = 0.0;
  for (const ConversionPair& pair : kConversionPairs) {
    const double ratio = PrintConversionRow(
        timings, PairLabel(pair), ConversionBenchmarkName(Contender::kMensora, pair),
        ConversionBenchmarkName(Contender::kEngine, pair),
        ConversionBenchmarkName(Contender::kPeer, pair),
        ConversionBenchmarkName(Contender::kPeerReused, pair),
        ConversionBenchmarkName(Contender::kMensora12, pair));
    all_measured = all_measured && ratio >= 0;
    if (ratios.warm < 0 || ratio < ratios.warm) ratios.warm = ratio;
    const double ours = timings.Nanoseconds(ConversionBenchmarkName(Contender::kMensora, pair));
    const double version12 =
        timings.Nanoseconds(ConversionBenchmarkName(Contender::kMensora12, pair));
    both_forms_measured = both_forms_measured && ours > 0 && version12 > 0;
    ours_total += ours;
    version12_total += version12;
  }
  if (!all_measured) ratios.warm = -1.0;
  if (both_forms_measured) ratios.version12 = version12_total / ours_total;
  ratios.cold = PrintConversionRow(timings, ColdPairLabel(), ColdBenchmarkName(Contender::kMensora),
                                   ColdBenchmarkName(Contender::kEngine),
                                   ColdBenchmarkName(Contender::kPeer), "", "");
  std::printf(
      "ours: the exported Mensora called as the host calls it, its result freed through\n"
      "xlAutoFree, with the same two texts on every call (it answers from its table of recently\n"
      "parsed texts) but on the cold pair, where no text comes back in time to be remembered.\n"
      "UDUNITS-2: ut_parse both texts, ut_get_converter, cv_convert_double, then everything\n"
      "freed, on every call. engine: ConvertValue alone, parsing both texts on every call.\n"
      "U2 reuse: one converter made beforehand (not like for like). version 12: Mensora12, as a\n"
      "host of version 12 or later calls it, the texts as UTF-16 and the result in the calling\n"
      "thread's storage. ns: CPU time, median of the repetitions; ratio: the smallest over the\n"
      "repetitions.\n");
  return ratios;
}

// Both engines must give the same answer, or the comparison would time different work.
bool Agree(const std::string& label, bool ours_converts, double ours, bool peer_converts,
           double theirs) {
  if (!ours_converts || !peer_converts) {
    std::printf("%s: refused by %s\n", label.c_str(), ours_converts ? "UDUNITS-2" : "Mensora");
    return false;
  }
  // The two catalogues define some units with fewer digits (Btu, cal), not more than this.
  if (std::fabs(ours - theirs) > 1e-5 * std::fabs(theirs)) {
    std::printf("%s: Mensora gives %.17g, UDUNITS-2 %.17g\n", label.c_str(), ours, theirs);
    return false;
  }
  return true;
}

bool EnginesAgree(const UdunitsPeer& peer) {
  bool agree = true;
  double ours = 0.0;
  double theirs = 0.0;
  for (const ConversionPair& pair : kConversionPairs) {
    const bool ours_converts = ConvertOnce(Contender::kMensora, peer, pair, &ours);
    const bool peer_converts = ConvertOnce(Contender::kPeer, peer, pair, &theirs);
    agree = Agree(PairLabel(pair), ours_converts, ours, peer_converts, theirs) && agree;
    // Both forms of the function give the same bits.
    double version12 = 0.0;
    if (!ConvertOnce(Contender::kMensora12, peer, pair, &version12) || version12 != ours) {
      std::printf("%s: Mensora12 gives %.17g, Mensora %.17g\n", PairLabel(pair).c_str(),
                  version12, ours);
      agree = false;
    }
  }
  const std::vector<std::string>& spellings = ColdSpellings();
  for (std::size_t i = 0; i < spellings.size(); ++i) {
    const bool ours_converts = ConvertColdOnce(Contender::kMensora, peer, i, &ours);
    const bool peer_converts = ConvertColdOnce(Contender::kPeer, peer, i, &theirs);
    const std::string& partner = spellings[ColdPartner(i, spellings.size())];
    agree = Agree(spellings[i] + " -> " + partner, ours_converts, ours, peer_converts, theirs) &&
            agree;
  }
  return agree;
}

// The cold pair is cold only if a table of recent texts, fed its texts in their order twice
// round, never holds the text it is asked for.
bool ColdPairIsCold() {
  const std::vector<std::string>& spellings = ColdSpellings();
  const auto cache = std::make_unique<ParseCache>();
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < spellings.size(); ++i) {
      for (const std::string& text : {spellings[i], spellings[ColdPartner(i, spellings.size())]}) {
        if (cache->Remembers(text.c_str())) return false;
        cache->Parse(text.c_str(), &parsed, error_string);
      }
    }
  }
  return true;
}

void PrintTarget(const char* what, bool measured, bool met) {
  std::printf("%-72s %s\n", what, !measured ? "not measured" : met ? "met" : "MISSED");
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
  if (ColdSpellings().size() < 2 * ParseCache::kEntryCount || !ColdPairIsCold()) {
    std::fprintf(stderr, "mensora_bench: the cold pair's texts would be remembered\n");
    return 1;
  }

  RegisterEngineBenchmarks();
  RegisterConversionBenchmarks(peer);
  TimingReporter timings;
  benchmark::RunSpecifiedBenchmarks(&timings);
  benchmark::Shutdown();

  PrintEngineTable(timings);
  const Ratios ratios = PrintConversionTable(timings);

  const double parse_ns = timings.Nanoseconds(ParseUnitsBenchmarkName("kg m/s^2"));
  const std::vector<double> mensora_ns =
      timings.Repetitions(ConversionBenchmarkName(Contender::kMensora, kConversionPairs[0]));
  double slowest_mensora_ns = -1.0;
  for (double ns : mensora_ns) slowest_mensora_ns = std::fmax(slowest_mensora_ns, ns);
  std::printf("\ntargets\n");
  PrintTarget("ParseUnits(\"kg m/s^2\") at most 150 ns", parse_ns >= 0,
              parse_ns <= kParseTargetNs);
  PrintTarget("Mensora(1, \"mi/hr\", \"m/s\") at most 100 ns in every repetition",
              slowest_mensora_ns >= 0, slowest_mensora_ns <= kMensoraTargetNs);
  PrintTarget("UDUNITS-2's time 10 times ours on every pair, 5 times on the cold pair",
              ratios.warm >= 0 && ratios.cold >= 0,
              ratios.warm >= kWarmPeerRatio && ratios.cold >= kColdPeerRatio);
  char version12[96];
  std::snprintf(version12, sizeof version12,
                "Mensora12 within 10%% of Mensora over all pairs (%.2f times its time)",
                ratios.version12);
  PrintTarget(version12, ratios.version12 >= 0, ratios.version12 <= kVersion12Ratio);
  return 0;
}
