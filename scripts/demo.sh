#!/usr/bin/env bash
# The demo: builds the add-in and its host, then evaluates the formulas of examples/demo through
# the real MENSORA.xll, loaded by xllhost under Wine as the spreadsheet host would load it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

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
build build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DMENSORA_BIN_DIR="$root/build/win32"

echo
echo "Mensora: unit conversions in worksheet formulas, through MENSORA.xll in a simulated host"
echo
# Programs run under Wine end their lines with a carriage return.
./scripts/wine-run.sh build/win32/xllhost.exe --file examples/demo build/win32/MENSORA.xll \
  | tr -d '\r' | sed 's/^/  /'
echo
echo "The add-in for 32-bit spreadsheet hosts: $root/build/win32/MENSORA.xll (docs/user-guide.md)"
