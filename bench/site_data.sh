#!/bin/bash
# Measures the Site Data row under Wine on a Chromium profile of SITES web sites (default
# 1,000), each with ten Local Storage entries, an IndexedDB database of its own and a
# service worker (bench/site_data_profile.cpp writes them as real LevelDB databases):
#   kept:    KEPT of the sites (default 20) on the keep list: the other sites' folders
#            go, their entries go from Local Storage and the workers' database through
#            LevelDB, which then compacts both
#   nothing: no site kept: the same folders go whole
#   rm -rf:  the same three folders (Local Storage, Service Worker, IndexedDB) removed on
#            Linux
#   shred:   the same folders' files each overwritten once, flushed and deleted on Linux
#            (`find … -exec shred -n 1 -u`), as Nimbrel erases a file, then `rm -rf`
# Nimbrel's figures are erase_bench's (mode "sitedata"), from the first call until the
# last file is closed; each of its files is overwritten once and flushed before it goes.
# Usage: bench/site_data.sh [path/to/erase_bench.exe]   (built with CMake when absent)
# Environment: REPS (default 3), BENCH_WORK (default /tmp/nimbrel-bench), SITES, KEPT.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
reps=${REPS:-3}
work=${BENCH_WORK:-/tmp/nimbrel-bench}
sites=${SITES:-1000}
kept=${KEPT:-20}

. "$root/bench/lib.sh"
bench_erase_exe "$@"

# The profile, made once natively and copied fresh for every run.
native="$root/build/native"
[ -f "$native/CMakeCache.txt" ] || cmake --preset native -S "$root" >/dev/null
cmake --build "$native" --target site_data_profile -j2 >/dev/null
mkdir -p "$work"
tpl="$work/sitedata.template"
rm -rf "$tpl"
"$native/site_data_profile" "$tpl" "$sites"

rm -rf "$work/sdprefix" "$work/sdhome"
export WINEPREFIX="$work/sdprefix" HOME="$work/sdhome" WINEDEBUG=-all
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
bench="$WINEPREFIX/drive_c/bench"
mkdir -p "$bench"
cp "$exe" "$bench/erase_bench.exe"
wine 'C:\bench\erase_bench.exe' >/dev/null 2>&1 || true

now() { date +%s.%N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# nimbrel KEPT: the seconds of one run keeping KEPT sites, its profile checked after.
nimbrel() {
  rm -rf "$bench/Default"
  cp -r "$tpl" "$bench/Default"
  sync
  local out left
  out=$(wine 'C:\bench\erase_bench.exe' sitedata 'C:\bench\Default' "$1" | tr -d '\r')
  left=$(find "$bench/Default/IndexedDB" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  [ "$left" = "$1" ] || { echo "IndexedDB: $left databases left, $1 kept: [$out]" >&2; exit 1; }
  sed -n 's/^seconds=\([0-9.]*\).*/\1/p' <<<"$out"
}
keeping=() none=() rmrf=() shred=()
for ((r = 1; r <= reps; r++)); do
  keeping+=("$(nimbrel "$kept")")
  none+=("$(nimbrel 0)")
  rm -rf "$work/rm"
  cp -r "$tpl" "$work/rm"
  sync
  start=$(now)
  rm -rf "$work/rm/Local Storage" "$work/rm/Service Worker" "$work/rm/IndexedDB"
  rmrf+=("$(echo "$(now) - $start" | bc)")
  rm -rf "$work/rm"
  cp -r "$tpl" "$work/rm"
  sync
  start=$(now)
  find "$work/rm/Local Storage" "$work/rm/Service Worker" "$work/rm/IndexedDB" -type f \
    -exec shred -n 1 -u {} +
  rm -rf "$work/rm/Local Storage" "$work/rm/Service Worker" "$work/rm/IndexedDB"
  shred+=("$(echo "$(now) - $start" | bc)")
done
k=$(printf '%s\n' "${keeping[@]}" | median)
n=$(printf '%s\n' "${none[@]}" | median)
m=$(printf '%s\n' "${rmrf[@]}" | median)
sh=$(printf '%s\n' "${shred[@]}" | median)
printf 'A profile of %d sites (%s, %d files), %d kept, medians of %d:\n' "$sites" \
  "$(du -sh "$tpl" | cut -f1)" "$(find "$tpl" -type f | wc -l)" "$kept" "$reps"
printf '  Nimbrel under Wine, %d kept   %.2f s   (runs: %s)\n' "$kept" "$k" "${keeping[*]}"
printf '  Nimbrel under Wine, none kept %.2f s   (runs: %s)\n' "$n" "${none[*]}"
printf '  rm -rf of the same folders    %.2f s   (runs: %s)\n' "$m" "${rmrf[*]}"
printf '  shred -n 1 -u, then rm -rf    %.2f s   (runs: %s)\n' "$sh" "${shred[*]}"
printf '  kept against rm -rf           %.2f (target 3)\n' "$(echo "$k / $m" | bc -l)"
printf '  kept against shred            %.2f\n' "$(echo "$k / $sh" | bc -l)"
printf '  kept against none kept        %.2f (target 1.5)\n' "$(echo "$k / $n" | bc -l)"
