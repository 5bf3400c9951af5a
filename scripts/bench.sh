#!/usr/bin/env bash
# Builds the benchmarks in build/bench and prints the comparison table: the unit engine's lookup
# and parser, and each conversion through the Mensora function (in both its forms) beside
# UDUNITS-2; then the calls per second through xllhost on one calculation thread and on two, and
# through each host interface (natively, and the 64-bit add-in under Wine when build/win64 holds
# it); with whether the performance targets are met. Timings on a busy machine are noisy: compare
# the ratios of one run.
#   bench.sh                  the tables (a few minutes); extra arguments go to mensora_bench,
#                             e.g. --benchmark_filter=Mensora
#   bench.sh --profile REGEX  where the instructions go in the benchmarks matching REGEX, counted
#                             by callgrind (repeatable, unlike timings)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=build/bench

./scripts/install-deps.sh native
./scripts/install-deps.sh bench

mkdir -p build
if ! { cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMENSORA_BENCH=ON \
         -DMENSORA_TESTS=OFF -DMENSORA_BIN_DIR="$root/$dir/bin" \
         -DMENSORA_DOCS_DIR="$root/$dir/docs" \
       && cmake --build "$dir" -j 2 --target mensora_bench xllhost mensora_addin; } \
       >"$dir.build.log" 2>&1; then
  tail -n 40 "$dir.build.log"
  exit 1
fi

echo "machine: $(nproc) cores, $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -n 1)," \
     "load average $(cut -d ' ' -f 1-3 /proc/loadavg)"

if [ "${1:-}" = "--profile" ]; then
  filter=${2:?"usage: $0 --profile REGEX"}
  out=$dir/callgrind.out
  # Only the timed loops are counted, not the start (UDUNITS-2 reads its XML database then).
  valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='*LambdaBenchmark*Run*' \
    "$dir/bin/mensora_bench" --benchmark_filter="$filter" --benchmark_min_time=0.01 >/dev/null 2>&1
  callgrind_annotate "$out" | sed -n '/PROGRAM TOTALS/,/Auto-annotated source/p' | head -n 30
  echo "full profile: callgrind_annotate $out"
  exit 0
fi

"$dir/bin/mensora_bench" --benchmark_min_time=0.2 --benchmark_repetitions=3 "$@"

python3 bench/host_calls.py --label "native xllhost" "$dir/bin/xllhost" "$dir/bin/MENSORA.so"
if [ -x build/win64/xllhost.exe ] && [ -f build/win64/MENSORA.xll ]; then
  python3 bench/host_calls.py --label "64-bit add-in in xllhost under Wine" \
    --runner scripts/wine-run.sh build/win64/xllhost.exe build/win64/MENSORA.xll
fi
