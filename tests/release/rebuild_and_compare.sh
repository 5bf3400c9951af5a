#!/usr/bin/env bash
# Builds the add-in once more, from a copy of the source tree at another path into another
# build folder, and compares it byte for byte with the add-in already built: no time stamp and
# no source or build path may reach the file. Its debug file must be the same too, since the
# add-in's debug link carries that file's checksum.
#   rebuild_and_compare.sh SOURCE TOOLCHAIN-FILE-NAME BUILT-XLL SCRATCH-FOLDER
# Prints both SHA-256 sums; keeps the scratch folder only when the files differ.
set -euo pipefail
source=$1 toolchain=$2 built=$3 scratch=$4

[ -f "$built" ] || { echo "no add-in at $built: build it first"; exit 1; }
rm -rf "$scratch"
mkdir -p "$scratch/source"
tar -C "$source" --exclude=./build --exclude=./dist --exclude=./.git -cf - . \
  | tar -C "$scratch/source" -xf -
if ! { cmake -S "$scratch/source" -B "$scratch/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DCMAKE_TOOLCHAIN_FILE="$scratch/source/cmake/$toolchain" -DMENSORA_TESTS=OFF \
       && cmake --build "$scratch/build" -j "$(nproc 2>/dev/null || echo 2)" \
            --target mensora_addin; } >"$scratch/build.log" 2>&1; then
  tail -n 40 "$scratch/build.log"
  exit 1
fi
rebuilt=$scratch/build/MENSORA.xll
sha256sum "$built" "$rebuilt"
status=0
for suffix in "" .debug; do
  if ! cmp "$built$suffix" "$rebuilt$suffix"; then
    echo "MENSORA.xll$suffix differs between the two builds"
    status=1
  fi
done
[ "$status" -ne 0 ] || rm -rf "$scratch"
exit "$status"
