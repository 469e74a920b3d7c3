#!/usr/bin/env bash
# Installs the named Debian packages that are not installed yet, and only
# those: with apt-get as root, or through sudo when it needs no password.
#
#   tools/install_missing_packages.sh [--optional] PACKAGE...
#
# Exits 0 when every package is installed afterwards. When some cannot be
# installed (not root and no sudo, or apt-get failed) it names them and the
# command that would install them, and exits 1; with --optional it says the
# same as a note and exits 0, for packages that only some tests need.
set -uo pipefail

optional=no
if [[ ${1:-} == --optional ]]; then optional=yes; shift; fi
[[ $# -gt 0 ]] || { echo "usage: $0 [--optional] PACKAGE..." >&2; exit 2; }

is_installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

missing=()
for package in "$@"; do
  is_installed "$package" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
if [[ $(id -u) -ne 0 ]] && command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
fi

installed=no
if [[ $(id -u) -eq 0 || ${#as_root[@]} -gt 0 ]]; then
  echo "== installing Debian packages: ${missing[*]}"
  if "${as_root[@]}" apt-get update -qq &&
     "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
       apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    installed=yes
  fi
fi
if [[ $installed == yes ]]; then exit 0; fi

if [[ $optional == yes ]]; then
  echo "note: Debian packages not installed: ${missing[*]}; the tests that need them" \
       "are skipped (install with: sudo apt-get install ${missing[*]})"
  exit 0
fi
echo "error: missing Debian packages: ${missing[*]}" >&2
echo "install them with: sudo apt-get install ${missing[*]}" >&2
exit 1
