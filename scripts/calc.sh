#!/usr/bin/env bash
# Formulas in a real LibreOffice Calc: builds the Calc extension (build/bin/mensora.oxt) if need
# be, installs it into a throw-away user profile, starts Calc headless and prints what each
# formula gives, as xllhost does for the add-in:
#   scripts/calc.sh [--round-trip] [--file FILE]... [FORMULA...]
#   scripts/calc.sh --extension FILE.oxt ...      another extension file, such as the release's
# Each FORMULA prints its result alone on a line, each formula file (examples/demo) the table
# xllhost --file prints. Installs Calc and LibreOffice's SDK first when they are missing
# (scripts/install-deps.sh calc).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

extension=
if [ "${1:-}" = --extension ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--extension FILE.oxt] [--round-trip] [--file FILE]... [FORMULA...]" >&2; exit 2; }
  extension=$2
  shift 2
fi

./scripts/install-deps.sh calc >&2
if [ -z "$extension" ]; then
  mkdir -p build
  if ! { cmake -S "$root" -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           -DMENSORA_BIN_DIR="$root/build/bin" -DMENSORA_DOCS_DIR="$root/build/docs" \
           -DMENSORA_CALC=ON \
         && cmake --build build/native -j "$jobs" --target mensora_oxt; } \
       >build/native.calc.log 2>&1; then
    tail -n 40 build/native.calc.log >&2
    exit 1
  fi
  extension=build/bin/mensora.oxt
fi
# Calc's UNO bridge serves Debian's own Python, which need not be the first python3 on the path.
exec /usr/bin/python3 harness/calchost/calchost.py "$extension" "$@"
