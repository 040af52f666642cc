#!/bin/bash
# Measures what an idle Nimbrel costs under Wine: the CPU time of the Nimbrel.exe
# process and of the prefix's wineserver (which serves every timer, registry read and
# message of the program) while the main window sits idle, its three timers ticking
# (a schedule is ticked, every day at a time twelve hours off, so that the scheduler's
# 10 ms timer runs; with IDLE_SCHEDULE=0 none is, and that timer stays off).
# The whole wineserver is counted against Nimbrel; its cost with no program running
# is measured first and shown beside it. Nimbrel is held against a program that does
# nothing but run a 10 ms window timer (bench/idle_floor.cpp), the least that the
# scheduler's timer can cost under this Wine, measured the same way in turn with it.
# Usage: bench/idle_cpu.sh [folder with Nimbrel.exe and NimbrelDriver.exe]
#        (default build/win; built with `make win` when missing)
# Environment: SECONDS_IDLE (default 30, each sample), IDLE_ROUNDS (default 3),
#              BENCH_WORK (default /tmp/nimbrel-idle), IDLE_SCHEDULE (default 1),
#              IDLE_SETTLE (default 35, seconds between Nimbrel's start and its sample).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
span=${SECONDS_IDLE:-30}
work=${BENCH_WORK:-/tmp/nimbrel-idle}
bin=${1:-$root/build/win}
# The prefix gets the three programs the end-to-end harness copies.
for exe in Nimbrel.exe NimbrelDriver.exe platform_selfcheck.exe; do
  [ -f "$bin/$exe" ] || make -C "$root" win >/dev/null
done
[ -f "$bin/idle_floor.exe" ] || cmake --build "$bin" --target idle_floor -j2 >/dev/null
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
e2e_use_loader "$bin"
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
# The CPU time of a process, all its threads, in microseconds: the first field of
# each /proc/PID/task/TID/schedstat is that thread's time on a CPU in nanoseconds,
# exact where utime and stime only count the clock ticks that found it running.
cpu_us() {
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {printf "%d", ns / 1000}'
}
# sample PID SECONDS: the microseconds PID and the wineserver spend over SECONDS,
# as "PID SERVER".
sample() {
  local p0 s0
  p0=$(cpu_us "$1")
  s0=$(cpu_us "$server")
  sleep "$2"
  echo "$(($(cpu_us "$1") - p0)) $(($(cpu_us "$server") - s0))"
}
percent() { awk -v t="$1" -v s="$2" 'BEGIN {printf "%.2f", 100 * t / 1e6 / s}'; }

# (Re)starts the prefix's wineserver, which writes the registry out as it ends:
# one that has changed is otherwise saved 30 s after the change, a burst of the
# server's CPU that would land in some sample and not in another.
restart_server() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  "$E2E_WINE" cmd /c exit >/dev/null 2>&1  # the prefix's own services start and settle
  sleep 5
  server=$(prefix_pids 'wineserver(64)?' | head -n1)
  [ -n "$server" ] || { echo "no wineserver for $WINEPREFIX" >&2; exit 1; }
}
# start_nimbrel: starts Nimbrel.exe, waits for its window and for it to settle:
# past its start-up and the homepage guard's first look (30 s on), which stores
# the start page once.
start_nimbrel() {
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe) >>"$work/nimbrel.log" 2>&1 &
  (cd "$WINEPREFIX/drive_c/Nimbrel" && "$E2E_WINE" NimbrelDriver.exe wait FrmMain 45000) >/dev/null
  nimbrel_pid=$(started_pid Nimbrel.exe)
  sleep "${IDLE_SETTLE:-35}"
}
stop_nimbrel() {
  kill "$nimbrel_pid"
  while kill -0 "$nimbrel_pid" 2>/dev/null; do sleep 0.2; done
  nimbrel_pid=
}

if [ "${IDLE_SCHEDULE:-1}" = 1 ]; then
  settings='HKCU\Software\NimbrelSoft\Nimbrel\Settings'
  "$E2E_WINE" reg add "$settings" /v chkSchedule /d 1 /f >/dev/null 2>&1
  "$E2E_WINE" reg add "$settings" /v Day /d 7 /f >/dev/null 2>&1
  "$E2E_WINE" reg add "$settings" /v Time /d "$(date -d '+12 hours' +%H:%M:%S)" /f >/dev/null 2>&1
fi
cp "$bin/idle_floor.exe" "$WINEPREFIX/drive_c/"
# A first start stores what a first start stores (the categories, the start page);
# the later starts of the rounds then change nothing.
echo "a first start of Nimbrel" >&2
start_nimbrel
stop_nimbrel
restart_server

echo "wineserver alone: sampling ${span} s" >&2
read -r base _ < <(sample "$server" "$span")

# Side by side, in rounds: the bare 10 ms timer, then Nimbrel, each sampled as long,
# each with the wineserver; the machine's other load then weighs on both alike.
rounds=${IDLE_ROUNDS:-3}
# sample_floor [shown]: the bare timer's CPU time over the span, itself and the wineserver.
sample_floor() {
  local pid own srv
  (cd "$WINEPREFIX/drive_c" && exec "$E2E_WINE" idle_floor.exe "$@") >/dev/null 2>&1 &
  pid=$(started_pid idle_floor.exe)
  sleep 3
  read -r own srv < <(sample "$pid" "$span")
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
  echo $((own + srv))
}
floors=0 shownFloors=0 totals=0 owns=0 servers=0 ratios=()
for round in $(seq "$rounds"); do
  echo "round $round: a bare 10 ms timer, sampling ${span} s" >&2
  floor=$(sample_floor)
  echo "round $round: the same in a shown window, sampling ${span} s" >&2
  shownFloors=$((shownFloors + $(sample_floor shown)))

  start_nimbrel
  echo "round $round: Nimbrel idle, sampling ${span} s" >&2
  read -r own srv < <(sample "$nimbrel_pid" "$span")
  echo "round $round: bare timer $floor us, Nimbrel $own us + wineserver $srv us" >&2
  stop_nimbrel
  total=$((own + srv))
  floors=$((floors + floor)) totals=$((totals + total)) owns=$((owns + own)) servers=$((servers + srv))
  ratios+=("$(awk -v t="$total" -v f="$floor" 'BEGIN {printf "%.2f", t / f}')")
done

all=$((rounds * span))
echo
echo "Idle Nimbrel under Wine, $rounds rounds of ${span} s, CPU time as a share of one core:"
printf '  %-38s %6s %%\n' \
  "Nimbrel.exe" "$(percent "$owns" "$all")" \
  "wineserver" "$(percent "$servers" "$all")"
printf '  %-38s %6s %%\n' "total" "$(percent "$totals" "$all")"
printf '  %-38s %6s %%\n' "a bare 10 ms timer, with wineserver" "$(percent "$floors" "$all")"
printf '  %-38s %6s %%\n' "the same in a shown window" "$(percent "$shownFloors" "$all")"
printf '  %-38s %6s %%\n' "(wineserver with no program running)" "$(percent "$base" "$span")"
printf '  %-38s %s\n' "total / the bare timer, by round" "${ratios[*]}"
awk -v t="$totals" -v f="$floors" 'BEGIN {
  r = t / f
  printf "  %-38s %6.2f\n", "total / the bare timer, all rounds", r
  print (r <= 1.2 ? "  target (at most 1.2 x the bare timer): met" \
                  : "  target (at most 1.2 x the bare timer): NOT met") }'
awk -v t="$totals" -v f="$shownFloors" \
  'BEGIN {printf "  %-38s %6.2f\n", "total / the timer in a shown window", t / f}'
