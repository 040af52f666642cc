#!/usr/bin/env bash
# The community file's cost under Wine, in two parts.
# 1. Reading it (tests/data/winapp2/Winapp2.ini) with winapp2_bench.exe: read + parse +
#    detect, as at the program's start.
# 2. Runs of the real Nimbrel.exe: `/erase` of ENTRIES (default 4000) one-line entries,
#    all ticked, with nothing planted (ENTRY_FILES=1: one file each, in a folder of its
#    own), on a fresh profile's other rows; then (unless SHARED=0) the shared copy
#    with every entry ticked and one trace planted in the folder of each FileKey that
#    names a folder of the profile or the program files, `/preview` and `/erase` of it.
#    Each is timed as the whole command, and the planted files are counted after.
# Usage: bench/winapp2.sh [BUILD_DIR]   (default build/win; built when missing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/win}
entries=${ENTRIES:-4000}
with_files=${ENTRY_FILES:-0}
for exe in Nimbrel.exe NimbrelDriver.exe platform_selfcheck.exe; do
  [ -f "$bin/$exe" ] || make -C "$root" win >/dev/null
done
[ -f "$bin/winapp2_bench.exe" ] || cmake --build "$bin" --target winapp2_bench -j2 >/dev/null
bin=$(cd "$bin" && pwd)

. "$root/bench/lib.sh"
bench_window_session winapp2-bench "$bin" prefix
e2e_sandbox_env "$work/prefix"
wineserver -p
poll 20 e2e_wine cmd /c exit

echo "== Reading the shared copy (winapp2_bench.exe, 5 repetitions)"
mkdir -p "$WINEPREFIX/drive_c/winapp2bench"
cp "$bin/winapp2_bench.exe" "$root/tests/data/winapp2/Winapp2.ini" "$WINEPREFIX/drive_c/winapp2bench/"
e2e_wine 'C:\winapp2bench\winapp2_bench.exe' 5

nimbrel=$WINEPREFIX/drive_c/Nimbrel
local_app=$(unix_path "$(e2e_wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
tick_key='HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\Winapp2'
# timed WHAT ARGS...: runs Nimbrel.exe with ARGS, prints the seconds it took.
timed() {
  local what=$1 t0 t1 rc=0
  shift
  t0=$(date +%s%N)
  (cd "$nimbrel" && exec "$E2E_WINE" Nimbrel.exe "$@") >>"$work/nimbrel.log" 2>&1 || rc=$?
  t1=$(date +%s%N)
  awk -v n=$((t1 - t0)) -v w="$what" -v rc="$rc" \
    'BEGIN {printf "  %-58s %7.2f s (exit code %d)\n", w, n / 1e9, rc}'
}
# tick_all INI: a .reg file ticking every entry of INI, imported.
tick_all() {
  {
    printf 'REGEDIT4\r\n\r\n[%s]\r\n' "$tick_key"
    sed -n 's/^\[\(.*\) \*\]\r\{0,1\}$/\1/p' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g' |
      awk '{printf "\"%s\"=\"True\"\r\n", $0}'
  } >"$WINEPREFIX/drive_c/ticks.reg"
  reg_import ticks.reg "importing the ticks"
}

echo "== $entries one-line entries, all ticked$([ "$with_files" = 1 ] && echo ", one file each")"
ini=$nimbrel/Winapp2.ini
for i in $(seq -w 1 "$entries"); do
  printf '[Bench Entry %s *]\r\nLangSecRef=3021\r\nFileKey1=%%LocalAppData%%\\BenchEntry%s|*.log\r\n\r\n' "$i" "$i"
  if [ "$with_files" = 1 ]; then
    mkdir -p "$local_app/BenchEntry$i"
    echo trace >"$local_app/BenchEntry$i/a.log"
  fi
done >"$ini"
tick_all "$ini"
# The first start stores the program's own first settings; it is not timed.
timed "/preview of nothing planted yet (a first start, not a figure)" /preview 'C:\first.tsv' >/dev/null
timed "/erase of $entries one-line entries" /erase
echo "  planted files left: $(find "$local_app" -path '*BenchEntry*' -name a.log | wc -l) of $entries"
rm -rf "$local_app"/BenchEntry*

[ "${SHARED:-1}" = 1 ] || exit 0
echo "== The shared copy, every entry ticked, a trace in each folder it names"
cp "$root/tests/data/winapp2/Winapp2.ini" "$ini"
tick_all "$ini"
# The folders of the FileKeys under the profile's and the program files' variables,
# without wildcards: a file "nimbrel-bench.trace" in each (every pattern that is *.* or
# * takes it; the rest keep it, as they should).
declare -A var
for v in LocalAppData AppData UserProfile ProgramFiles CommonAppData; do
  w=%$v%
  [ "$v" = CommonAppData ] && w=%ProgramData%
  var[${v,,}]=$(unix_path "$(e2e_wine cmd /c echo "$w" | tr -d '\r')")
done
planted=0
while IFS= read -r folder; do
  v=${folder%%%*}
  rest=${folder#*%}
  v=${rest%%%*}
  base=${var[${v,,}]:-}
  [ -n "$base" ] || continue
  sub=${rest#*%}
  path="$base$(tr '\\' '/' <<<"$sub")"
  case "$path" in *'*'* | *'?'*) continue ;; esac
  mkdir -p "$path" 2>/dev/null && echo trace >"$path/nimbrel-bench.trace" && planted=$((planted + 1))
done < <(sed -n 's/^FileKey[0-9]*=\(%[A-Za-z]*%[^|]*\)|.*$/\1/p' "$ini" | tr -d '\r' | sort -u)
planted=$(find "$WINEPREFIX/drive_c" -name nimbrel-bench.trace | wc -l)
echo "  $planted folders planted"
count_traces() { find "$WINEPREFIX/drive_c" -name nimbrel-bench.trace | wc -l; }
timed "/preview of the shared copy" /preview 'C:\preview.tsv'
echo "  preview lines: $(wc -l <"$WINEPREFIX/drive_c/preview.tsv"), traces still there: $(count_traces)"
timed "/erase of the shared copy" /erase
echo "  traces left: $(count_traces) of $planted"
