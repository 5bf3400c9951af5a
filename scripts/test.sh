#!/usr/bin/env bash
# Runs every test: the native unit tests, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, what runs on several threads under ThreadSanitizer, and the
# command-line checks; a short fuzzing run of each fuzz target (its seed corpus replayed, then a
# few seconds of new inputs); then the Windows builds, 32-bit
# (build/win32) and 64-bit (build/win64), each MENSORA.xll with its own xllhost.exe and the same
# end-to-end tests under Wine, whose private prefix (build/wine) the first test creates; then the
# release files of scripts/package.sh (tests/release: a second build of each add-in gives the same
# bytes, the Windows archive's contents and add-ins, the Debian package installed and removed
# again); and the same generated formulas through the native and both Windows add-ins, in a host
# of today and in one of version 11, which must all agree to the last digit. The native tests
# include the Calc extension in a real headless LibreOffice Calc (tests/calc), installed with its
# SDK by scripts/install-deps.sh calc. Installs what is missing first. Ends with the line
# "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

./scripts/install-deps.sh native || exit 1
./scripts/install-deps.sh calc || exit 1

passed=0
failed=0
not_run=0

# The counts of ctest's summary line in a log: "FAILED TOTAL", or nothing when it ran nothing.
ctest_counts() {
  grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1 \
    | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/'
}

# Runs ctest in a build folder and adds its counts to the totals. With "again", the tests that
# failed run once more, alone: Wine now and then fails to start a program at all (start.exe's
# "ShellExecuteEx failed"), which no test of ours can help. The first failure stays in the log,
# and how many passed only the second time is said.
run_ctest() {
  local dir=$1 label=$2 again=${3:-} log
  log=$(mktemp)
  echo "== $label =="
  (cd "$dir" && ctest --output-on-failure -j "$jobs") 2>&1 | tee "$log" | grep -E -v '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' || true
  local counts total fails rerun
  counts=$(ctest_counts "$log")
  if [ -z "$counts" ]; then
    echo "$label: ctest ran nothing"
    failed=$((failed + 1))
  else
    read -r fails total <<<"$counts"
    if [ "$again" = again ] && [ "$fails" -gt 0 ]; then
      rerun=$(mktemp)
      echo "$label: running the $fails failed once more"
      (cd "$dir" && ctest --rerun-failed --output-on-failure) >"$rerun" 2>&1
      counts=$(ctest_counts "$rerun")
      if [ -n "$counts" ] && [ "${counts%% *}" -lt "$fails" ]; then
        grep -E 'Test +#[0-9]+: .*(Passed|Failed)' "$rerun"
        echo "$label: $((fails - ${counts%% *})) passed only when run again"
        fails=${counts%% *}
      else
        cat "$rerun"
      fi
      rm -f "$rerun"
    fi
    # A test the machine cannot run at all (a 32-bit program where the kernel lacks 32-bit
    # support) is skipped: counted neither as passed nor as failed, and said.
    skipped=$(grep -c -E '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log" || true)
    if [ "$skipped" -gt 0 ]; then
      echo "$label: $skipped not run ($(grep -m 1 -o 'not run: [^(]*' "$log" || echo skipped))"
    fi
    passed=$((passed + total - fails - skipped))
    failed=$((failed + fails))
    not_run=$((not_run + skipped))
  fi
  rm -f "$log"
}

# Configures and builds one native tree; a build failure counts as one failed test.
build() {
  local dir=$1; shift
  echo "== build $dir =="
  if cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir.configure.log" 2>&1 \
     && cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1; then
    return 0
  fi
  tail -n 40 "$dir.configure.log" "$dir.build.log" 2>/dev/null
  failed=$((failed + 1))
  return 1
}

mkdir -p build
build build/native -DMENSORA_BIN_DIR="$root/build/bin" \
  -DMENSORA_DOCS_DIR="$root/build/docs" -DMENSORA_CALC=ON && run_ctest build/native "native tests"
build build/asan -DMENSORA_SANITIZE=ON && ASAN_OPTIONS=detect_leaks=1 run_ctest build/asan "sanitizer tests"
build build/tsan -DMENSORA_SANITIZE_THREAD=ON && run_ctest build/tsan "thread sanitizer tests"

# One pass or failure per fuzz target.
echo "== fuzz targets =="
fuzz_log=$(mktemp)
./scripts/fuzz.sh 5 2>&1 | tee "$fuzz_log" | grep -v '^fuzz result: .* passed$'
fuzz_passed=$(grep -c '^fuzz result: .* passed$' "$fuzz_log")
fuzz_failed=$(grep -c '^fuzz result: .* failed' "$fuzz_log")
[ $((fuzz_passed + fuzz_failed)) -gt 0 ] || fuzz_failed=1
passed=$((passed + fuzz_passed))
failed=$((failed + fuzz_failed))
rm -f "$fuzz_log"

echo "== install windows =="
if ./scripts/install-deps.sh windows; then
  build build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    -DMENSORA_BIN_DIR="$root/build/win32" \
    && run_ctest build/win32 "win32 tests (Wine)" again
  # One after the other: both runs share the prefix, whose running object table the hosts use.
  # Let the 32-bit run's Wine server and whatever it still holds go before the 64-bit run starts.
  (. scripts/wine-env.sh "" && timeout 60 wineserver -w) || true
  build build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
    -DMENSORA_BIN_DIR="$root/build/win64" \
    && run_ctest build/win64 "win64 tests (Wine)" again

  echo "== release files =="
  if ./scripts/package.sh >build/package.log 2>&1; then
    cmake -S "$root/tests/release" -B build/release -DMENSORA_SOURCE_DIR="$root" \
      >build/release.configure.log 2>&1 && run_ctest build/release "release files"
  else
    tail -n 40 build/package.log
    failed=$((failed + 1))
  fi
else
  failed=$((failed + 1))
fi

# The same few thousand formulas through the native add-in and both Windows ones under Wine: one
# pass or failure, the same output to the last digit required.
echo "== cross-build results =="
if python3 tests/e2e/cross_build.py --mensora build/bin/mensora --out build/cross --version-11-too \
     --build native - build/bin/xllhost build/bin/MENSORA.so \
     --build win32 scripts/wine-run.sh build/win32/xllhost.exe build/win32/MENSORA.xll \
     --build win64 scripts/wine-run.sh build/win64/xllhost.exe build/win64/MENSORA.xll; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

[ "$not_run" -eq 0 ] || echo "$not_run tests not run on this machine (see above)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
