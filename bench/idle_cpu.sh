#!/bin/bash
# Measures what an idle Nimbrel costs under Wine: the CPU time of the Nimbrel.exe
# process and of the prefix's wineserver (which serves every timer, registry read and
# message of the program) while the main window sits idle, its three timers ticking.
# The whole wineserver is counted against Nimbrel; its cost with no Nimbrel running
# is measured first and shown beside it, and so is the cost of a program that does
# nothing but run a 10 ms window timer (bench/idle_floor.cpp), the least that the
# scheduler's timer can cost under this Wine.
# Usage: bench/idle_cpu.sh [folder with Nimbrel.exe and NimbrelDriver.exe]
#        (default build/win; built with `make win` when missing)
# Environment: SECONDS_IDLE (default 60), BENCH_WORK (default /tmp/nimbrel-idle).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
span=${SECONDS_IDLE:-60}
work=${BENCH_WORK:-/tmp/nimbrel-idle}
bin=${1:-$root/build/win}
# The prefix gets the three programs the end-to-end harness copies.
for exe in Nimbrel.exe NimbrelDriver.exe platform_selfcheck.exe idle_floor.exe; do
  [ -f "$bin/$exe" ] || make -C "$root" win >/dev/null
done
bin=$(cd "$bin" && pwd)

# The prefix as the end-to-end harness makes it: sandboxed home, no window manager
# delays, no theme, no Z: drive.
export E2E_SOURCED_BY_RUNNER=1
# shellcheck source=../tests/e2e/lib.sh
. "$root/tests/e2e/lib.sh"
rm -rf "$work"
mkdir -p "$work"
started_xvfb=
if [ -z "${DISPLAY:-}" ]; then
  e2e_start_xvfb "$work/xvfb.log"
  started_xvfb=1
fi
e2e_write_fake_browser "$work/fake-browser"
e2e_make_prefix "$work/prefix" "$bin" "$work/fake-browser"
e2e_sandbox_env "$work/prefix"
nimbrel_pid=
cleanup() {
  [ -n "$nimbrel_pid" ] && kill "$nimbrel_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  [ -n "$started_xvfb" ] && e2e_stop_xvfb
  return 0
}
trap cleanup EXIT

# The pids of this prefix's processes whose command name matches the pattern NAME.
prefix_pids() {
  local name=$1 p
  for p in $(pgrep -x "$name" 2>/dev/null); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
    fi
  done
}
# The pid of this prefix's process NAME, once it has started (within 10 s).
started_pid() {
  local pid _
  for _ in $(seq 100); do
    pid=$(prefix_pids "$1" | head -n1)
    [ -n "$pid" ] && { echo "$pid"; return 0; }
    sleep 0.1
  done
  echo "no $1 process" >&2
  exit 1
}
# utime + stime of a process, in clock ticks (fields 14 and 15 of /proc/PID/stat;
# the command name in field 2 may hold blanks, so count from its closing parenthesis).
ticks() {
  local rest
  rest=$(sed 's/^.*) //' "/proc/$1/stat")
  awk '{print $12 + $13}' <<<"$rest"
}
# sample PID SECONDS: the ticks PID and the wineserver spend over SECONDS, as "PID SERVER".
sample() {
  local p0 s0
  p0=$(ticks "$1")
  s0=$(ticks "$server")
  sleep "$2"
  echo "$(($(ticks "$1") - p0)) $(($(ticks "$server") - s0))"
}
hz=$(getconf CLK_TCK)
percent() { awk -v t="$1" -v hz="$hz" -v s="$2" 'BEGIN {printf "%.2f", 100 * t / hz / s}'; }

wineserver -p
wine cmd /c exit >/dev/null 2>&1  # the prefix's own services start and settle
sleep 5
server=$(prefix_pids 'wineserver(64)?' | head -n1)
[ -n "$server" ] || { echo "no wineserver for $WINEPREFIX" >&2; exit 1; }

base_span=$((span / 3))
echo "wineserver alone: sampling ${base_span} s" >&2
read -r base _ < <(sample "$server" "$base_span")

# The bare 10 ms timer, itself and the wineserver, as Nimbrel is measured below.
cp "$bin/idle_floor.exe" "$WINEPREFIX/drive_c/"
(cd "$WINEPREFIX/drive_c" && exec wine idle_floor.exe) >/dev/null 2>&1 &
floor_pid=$(started_pid idle_floor.exe)
sleep 3
echo "a bare 10 ms timer: sampling ${base_span} s" >&2
read -r own srv < <(sample "$floor_pid" "$base_span")
floor=$((own + srv))
kill "$floor_pid"

(cd "$WINEPREFIX/drive_c/Nimbrel" && exec wine Nimbrel.exe) >"$work/nimbrel.log" 2>&1 &
(cd "$WINEPREFIX/drive_c/Nimbrel" && wine NimbrelDriver.exe wait FrmMain 45000) >/dev/null
nimbrel_pid=$(started_pid Nimbrel.exe)
sleep 5  # past its start-up
echo "Nimbrel idle: sampling ${span} s" >&2
read -r own srv < <(sample "$nimbrel_pid" "$span")
total=$((own + srv))

echo
echo "Idle Nimbrel under Wine, ${span} s, CPU time as a share of one core:"
printf '  %-38s %6s %%  (%d ticks of 1/%d s)\n' \
  "Nimbrel.exe" "$(percent "$own" "$span")" "$own" "$hz" \
  "wineserver" "$(percent "$srv" "$span")" "$srv" "$hz"
printf '  %-38s %6s %%\n' "total" "$(percent "$total" "$span")"
printf '  %-38s %6s %%\n' "(wineserver with no Nimbrel running)" "$(percent "$base" "$base_span")"
printf '  %-38s %6s %%\n' "(a bare 10 ms timer, with wineserver)" "$(percent "$floor" "$base_span")"
awk -v t="$total" -v hz="$hz" -v s="$span" \
  'BEGIN {p = 100 * t / hz / s; print (p <= 1 ? "  target (at most 1 %): met" : "  target (at most 1 %): NOT met")}'
