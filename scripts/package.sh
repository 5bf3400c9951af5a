#!/usr/bin/env bash
# Makes the release files in dist/, building what they need first (the same trees as the test
# command: build/native, build/win32 and build/win64):
#   dist/mensora-VERSION-windows.zip        both add-ins (x86/ and x64/MENSORA.xll), the user
#                                           guide and the unit reference as HTML and Markdown,
#                                           README.md, LICENSE, CHANGELOG.md and SHA256SUMS
#   dist/mensora-VERSION-windows-debug.zip  the debug information of both add-ins, for reading
#                                           crash reports (x86/ and x64/MENSORA.xll.debug)
#   dist/mensora_VERSION_amd64.deb          the mensora command with its manual page
#   dist/mensora-VERSION-linux-x86_64.oxt   the LibreOffice Calc extension: the seven functions
#                                           as a Calc add-in, for unopkg or the extension manager
# Archive entries carry the time SOURCE_DATE_EPOCH (default: the time of the last commit), so
# the archives of a commit are the same bytes whenever they are made.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

# Configures and builds the given targets of one tree quietly; on failure shows the end of its
# log and stops.
build() {
  local dir=$1 targets=$2; shift 2
  mkdir -p build
  # shellcheck disable=SC2086  # the targets are a list
  if ! { cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" \
         && cmake --build "$dir" -j "$jobs" --target $targets; } >"$dir.package.log" 2>&1; then
    tail -n 40 "$dir.package.log"
    exit 1
  fi
}

# Writes the Markdown file $1 as the HTML page $2 that a browser opens, with the text of its
# first heading as the page's title; links to the other Markdown files become links to their
# pages.
html_page() {
  local title
  title=$(sed -n 's/^# //p' "$1" | head -n 1 | sed 's/&/\&amp;/g; s/</\&lt;/g')
  {
    printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
    printf '<title>%s</title>\n' "$title"
    printf '<style>\n%s\n</style>\n</head>\n<body>\n' \
      "body { font-family: sans-serif; max-width: 52em; margin: 2em auto; padding: 0 1em; }
table { border-collapse: collapse; } th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; }
code, pre { background: #f4f4f4; }"
    cmark-gfm --extension table "$1" | sed -E 's/href="([A-Za-z0-9_-]+)\.md"/href="\1.html"/g'
    printf '</body>\n</html>\n'
  } >"$2"
}

# Zips the contents of the folder $1 into the archive $2: names in byte order, every entry
# dated SOURCE_DATE_EPOCH, no owner or other extra fields.
zip_folder() {
  local archive
  archive=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
  rm -f "$archive"
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | TZ=UTC zip -X -D -q "$archive" -@)
}

echo "Installing what is missing and building (logs in build/*.package.log) ..."
./scripts/install-deps.sh native
./scripts/install-deps.sh windows
./scripts/install-deps.sh release
./scripts/install-deps.sh calc
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null \
                                                || stat -c %Y CMakeLists.txt)}

build build/native "mensora mensora_manual unit_docs mensora_oxt" \
  -DMENSORA_BIN_DIR="$root/build/bin" -DMENSORA_DOCS_DIR="$root/build/docs" -DMENSORA_CALC=ON
build build/win32 mensora_addin -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
  -DMENSORA_BIN_DIR="$root/build/win32"
build build/win64 mensora_addin \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
  -DMENSORA_BIN_DIR="$root/build/win64"
version=$(build/bin/mensora --version | cut -d ' ' -f 2)
name=mensora-$version-windows

mkdir -p dist
stage=build/package/$name
rm -rf build/package
mkdir -p "$stage/x86" "$stage/x64" "build/package/debug/x86" "build/package/debug/x64"
cp build/win32/MENSORA.xll "$stage/x86/"
cp build/win64/MENSORA.xll "$stage/x64/"
cp build/win32/MENSORA.xll.debug build/package/debug/x86/
cp build/win64/MENSORA.xll.debug build/package/debug/x64/
cp LICENSE CHANGELOG.md build/docs/units.md "$stage/"
# In the archive every document lies at the top, beside the others.
sed 's|(docs/user-guide\.md)|(user-guide.md)|g' README.md >"$stage/README.md"
sed 's|(\.\./build/docs/units\.md)|(units.md)|g' docs/user-guide.md >"$stage/user-guide.md"
html_page "$stage/user-guide.md" "$stage/user-guide.html"
html_page "$stage/units.md" "$stage/units.html"
sums=$(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum)
echo "$sums" >"$stage/SHA256SUMS"
zip_folder "$stage" "dist/$name.zip"
zip_folder build/package/debug "dist/$name-debug.zip"

rm -rf build/native/package
cpack --config build/native/CPackConfig.cmake -B build/native/package >build/native.cpack.log 2>&1 \
  || { tail -n 40 build/native.cpack.log; exit 1; }
cp "build/native/package/mensora_${version}_amd64.deb" dist/

# The extension, zipped from the build's staged contents as the archives are.
oxt=mensora-$version-linux-x86_64.oxt
zip_folder build/native/calc/oxt "dist/$oxt"

echo "Release files:"
(cd dist && sha256sum "$name.zip" "$name-debug.zip" "mensora_${version}_amd64.deb" "$oxt")
