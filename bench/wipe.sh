#!/bin/bash
# Measures /wipefree under Wine on an NTFS volume (an image made by mkntfs, mounted
# with ntfs-3g, Wine's drive D:) beside `dd conv=fsync` filling the same free space
# with 1 MiB writes on Linux. Each run starts from a freshly formatted volume. The
# wipe's time is the whole command: Wine's start of the program, the fill (one pass,
# secure erasing off), the file table's small files and the deletes.
# Usage: bench/wipe.sh [path/to/Nimbrel.exe]   (default build/win/Nimbrel.exe)
# Environment: REPS (default 3), SIZE_MIB (default 256), BENCH_WORK (default
#   /tmp/nimbrel-bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
reps=${REPS:-3}
size=${SIZE_MIB:-256}
work=${BENCH_WORK:-/tmp/nimbrel-bench}
exe=$(readlink -f "${1:-$root/build/win/Nimbrel.exe}")
for tool in mkntfs ntfs-3g bc; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: tools/install-deps.sh" >&2; exit 1; }
done

mkdir -p "$work"
img=$work/wipe.img
mnt=$work/wipe.mnt
rm -rf "$work/wipeprefix" "$work/wipehome"
export WINEPREFIX="$work/wipeprefix" HOME="$work/wipehome" WINEDEBUG=-all
mkdir -p "$HOME" "$mnt"
wineboot -i >/dev/null 2>&1
wineserver -w
trap 'wineserver -k 2>/dev/null || true; umount "$mnt" 2>/dev/null || true' EXIT
wineserver -p
mkdir -p "$WINEPREFIX/drive_c/bench"
cp "$exe" "$WINEPREFIX/drive_c/bench/Nimbrel.exe"
ln -sfn "$mnt" "$WINEPREFIX/dosdevices/d:"

fresh_volume() {
  umount "$mnt" 2>/dev/null || true
  truncate -s 0 "$img"
  truncate -s "${size}M" "$img"
  mkntfs -F -Q -q "$img" >/dev/null 2>&1
  ntfs-3g "$img" "$mnt"
  sync
}
now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

dd_times=() wipe_times=() lost=()
for ((i = 1; i <= reps; i++)); do
  fresh_volume
  t=$(now)
  dd if=/dev/zero of="$mnt/fill" bs=1M conv=fsync 2>/dev/null || true
  dd_times+=($(($(now) - t)))
  rm -f "$mnt/fill"
  fresh_volume
  free=$(stat -f -c '%a*%S' "$mnt" | bc)
  t=$(now)
  (cd "$WINEPREFIX/drive_c/bench" && wine Nimbrel.exe /wipefree D:) >/dev/null 2>&1 ||
    { echo "/wipefree failed" >&2; exit 1; }
  wipe_times+=($(($(now) - t)))
  lost+=($((free - $(stat -f -c '%a*%S' "$mnt" | bc))))
done
dd_ms=$(printf '%s\n' "${dd_times[@]}" | median | awk '{printf "%.0f", $1 / 1e6}')
wipe_ms=$(printf '%s\n' "${wipe_times[@]}" | median | awk '{printf "%.0f", $1 / 1e6}')
echo "free space of a ${size} MiB NTFS volume, median of $reps"
echo "dd conv=fsync: ${dd_ms} ms"
echo "/wipefree D:: ${wipe_ms} ms ($(echo "scale=2; $wipe_ms / $dd_ms" | bc) x dd's time; target 1.25)"
echo "free space lost to the file table's growth: ${lost[*]} bytes"
