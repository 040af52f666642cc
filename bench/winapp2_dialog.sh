#!/bin/bash
# Times Erasing Settings opening in the real Nimbrel.exe under Wine with the whole
# community file (tests/data/winapp2/Winapp2.ini) beside it: from the click on
# "Erasing Settings" until the dialog's window is there with every detected entry
# listed. Beside it, what the driver itself costs: the same command pair against a
# window that is already open.
# Usage: bench/winapp2_dialog.sh [BUILD_DIR]   (default build/win; make win first)
# Environment: REPS (default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build/win}" && pwd)
reps=${REPS:-5}

. "$root/bench/lib.sh"
bench_window_session winapp2-bench "$bin" prefix
e2e_sandbox_env "$work/prefix"
wineserver -p
poll 20 e2e_wine cmd /c exit
cp "$root/tests/data/winapp2/Winapp2.ini" "$WINEPREFIX/drive_c/Nimbrel/Winapp2.ini"
start_nimbrel

ms() { echo $(( ($2 - $1) / 1000000 )); }
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
opens=() driver=()
for _ in $(seq "$reps"); do
  t0=$(date +%s%N)
  drv click FrmMain Label7
  drv wait FrmEraseingSettings 20000 >/dev/null || fail "Erasing Settings did not open"
  t1=$(date +%s%N)
  opens+=("$(ms "$t0" "$t1")")
  listed=$(drv items FrmEraseingSettings lvwThirdpartyControls | wc -l)
  t0=$(date +%s%N)
  drv visible FrmEraseingSettings lvwThirdpartyControls >/dev/null
  drv wait FrmEraseingSettings 20000 >/dev/null
  t1=$(date +%s%N)
  driver+=("$(ms "$t0" "$t1")")
  drv click FrmEraseingSettings Command1_1
  drv gone FrmEraseingSettings 10000 || fail "Erasing Settings did not close"
done
stop_nimbrel
echo "Erasing Settings opens in $(median "${opens[@]}") ms, the driver's own two calls" \
  "included ($(median "${driver[@]}") ms); median of $reps: ${opens[*]} ms;" \
  "$((listed - 62)) community entries listed"
