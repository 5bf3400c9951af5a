#!/usr/bin/env bash
# The demo: builds the mensora command and converts the examples with it.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

./scripts/install-deps.sh native
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMENSORA_BIN_DIR="$PWD/build/bin" >build/native.configure.log 2>&1 \
  || { cat build/native.configure.log; exit 1; }
cmake --build build/native -j "$jobs" --target mensora >build/native.build.log 2>&1 \
  || { tail -n 40 build/native.build.log; exit 1; }

mensora=build/bin/mensora

echo
echo "Conversions (examples/conversions.tsv through 'mensora --batch'):"
echo
printf '  %-12s %-14s %-10s %s\n' VALUE FROM TO RESULT
printf '  %-12s %-14s %-10s %s\n' ----- ---- -- ------
paste <(grep -v '^#' examples/conversions.tsv) <(grep -v '^#' examples/conversions.tsv | "$mensora" --batch) |
  while IFS=$'\t' read -r value from to result; do
    printf '  %-12s %-14s %-10s %s\n' "$value" "$from" "$to" "$result"
  done
echo
echo "SI units of 'J / mol / degK':  '$("$mensora" --si 'J / mol / degK')'"
echo "Common name of 'Btu/hr':       '$("$mensora" --common 'Btu/hr')'"
