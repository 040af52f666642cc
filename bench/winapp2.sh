#!/usr/bin/env bash
# Times reading the community file (tests/data/winapp2/Winapp2.ini) beside
# winapp2_bench.exe under Wine: read + parse + detect, as at the program's start.
# Usage: bench/winapp2.sh   (needs the mingw build; take the Wine lock around it)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
exe=$repo/build/win/winapp2_bench.exe
[ -x "$exe" ] || cmake --build "$repo/build/win" --target winapp2_bench -j2 >/dev/null
export WINEPREFIX=${WINEPREFIX:-$repo/build/bench-prefix} WINEDEBUG=-all
dir=$WINEPREFIX/drive_c/winapp2bench
mkdir -p "$dir"
cp "$exe" "$repo/tests/data/winapp2/Winapp2.ini" "$dir/"
wine 'C:\winapp2bench\winapp2_bench.exe' 5
