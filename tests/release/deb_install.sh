#!/usr/bin/env bash
# Installs the Debian package on this machine with apt-get, checks the installed command and its
# manual page, and removes the package again, also when a check fails.
#   deb_install.sh PACKAGE-FILE VERSION
# Refuses to run where a mensora package is installed already, rather than replace it.
set -uo pipefail
deb=$1 version=$2

[ -f "$deb" ] || { echo "no package at $deb: run scripts/package.sh first"; exit 1; }
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_get=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive
         apt-get -y -qq -o DPkg::Lock::Timeout=300)
if dpkg-query -W -f='${Status}\n' mensora 2>/dev/null | grep -q ' installed$'; then
  echo "a mensora package is installed on this machine already; remove it to run this test"
  exit 1
fi

failures=0
# Runs a check, given as a description and a command, and counts it when it fails.
check() {
  local what=$1; shift
  if ! "$@"; then
    echo "failed: $what"
    failures=$((failures + 1))
  fi
}
equals() { [ "$1" = "$2" ] || { echo "got '$1', expected '$2'"; return 1; }; }

if ! "${apt_get[@]}" install "$deb" >/dev/null; then
  echo "apt-get install $deb failed"
  exit 1
fi
check "mensora 1 ft in" equals "$(/usr/bin/mensora 1 ft in)" 12
check "mensora --version" equals "$(/usr/bin/mensora --version)" "mensora $version"
check "man -w mensora" equals "$(man -w mensora)" /usr/share/man/man1/mensora.1.gz
check "the manual page reads" bash -c 'man -P cat mensora 2>/dev/null | grep -q "UNIT EXPRESSIONS"'
check "the licence" test -f /usr/share/doc/mensora/copyright

"${apt_get[@]}" purge mensora >/dev/null || failures=$((failures + 1))
check "the command is gone" test ! -e /usr/bin/mensora
[ "$failures" -eq 0 ] && echo "installed, checked and removed $(basename "$deb")"
[ "$failures" -eq 0 ]
