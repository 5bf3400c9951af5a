// Benchmarks of whole conversions: the Mensora function as the host calls it, and UDUNITS-2.
#include "bench/conversion_benchmarks.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "functions/worksheet_functions.h"
#include "functions/worksheet_functions12.h"
#include "units/conversion.h"
#include "xll/cell_value.h"

namespace {

const char* ContenderName(Contender contender) {
  switch (contender) {
    case Contender::kMensora:
      return "Mensora";
    case Contender::kMensora12:
      return "Mensora12";
    case Contender::kEngine:
      return "ConvertValue";
    case Contender::kPeer:
      return "udunits";
    case Contender::kPeerReused:
      return "udunits_reused";
  }
  return "";
}

// One call of the exported function as the host makes it: the result read, then given back.
bool CallMensora(const char* in_units, const char* out_units, double x, double* value) {
  XLOPER* result = Mensora(x, in_units, out_units);
  const bool number = (result->xltype & xltypeNum) != 0;
  if (number) *value = result->val.num;
  xlAutoFree(result);
  return number;
}

// A text as a host of version 12 passes it (D%): its length, then its UTF-16 units. The texts
// here are ASCII.
std::u16string CountedWide(const char* text) {
  std::u16string counted(1, static_cast<char16_t>(std::strlen(text)));
  while (*text) counted += static_cast<char16_t>(*text++);
  return counted;
}

// One call of the version 12 export as the host makes it: the result read where it lies.
bool CallMensora12(const char16_t* in_units, const char16_t* out_units, double x,
                   double* value) {
  const XLOPER12* result = Mensora12(x, in_units, out_units);
  const bool number = result->xltype == xltypeNum;
  if (number) *value = result->val.num;
  return number;
}

void TimeMensora12(benchmark::State& state, const ConversionPair& pair) {
  const std::u16string in_units = CountedWide(pair.in_units);
  const std::u16string out_units = CountedWide(pair.out_units);
  double value = 0.0;
  for (auto _ : state) {
    if (!CallMensora12(in_units.c_str(), out_units.c_str(), 1.0, &value)) {
      state.SkipWithError("the result is not a number");
      break;
    }
    benchmark::DoNotOptimize(value);
  }
}

void TimeMensora(benchmark::State& state, const ConversionPair& pair) {
  double value = 0.0;
  for (auto _ : state) {
    if (!CallMensora(pair.in_units, pair.out_units, 1.0, &value)) {
      state.SkipWithError("the result is not a number");
      break;
    }
    benchmark::DoNotOptimize(value);
  }
}

void TimeEngine(benchmark::State& state, const ConversionPair& pair) {
  double value = 0.0;
  char error_string[kUnitTextSize];
  for (auto _ : state) {
    const int ok = ConvertValue(&value, 1.0, pair.in_units, pair.out_units, error_string);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(value);
  }
}

void TimePeer(benchmark::State& state, const UdunitsPeer& peer, const ConversionPair& pair) {
  double value = 0.0;
  for (auto _ : state) {
    if (!peer.Convert(pair.peer_in_units, pair.peer_out_units, 1.0, &value)) {
      state.SkipWithError("UDUNITS-2 refused the pair");
      break;
    }
    benchmark::DoNotOptimize(value);
  }
}

void TimePeerReused(benchmark::State& state, const UdunitsPeer& peer,
                    const ConversionPair& pair) {
  cv_converter* converter = peer.MakeConverter(pair.peer_in_units, pair.peer_out_units);
  if (converter == nullptr) {
    state.SkipWithError("UDUNITS-2 refused the pair");
    return;
  }
  double x = 1.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double value = cv_convert_double(converter, x);
    benchmark::DoNotOptimize(value);
  }
  cv_free(converter);
}

// The cold pair, converted as contender does: a different pair of texts on every call.
bool ConvertCold(Contender contender, const UdunitsPeer& peer, const char* in_units,
                 const char* out_units, double* value) {
  char error_string[kUnitTextSize];
  switch (contender) {
    case Contender::kMensora:
      return CallMensora(in_units, out_units, 1.0, value);
    case Contender::kEngine:
      return ConvertValue(value, 1.0, in_units, out_units, error_string) != 0;
    default:
      return peer.Convert(in_units, out_units, 1.0, value);
  }
}

void TimeCold(benchmark::State& state, Contender contender, const UdunitsPeer& peer) {
  const std::vector<std::string>& spellings = ColdSpellings();
  const std::size_t count = spellings.size();
  std::size_t i = 0;
  double value = 0.0;
  for (auto _ : state) {
    if (!ConvertCold(contender, peer, spellings[i].c_str(),
                     spellings[ColdPartner(i, count)].c_str(), &value)) {
      state.SkipWithError("a cold pair was refused");
      break;
    }
    benchmark::DoNotOptimize(value);
    if (++i == count) i = 0;
  }
}

}  // namespace

std::size_t ColdPartner(std::size_t i, std::size_t count) { return (i + count / 2) % count; }

const std::vector<std::string>& ColdSpellings() {
  static const std::vector<std::string> spellings = [] {
    const char* const lengths[] = {"m", "km", "cm", "mm", "um", "nm", "Mm", "dm",
                                   "ft", "in", "mi", "yd"};
    const char* const times[] = {"s", "ms", "us", "ns", "ks", "min", "hr"};
    const char* const forms[] = {"%s/%s",    "%s / %s",  "%s/ %s",   "%s /%s",
                                 "%s  /  %s", "%s %s^-1", "%s*%s^-1", "%s  %s^-1"};
    std::vector<std::string> all;
    char text[64];
    for (const char* form : forms) {
      for (const char* length : lengths) {
        for (const char* time : times) {
          std::snprintf(text, sizeof text, form, length, time);
          all.push_back(text);
        }
      }
    }
    return all;
  }();
  return spellings;
}

std::string ColdPairLabel() {
  return "cold: " + std::to_string(ColdSpellings().size()) + " velocities";
}

std::string ColdBenchmarkName(Contender contender) {
  return std::string(ContenderName(contender)) + "(" + ColdPairLabel() + ")";
}

bool ConvertColdOnce(Contender contender, const UdunitsPeer& peer, std::size_t i,
                     double* value) {
  const std::vector<std::string>& spellings = ColdSpellings();
  return ConvertCold(contender, peer, spellings[i].c_str(),
                     spellings[ColdPartner(i, spellings.size())].c_str(), value);
}

std::string PairLabel(const ConversionPair& pair) {
  return std::string(pair.in_units) + " -> " + pair.out_units;
}

std::string ConversionBenchmarkName(Contender contender, const ConversionPair& pair) {
  return std::string(ContenderName(contender)) + "(" + PairLabel(pair) + ")";
}

bool ConvertOnce(Contender contender, const UdunitsPeer& peer, const ConversionPair& pair,
                 double* value) {
  char error_string[kUnitTextSize];
  switch (contender) {
    case Contender::kMensora:
      return CallMensora(pair.in_units, pair.out_units, 1.0, value);
    case Contender::kMensora12:
      return CallMensora12(CountedWide(pair.in_units).c_str(), CountedWide(pair.out_units).c_str(),
                           1.0, value);
    case Contender::kEngine:
      return ConvertValue(value, 1.0, pair.in_units, pair.out_units, error_string) != 0;
    case Contender::kPeer:
    case Contender::kPeerReused:
      return peer.Convert(pair.peer_in_units, pair.peer_out_units, 1.0, value);
  }
  return false;
}

void RegisterConversionBenchmarks(const UdunitsPeer& peer) {
  for (const ConversionPair& pair : kConversionPairs) {
    const ConversionPair* p = &pair;
    const UdunitsPeer* u = &peer;
    benchmark::RegisterBenchmark(ConversionBenchmarkName(Contender::kMensora, pair).c_str(),
                                 [p](benchmark::State& state) { TimeMensora(state, *p); });
    benchmark::RegisterBenchmark(ConversionBenchmarkName(Contender::kMensora12, pair).c_str(),
                                 [p](benchmark::State& state) { TimeMensora12(state, *p); });
    benchmark::RegisterBenchmark(ConversionBenchmarkName(Contender::kEngine, pair).c_str(),
                                 [p](benchmark::State& state) { TimeEngine(state, *p); });
    benchmark::RegisterBenchmark(ConversionBenchmarkName(Contender::kPeer, pair).c_str(),
                                 [p, u](benchmark::State& state) { TimePeer(state, *u, *p); });
    benchmark::RegisterBenchmark(
        ConversionBenchmarkName(Contender::kPeerReused, pair).c_str(),
        [p, u](benchmark::State& state) { TimePeerReused(state, *u, *p); });
  }
  const UdunitsPeer* u = &peer;
  for (Contender contender : {Contender::kMensora, Contender::kEngine, Contender::kPeer}) {
    benchmark::RegisterBenchmark(
        ColdBenchmarkName(contender).c_str(),
        [contender, u](benchmark::State& state) { TimeCold(state, contender, *u); });
  }
}
