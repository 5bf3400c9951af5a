#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with its exit status:
#   scripts/wine-run.sh program.exe [arguments...]
# WINEPREFIX, when set by the caller, chooses another prefix folder. On a machine whose kernel
# cannot execute 32-bit programs, a 32-bit program is not started: the status is 77, which the
# tests take as "not run", with the reason on standard error.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" "${WINEPREFIX:-}"

# The machine field of a PE file's header: 014c for x86, 8664 for x86-64.
pe_machine() {
  local header
  header=$(od -An -tu4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 0
  [ -n "$header" ] && od -An -tx2 -j $((header + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

if [ "$MENSORA_WINE32" = 0 ] && [ -f "${1:-}" ] && [ "$(pe_machine "$1")" = 014c ]; then
  echo "wine-run: not run: this machine cannot execute 32-bit programs ($1)" >&2
  exit 77
fi
exec "$MENSORA_WINE" "$@"
