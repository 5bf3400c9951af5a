#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build/fuzz and runs each, or each one named, for SECONDS (default 60): first every input of its
# seed corpus (fuzz/corpus/<target>), then new ones. Prints, per target, the executions and the
# findings, and one line "fuzz result: <target> passed|failed" that scripts/test.sh counts.
# Inputs that found something are kept in build/fuzz/findings/<target>/ until the next run; the
# corpus a run grows stays in build/fuzz/corpus/<target>/. Exits 1 when a target found something
# or did not build.
#   fuzz.sh [SECONDS [TARGET...]]     targets: units grammar mensora cell_value
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
targets=(units_fuzzer grammar_fuzzer mensora_fuzzer cell_value_fuzzer)
if [ $# -gt 1 ]; then
  targets=()
  for name in "${@:2}"; do targets+=("${name%_fuzzer}_fuzzer"); done
fi
dir=build/fuzz

case "$seconds" in
  ''|*[!0-9]*) echo "usage: $0 [SECONDS [TARGET...]]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh fuzz || exit 1

mkdir -p build
if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DMENSORA_SANITIZE=ON -DMENSORA_FUZZ=ON -DMENSORA_TESTS=OFF \
         -DMENSORA_BIN_DIR="$root/$dir/bin" -DMENSORA_DOCS_DIR="$root/$dir/docs" \
       && cmake --build "$dir" -j 2 --target "${targets[@]}"; } >"$dir.build.log" 2>&1; then
  tail -n 40 "$dir.build.log"
  for target in "${targets[@]}"; do echo "fuzz result: $target failed (no build)"; done
  exit 1
fi

status=0
printf '%-20s %14s %9s\n' target executions findings
for target in "${targets[@]}"; do
  name=${target%_fuzzer}
  corpus=$dir/corpus/$name
  findings=$dir/findings/$name
  log=$dir/$name.fuzz.log
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings"
  # Texts of a few hundred bytes reach every limit of the engine; a value's ownership faults show
  # in small trees, and large ones only slow the search.
  max_len=1024
  [ "$name" = cell_value ] && max_len=512
  # New inputs go to the first folder, so the committed seeds are only read.
  "$dir/bin/$target" "$corpus" "fuzz/corpus/$name" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
    >"$log" 2>&1
  code=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  [ -n "$executions" ] || executions=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  count=$(find "$findings" -type f | wc -l)
  # A crash that left no input behind still counts.
  [ "$code" -ne 0 ] && [ "$count" -eq 0 ] && count=1
  printf '%-20s %14s %9s\n' "$target" "${executions:-0}" "$count"
  if [ "$count" -eq 0 ]; then
    echo "fuzz result: $target passed"
  else
    grep -E 'ERROR|invariant broken|SUMMARY' "$log" | head -n 5
    echo "  log: $log; inputs: $findings/"
    echo "fuzz result: $target failed"
    status=1
  fi
done
exit $status
