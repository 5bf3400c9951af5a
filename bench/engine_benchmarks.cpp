// Benchmarks of the unit engine's catalogue lookup and parser on their own.
#include "bench/engine_benchmarks.h"

#include <benchmark/benchmark.h>

#include "units/catalogue.h"
#include "units/parse_cache.h"
#include "units/parser.h"

const char* const kLookupNames[] = {"A", "m", "kg", "yd", "degKdiff", "millidarcy",
                                    "MPa", "mpa", "KG", "xyz"};
const int kLookupNameCount = sizeof kLookupNames / sizeof kLookupNames[0];

const char* const kParsedExpressions[] = {"m", "kg m/s^2", "J / mol / degK", "lbf/in^2",
                                          "m^3/2/s"};
const int kParsedExpressionCount = sizeof kParsedExpressions / sizeof kParsedExpressions[0];

std::string FindUnitBenchmarkName(const char* name) {
  return std::string("FindUnit(\"") + name + "\")";
}

std::string ParseUnitsBenchmarkName(const char* expression) {
  return std::string("ParseUnits(\"") + expression + "\")";
}

std::string RememberedParseBenchmarkName(const char* expression) {
  return std::string("ParseUnitsRemembered(\"") + expression + "\")";
}

namespace {

template <int (*parse)(const char*, ParsedUnit*, char*)>
void TimeParse(benchmark::State& state, const char* expression) {
  ParsedUnit parsed;
  char error_string[kUnitTextSize];
  for (auto _ : state) {
    const int ok = parse(expression, &parsed, error_string);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(parsed);
  }
  if (error_string[0] != '\0') state.SkipWithError(error_string);
}

}  // namespace

void RegisterEngineBenchmarks() {
  for (int i = 0; i < kLookupNameCount; ++i) {
    const char* name = kLookupNames[i];
    benchmark::RegisterBenchmark(FindUnitBenchmarkName(name).c_str(),
                                 [name](benchmark::State& state) {
                                   double factor = 0.0;
                                   DimensionVector dimension;
                                   for (auto _ : state) {
                                     FindUnit(name, &factor, &dimension);
                                     benchmark::DoNotOptimize(factor);
                                     benchmark::DoNotOptimize(dimension);
                                   }
                                 });
  }
  for (int i = 0; i < kParsedExpressionCount; ++i) {
    const char* expression = kParsedExpressions[i];
    benchmark::RegisterBenchmark(ParseUnitsBenchmarkName(expression).c_str(),
                                 [expression](benchmark::State& state) {
                                   TimeParse<ParseUnits>(state, expression);
                                 });
    benchmark::RegisterBenchmark(RememberedParseBenchmarkName(expression).c_str(),
                                 [expression](benchmark::State& state) {
                                   TimeParse<ParseUnitsRemembered>(state, expression);
                                 });
  }
}
