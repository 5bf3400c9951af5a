#!/usr/bin/env bash
# The demo: builds the add-in and its host, then evaluates the formulas of examples/demo through
# the real MENSORA.xll, loaded by xllhost under Wine as the spreadsheet host would load it.
#   scripts/demo.sh [32|64]     the 32-bit add-in (the default) or the 64-bit one; --32 and
#                               --64 say the same
#   scripts/demo.sh calc        the same formulas in a real LibreOffice Calc, headless, with the
#                               Calc extension installed (installs Calc first if need be)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

# The demo's formulas in Calc, through scripts/calc.sh.
calc_demo() {
  echo "Mensora: the same formulas in LibreOffice Calc $(soffice --version 2>/dev/null \
    | awk '{print $2}'), headless, with the Calc extension installed"
  echo
  ./scripts/calc.sh --file examples/demo | sed 's/^/  /'
}

case "${1:-32}" in
  32|--32) bits=32 toolchain=mingw-i686 ;;
  64|--64) bits=64 toolchain=mingw-x86_64 ;;
  calc|--calc)
    echo "Installing what is missing and building the Calc extension (log in build/native.calc.log) ..."
    ./scripts/install-deps.sh calc
    echo
    calc_demo
    echo
    echo "The extension for LibreOffice: $root/build/bin/mensora.oxt (README: Install)"
    exit 0 ;;
  *) echo "usage: $0 [32|64|calc]" >&2; exit 2 ;;
esac
tree=build/win$bits

# Configures and builds one tree quietly; on failure shows the end of its log and stops.
build() {
  local dir=$1; shift
  mkdir -p build
  if ! { cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" \
         && cmake --build "$dir" -j "$jobs"; } >"$dir.build.log" 2>&1; then
    tail -n 40 "$dir.build.log"
    exit 1
  fi
}

echo "Installing what is missing and building (logs in build/*.build.log) ..."
./scripts/install-deps.sh all
build build/native -DMENSORA_BIN_DIR="$root/build/bin" -DMENSORA_DOCS_DIR="$root/build/docs"
build "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain.cmake" \
  -DMENSORA_BIN_DIR="$root/$tree"

# A machine whose kernel cannot execute 32-bit programs shows the 64-bit add-in instead.
. scripts/wine-env.sh ""
if [ "$bits" = 32 ] && [ "$MENSORA_WINE32" = 0 ]; then
  echo "This machine cannot execute 32-bit programs: showing the 64-bit add-in instead."
  bits=64 toolchain=mingw-x86_64 tree=build/win64
  build "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain.cmake" \
    -DMENSORA_BIN_DIR="$root/$tree"
fi

echo
echo "Mensora: unit conversions in worksheet formulas, through the $bits-bit MENSORA.xll in a" \
  "simulated host"
echo
# Programs run under Wine end their lines with a carriage return.
./scripts/wine-run.sh "$tree/xllhost.exe" --file examples/demo "$tree/MENSORA.xll" \
  | tr -d '\r' | sed 's/^/  /'
echo
echo "The add-in for $bits-bit spreadsheet hosts: $root/$tree/MENSORA.xll (docs/user-guide.md)"
# Calc is shown when the machine has it; ./scripts/demo.sh calc installs it.
echo
if command -v soffice >/dev/null && [ -x /usr/lib/libreoffice/sdk/bin/cppumaker ] \
   && /usr/bin/python3 -c 'import uno' 2>/dev/null; then
  calc_demo
else
  echo "The same formulas in LibreOffice Calc: ./scripts/demo.sh calc (installs Calc)"
fi
