#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix, with its exit status:
#   scripts/wine-run.sh program.exe [arguments...]
# WINEPREFIX, when set by the caller, chooses another prefix folder.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" "${WINEPREFIX:-}"
exec wine "$@"
