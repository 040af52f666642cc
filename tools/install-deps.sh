#!/usr/bin/env bash
# Installs what building and testing Nimbrel needs, only what is missing.
set -euo pipefail
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have g++ || need+=(g++)
# The win32 thread model: the posix one links in imports newer than XP.
have x86_64-w64-mingw32-g++-win32 || need+=(g++-mingw-w64-x86-64-win32)
have i686-w64-mingw32-g++-win32 || need+=(g++-mingw-w64-i686-win32)
have wine || need+=(wine64 wine)
have Xvfb || need+=(xvfb)
have xdotool || need+=(xdotool)
have setfattr || need+=(attr)
have xwininfo || need+=(x11-utils)
have import || need+=(imagemagick)
have makensis || need+=(nsis)
have zip || need+=(zip)
have unzip || need+=(unzip)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The image's own `convert` may be a stand-in: the real one is ImageMagick's.
convert -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
# 32-bit programs under Wine need Debian's wine32, an i386 package; only where the kernel
# runs 32-bit programs: elsewhere it would make every `wine` command fail.
i386=
if [ ! -x /usr/lib/wine/wine ] && "$(dirname "$0")/runs-32bit.sh"; then
  need+=(wine32:i386)
  i386=1
fi
[ ${#need[@]} -eq 0 ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "Missing packages: ${need[*]} (install them as root with apt-get)" >&2
  exit 1
fi
echo "Installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
if [ -n "$i386" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# Another install may hold apt's lock: wait for it rather than fail.
apt_get() { apt-get -o DPkg::Lock::Timeout=600 "$@"; }
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
