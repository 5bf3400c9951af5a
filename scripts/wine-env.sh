# Sets up the private Wine environment our Windows programs run in; source it, do not run it.
#   . scripts/wine-env.sh [prefix-folder]      (empty or none: <repo>/build/wine)
# Exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and LC_ALL and creates the prefix on first use.
# One prefix serves 32- and 64-bit programs. Returns non-zero when the prefix cannot be made.
# Also exports MENSORA_WINE, the Wine loader to start programs with, and MENSORA_WINE32, 1 when
# this machine runs 32-bit programs and 0 when its kernel cannot execute them (some virtual
# machines leave 32-bit support out): Debian's "wine" always starts the 32-bit loader once wine32
# is installed, so there 64-bit programs are started with the 64-bit loader directly.
# A script with arguments of its own passes the folder (or "") explicitly: sourced without
# arguments, this file would see the script's.

mensora_wine_setup() {
  local repo prefix log status
  repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  prefix=${1:-$repo/build/wine}
  mkdir -p "$(dirname "$prefix")" || return 1
  prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

  export WINEPREFIX=$prefix
  export WINEDEBUG=-all
  # Wine takes the system's ANSI code page from the locale; the C locale gives Windows-1252, the
  # code page of most Western systems, which the end-to-end tests pass their bytes in.
  export LC_ALL=C.UTF-8
  # No .NET or browser add-ons to look for, and no menu entries written into the home folder.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

  if [ -z "${MENSORA_WINE:-}" ]; then
    MENSORA_WINE=wine
    MENSORA_WINE32=1
    if [ -e /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1 \
       && [ -x /usr/lib/wine/wine64 ]; then
      MENSORA_WINE=/usr/lib/wine/wine64
      MENSORA_WINE32=0
      export WINELOADER=$MENSORA_WINE
    fi
    export MENSORA_WINE MENSORA_WINE32
  fi

  # The stamp is written last, so an interrupted creation is simply run again.
  [ -f "$prefix/.mensora-ready" ] && return 0
  if ! command -v "$MENSORA_WINE" >/dev/null 2>&1; then
    echo "wine-env: Wine not found; run scripts/install-deps.sh windows" >&2
    return 1
  fi
  log=$prefix.log
  # Builds running in parallel may arrive here together: one creates, the others wait for it.
  (
    flock 9
    [ -f "$prefix/.mensora-ready" ] && exit 0
    echo "wine-env: creating the Wine prefix $prefix" >&2
    # wineboot returns before the server has written the registry; wait for that too.
    timeout 300 "$MENSORA_WINE" wineboot -i >"$log" 2>&1 && timeout 60 wineserver -w >>"$log" 2>&1 \
      && touch "$prefix/.mensora-ready"
  ) 9>"$prefix.lock"
  status=$?
  if [ "$status" -ne 0 ]; then
    echo "wine-env: creating the Wine prefix failed (status $status); see $log" >&2
  fi
  return "$status"
}

mensora_wine_setup "$@"
