#!/usr/bin/env bash
# Installs what the build needs on a Debian 12 machine, and nothing when it is all there.
#   install-deps.sh native   compilers, CMake, GoogleTest, Google Benchmark, GNU units (the
#                            catalogue's cross-check)
#   install-deps.sh windows  the mingw-w64 cross compilers (of the Win32 thread model) and Wine
#                            (32- and 64-bit)
#   install-deps.sh bench    UDUNITS-2 (the peer the benchmarks measure against) and valgrind
#   install-deps.sh fuzz     clang and its libFuzzer runtime
#   install-deps.sh release  what scripts/package.sh and its tests use: cmark-gfm (Markdown to
#                            HTML), zip and unzip, man-db, dpkg-dev (the package's dependencies)
#   install-deps.sh calc     LibreOffice Calc (headless), its SDK (the Calc extension's build)
#                            and the UNO bridge of Debian's Python (scripts/calc.sh)
#   install-deps.sh all      native and windows
set -euo pipefail

want=${1:-all}
native_pkgs=(build-essential cmake g++ clang libgtest-dev libgmock-dev libbenchmark-dev python3 units)
windows_pkgs=(g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 gcc-mingw-w64-i686-win32
              gcc-mingw-w64-x86-64-win32 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
              wine wine32:i386 wine64)
bench_pkgs=(libbenchmark-dev libudunits2-dev valgrind)
fuzz_pkgs=(clang libclang-rt-14-dev)
release_pkgs=(cmark-gfm zip unzip man-db dpkg-dev)
calc_pkgs=(libreoffice-calc-nogui libreoffice-dev python3-uno)

pkgs=()
case "$want" in
  native)  pkgs=("${native_pkgs[@]}") ;;
  windows) pkgs=("${windows_pkgs[@]}") ;;
  bench)   pkgs=("${bench_pkgs[@]}") ;;
  fuzz)    pkgs=("${fuzz_pkgs[@]}") ;;
  release) pkgs=("${release_pkgs[@]}") ;;
  calc)    pkgs=("${calc_pkgs[@]}") ;;
  all)     pkgs=("${native_pkgs[@]}" "${windows_pkgs[@]}") ;;
  *) echo "usage: $0 [native|windows|bench|fuzz|release|calc|all]" >&2; exit 2 ;;
esac

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${pkgs[@]}"; do
  # dpkg-query names a foreign package with its architecture suffix, as we list it.
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
for p in "${missing[@]}"; do
  if [[ "$p" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
done
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
