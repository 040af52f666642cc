#!/bin/bash
# Measures the file erasers under Wine against the usual Linux tools, side by
# side in one run, and prints the medians and the ratios:
#   one 256 MiB file:  SecureEraseFile (1 pass; secure erasing with 2 extra
#                      passes) vs dd conv=fsync, shred -n 1 -u, shred -n 3 -u
#   10,000 files of 1-64 KiB in 100 folders:  EraseFilesInTree (1 pass; secure
#                      erasing with 2 extra passes) vs find -exec shred -u
#                      (3 passes), bleachbit --shred (1 pass), rm -rf
#   the same tree through the real Nimbrel.exe, with the visual style on and with
#                      the classic look, and the window's answer times meanwhile
#                      (bench/window_bench.sh, on build/win)
# Usage: bench/run.sh [path/to/erase_bench.exe]   (built with CMake when absent)
# Environment: REPS (default 3), BENCH_WORK (default /tmp/nimbrel-bench).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
reps=${REPS:-3}
work=${BENCH_WORK:-/tmp/nimbrel-bench}

. "$root/bench/lib.sh"
bench_erase_exe "$@"

if ! command -v bleachbit >/dev/null; then
  if [ "$(id -u)" = 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y bleachbit >/dev/null
  else
    echo "bleachbit is missing: apt-get install bleachbit" >&2
    exit 1
  fi
fi

# A prefix of our own, with no Z: drive and a sandboxed home.
mkdir -p "$work"
rm -rf "$work/prefix" "$work/home"
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
wineserver -w
rm -f "$WINEPREFIX/dosdevices/z:"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p  # kept warm, so each run pays no server start

bench="$WINEPREFIX/drive_c/bench"
mkdir -p "$bench"
cp "$exe" "$bench/erase_bench.exe"
wine 'C:\bench\erase_bench.exe' >/dev/null 2>&1 || true  # loads the DLLs once

# Fixtures: random data, built once and copied fresh for every measurement.
head -c 256M /dev/urandom >"$work/big.template"
rm -rf "$work/tree.template"
python3 - "$work/tree.template" <<'EOF'
import os, random, sys
random.seed(7)
base = sys.argv[1]
for d in range(100):
    folder = os.path.join(base, "d%02d" % (d // 10), "s%02d" % d)
    os.makedirs(folder, exist_ok=True)
    for f in range(100):
        with open(os.path.join(folder, "f%03d.tmp" % f), "wb") as out:
            out.write(os.urandom(random.randint(1, 64) * 1024))
EOF

declare -A times
now() { date +%s.%N; }
# measure NAME SETUP COMMAND...: runs SETUP, syncs, then times COMMAND: the
# seconds erase_bench prints (the erasing, from the first call to the last
# file closed), or else the wall-clock time of the whole command.
measure() {
  local name=$1 setup=$2
  shift 2
  $setup
  sync
  local t0 t1 out
  t0=$(now)
  out=$("$@")
  t1=$(now)
  if [[ $out =~ seconds=([0-9.]+) ]]; then
    times[$name]+="${BASH_REMATCH[1]} "
    times[${name}_wall]+="$(echo "$t1 - $t0" | bc) "
  else
    times[$name]+="$(echo "$t1 - $t0" | bc) "
  fi
}
fresh_file() { rm -f "$bench/big.bin"; cp "$work/big.template" "$bench/big.bin"; }
fresh_tree() { rm -rf "$bench/tree"; cp -a "$work/tree.template" "$bench/tree"; }
check_file_gone() {
  if [ -e "$bench/big.bin" ]; then echo "FAIL: $1 left the file" >&2; exit 1; fi
}
check_tree_empty() {
  local left
  left=$(find "$bench/tree" -type f 2>/dev/null | wc -l)
  if [ "$left" != 0 ]; then echo "FAIL: $1 left $left files" >&2; exit 1; fi
}

for rep in $(seq "$reps"); do
  echo "repetition $rep of $reps" >&2
  measure nimbrel_1 fresh_file wine 'C:\bench\erase_bench.exe' file 'C:\bench\big.bin' 0
  check_file_gone "SecureEraseFile"
  measure nimbrel_3 fresh_file wine 'C:\bench\erase_bench.exe' file 'C:\bench\big.bin' 2
  check_file_gone "SecureEraseFile (3 passes)"
  measure dd fresh_file dd if=/dev/zero of="$bench/big.bin" bs=1M count=256 conv=fsync status=none
  measure shred_1 fresh_file shred -n 1 -u "$bench/big.bin"
  measure shred_3 fresh_file shred -n 3 -u "$bench/big.bin"

  measure tree_nimbrel fresh_tree wine 'C:\bench\erase_bench.exe' tree 'C:\bench\tree' 0
  check_tree_empty "EraseFilesInTree"
  measure tree_nimbrel_3 fresh_tree wine 'C:\bench\erase_bench.exe' tree 'C:\bench\tree' 2
  check_tree_empty "EraseFilesInTree (3 passes)"
  measure tree_shred fresh_tree find "$bench/tree" -type f -exec shred -u {} +
  check_tree_empty "shred"
  measure tree_bleachbit fresh_tree bleachbit --shred "$bench/tree"
  measure tree_rm fresh_tree rm -rf "$bench/tree"
done
rm -rf "$bench/big.bin" "$bench/tree"

median() { tr ' ' '\n' <<<"${times[$1]}" | grep . | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { echo "scale=2; $1 / $2" | bc; }
declare -A m
for k in "${!times[@]}"; do m[$k]=$(median "$k"); done
mib=256
echo
echo "Median of $reps runs, seconds: the peers' whole commands; Nimbrel's erasing as"
echo "erase_bench times it, from its first call until the last file is closed (in"
echo "brackets: the whole wine command, with Wine's start of the program)."
echo
echo "One 256 MiB file"
printf '  %-44s %8s s  %7s MiB/s  (%s s)\n' \
  "SecureEraseFile, 1 pass" "${m[nimbrel_1]}" "$(ratio $mib "${m[nimbrel_1]}")" \
  "${m[nimbrel_1_wall]}" \
  "SecureEraseFile, secure, 2 extra passes" "${m[nimbrel_3]}" \
  "$(ratio $((3 * mib)) "${m[nimbrel_3]}")" "${m[nimbrel_3_wall]}"
printf '  %-44s %8s s  %7s MiB/s\n' \
  "dd if=/dev/zero bs=1M count=256 conv=fsync" "${m[dd]}" "$(ratio $mib "${m[dd]}")" \
  "shred -n 1 -u" "${m[shred_1]}" "$(ratio $mib "${m[shred_1]}")" \
  "shred -n 3 -u" "${m[shred_3]}" "$(ratio $((3 * mib)) "${m[shred_3]}")"
echo "  1 pass speed / dd speed:        $(ratio "${m[dd]}" "${m[nimbrel_1]}")  (target >= 0.8)"
echo "  shred -n 1 time / 1 pass time:  $(ratio "${m[shred_1]}" "${m[nimbrel_1]}")"
echo "  shred -n 3 time / 3 passes time: $(ratio "${m[shred_3]}" "${m[nimbrel_3]}")"
echo
echo "10,000 files, 1-64 KiB, 100 folders"
printf '  %-44s %8s s  (%s s)\n' \
  "EraseFilesInTree, 1 pass" "${m[tree_nimbrel]}" "${m[tree_nimbrel_wall]}" \
  "EraseFilesInTree, secure, 2 extra passes" "${m[tree_nimbrel_3]}" "${m[tree_nimbrel_3_wall]}"
printf '  %-44s %8s s\n' \
  "find -type f -exec shred -u {} + (3 passes)" "${m[tree_shred]}" \
  "bleachbit --shred (1 pass)" "${m[tree_bleachbit]}" \
  "rm -rf" "${m[tree_rm]}"
echo "  1 pass time / bleachbit time:    $(ratio "${m[tree_nimbrel]}" "${m[tree_bleachbit]}")  (target <= 0.5)"
echo "  3 passes time / shred time:      $(ratio "${m[tree_nimbrel_3]}" "${m[tree_shred]}")  (target <= 0.7)"
echo "  1 pass time / shred time:        $(ratio "${m[tree_nimbrel]}" "${m[tree_shred]}")"
echo "  rm -rf time / 1 pass time:       $(ratio "${m[tree_rm]}" "${m[tree_nimbrel]}")"

# The same tree through the real window, beside erase_bench, and how fast the
# window answers meanwhile.
echo
make -C "$root" win >/dev/null
REPS=1 "$root/bench/window_bench.sh" "$root/build/win"
