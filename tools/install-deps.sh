#!/usr/bin/env bash
# Installs what building and testing Nimbrel needs, only what is missing.
set -euo pipefail
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have g++ || need+=(g++)
# The win32 thread model: the posix one links in imports newer than XP.
have x86_64-w64-mingw32-g++-win32 || need+=(g++-mingw-w64-x86-64-win32)
have wine || need+=(wine64 wine)
have Xvfb || need+=(xvfb)
have xdotool || need+=(xdotool)
have setfattr || need+=(attr)
have xwininfo || need+=(x11-utils)
have import || need+=(imagemagick)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The image's own `convert` may be a stand-in: the real one is ImageMagick's.
convert -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
[ ${#need[@]} -eq 0 ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "Missing packages: ${need[*]} (install them as root with apt-get)" >&2
  exit 1
fi
echo "Installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
