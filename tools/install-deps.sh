#!/usr/bin/env bash
# Installs what building and testing Nimbrel needs, only what is missing.
# A package index that fails to download is retried, then what apt has is used; the
# 32-bit Wine packages are optional: when they cannot be had, the reason is written to
# $NIMBREL_SKIP32_FILE (default build/skip32.txt) and the 32-bit pass says it was skipped;
# the install is tried again an hour later (or at once when that file is removed).
set -uo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
skip32_file=${NIMBREL_SKIP32_FILE:-$tools/../build/skip32.txt}
wine32_loader=${NIMBREL_WINE32_LOADER:-/usr/lib/wine/wine}
runs32=${NIMBREL_RUNS32_PROBE:-$tools/runs-32bit.sh}
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have g++ || need+=(g++)
# clang and its libFuzzer for `make fuzz`.
have clang++ || need+=(clang)
# The win32 thread model: the posix one links in imports newer than XP.
have x86_64-w64-mingw32-g++-win32 || need+=(g++-mingw-w64-x86-64-win32)
have i686-w64-mingw32-g++-win32 || need+=(g++-mingw-w64-i686-win32)
have wine || need+=(wine64 wine)
have Xvfb || need+=(xvfb)
have xdotool || need+=(xdotool)
have setfattr || need+=(attr)
have xwininfo || need+=(x11-utils)
have makensis || need+=(nsis)
have zip || need+=(zip)
have unzip || need+=(unzip)
# The Wine test of the browsers' databases plants and reads them with the sqlite3 shell.
have sqlite3 || need+=(sqlite3)
# The Wine test and the bench of the free-space wipe run on an NTFS image: mkntfs, ntfs-3g.
{ have mkntfs && have ntfs-3g; } || need+=(ntfs-3g)
# The Wine test of the Site Data rows has the real browsers write and read their profiles.
have chromium || need+=(chromium)
have firefox-esr || need+=(firefox-esr)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The image's own `convert` may be a stand-in: the real one is ImageMagick's.
{ have import && convert -version 2>/dev/null | grep -q ImageMagick; } || need+=(imagemagick)

# 32-bit programs under Wine need Debian's wine32, an i386 package; only where the kernel
# runs 32-bit programs: elsewhere it would make every `wine` command fail.
want32=
if [ -x "$wine32_loader" ]; then
  rm -f "$skip32_file"
elif grep -qs "^wine32:i386 could not be installed" "$skip32_file" &&
  [ -n "$(find "$skip32_file" -mmin -60)" ]; then
  # Tried within the hour and failed: a mirror mid-sync takes a while, and each try costs
  # three index downloads. Removing the file tries again at once.
  :
elif "$runs32"; then
  want32=1
else
  mkdir -p "$(dirname "$skip32_file")"
  echo "this machine's kernel runs no 32-bit programs (32-bit emulation is off)" >"$skip32_file"
fi
[ ${#need[@]} -eq 0 ] && [ -z "$want32" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "Missing packages: ${need[*]} ${want32:+wine32:i386} (install them as root with apt-get)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Another install may hold apt's lock: wait for it rather than fail.
apt_get() { apt-get -o DPkg::Lock::Timeout=600 "$@"; }
# A mirror being re-synced serves an index of the wrong size for a while: try three times,
# then go on with the lists apt already has.
update() {
  local try
  for try in 1 2 3; do
    apt_get update -qq && return 0
    [ "$try" -lt 3 ] && sleep "${NIMBREL_APT_RETRY_SECONDS:-10}"
  done
  echo "apt-get update failed three times; going on with the package lists apt has" >&2
  return 1
}
skip32() {
  mkdir -p "$(dirname "$skip32_file")"
  echo "$1" >"$skip32_file"
  echo "The 32-bit pass will be skipped: $1" >&2
}

if [ -n "$want32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
stale=
update || stale="the package lists could not be updated; "
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  apt_get install -y -qq --no-install-recommends "${need[@]}" >/dev/null || exit 1
fi
if [ -n "$want32" ]; then
  echo "Installing: wine32:i386"
  # apt names the packages it cannot have on stdout ("... : Depends: ...", not with -qq),
  # its verdict on stderr ("E: ...").
  if out=$(apt_get install -y -q --no-install-recommends wine32:i386 2>&1); then
    rm -f "$skip32_file"
  else
    why=$(grep -m1 'Depends:' <<<"$out" || grep -m1 '^E:' <<<"$out")
    why=$(tr -s ' ' <<<"${why#"${why%%[! ]*}"}")
    skip32 "wine32:i386 could not be installed ($stale${why:-apt-get install failed})"
  fi
fi
exit 0
