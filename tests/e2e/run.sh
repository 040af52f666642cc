#!/usr/bin/env bash
# Runs the end-to-end tests under Wine and Xvfb, two prefixes at a time.
#   tests/e2e/run.sh                   every tests/e2e/test_*.sh
#   tests/e2e/run.sh test_x.sh ...     the tests named
#   tests/e2e/run.sh -k PATTERN        the tests whose name contains PATTERN
# Environment: NIMBREL_WIN_BUILD (default build/win) holds Nimbrel.exe,
# NimbrelDriver.exe, platform_selfcheck.exe and FakeBrowser.exe, 64-bit or 32-bit;
# NIMBREL_WINVER (say winxp) is the Windows version that Wine gives Nimbrel.exe; E2E_ROOT
# (default build/e2e) is where the run's prefixes go; E2E_JOBS (default 2) and
# E2E_TEST_TIMEOUT (seconds, default 300).
# Prints one line per test and ends with "N passed, N failed".
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
export E2E_SOURCED_BY_RUNNER=1
# shellcheck source=lib.sh
. "$here/lib.sh"

pattern=
tests=()
while [ $# -gt 0 ]; do
  case $1 in
    -k) pattern=$2; shift 2 ;;
    *) tests+=("$here/$(basename "${1%.sh}").sh"); shift ;;
  esac
done
if [ ${#tests[@]} -eq 0 ]; then
  for t in "$here"/test_*.sh; do
    [ -e "$t" ] && tests+=("$t")
  done
fi
if [ -n "$pattern" ]; then
  selected=()
  for t in "${tests[@]}"; do
    [[ $(basename "$t") == *"$pattern"* ]] && selected+=("$t")
  done
  tests=(${selected[@]+"${selected[@]}"})
fi
[ ${#tests[@]} -gt 0 ] || { echo "no test matches" >&2; exit 2; }
for t in "${tests[@]}"; do
  [ -f "$t" ] || { echo "no such test: $t" >&2; exit 2; }
done

bin=${NIMBREL_WIN_BUILD:-$repo/build/win}
bin=$(cd "$bin" 2>/dev/null && pwd) || { echo "no build folder: $bin (make win)" >&2; exit 2; }
for exe in Nimbrel.exe NimbrelDriver.exe platform_selfcheck.exe FakeBrowser.exe; do
  [ -f "$bin/$exe" ] || { echo "missing $bin/$exe (make win builds it)" >&2; exit 2; }
done
if [ "$("$repo/tools/pe-machine.sh" "$bin/Nimbrel.exe")" == i386 ]; then
  echo "32-bit build in $bin${NIMBREL_WINVER:+, Wine says Windows is $NIMBREL_WINVER}"
  # Wine runs a 32-bit program in a 32-bit process, which some kernels cannot start.
  why=
  if ! "$repo/tools/runs-32bit.sh"; then
    why="this machine's kernel runs no 32-bit programs (32-bit emulation is off)"
  elif [ ! -x /usr/lib/wine/wine ]; then
    why=$(cat "$repo/build/skip32.txt" 2>/dev/null || echo "Debian's wine32 is not installed")
  fi
  if [ -n "$why" ]; then
    echo "SKIP the 32-bit pass (${#tests[@]} tests): $why"
    echo "0 passed, 0 failed, ${#tests[@]} skipped"
    exit 0
  fi
fi

# Each run has its own folder under E2E_ROOT, locked while it runs, so that runs at the
# same time keep apart. Folders of runs that ended more than an hour ago go.
root=${E2E_ROOT:-$repo/build/e2e}
mkdir -p "$root"
for old in "$root"/run-*; do
  if [ -e "$old/.lock" ] && [ -z "$(find "$old/.lock" -mmin -60)" ]; then
    (flock -n 9 && rm -rf "$old") 9<"$old/.lock"
  fi
done
E2E_RUN=$root/run-$(date +%Y%m%d-%H%M%S)-$$
export E2E_RUN
mkdir -p "$E2E_RUN"
exec 9>"$E2E_RUN/.lock"
flock -n 9
export E2E_TEMPLATE=$E2E_RUN/template
jobs=${E2E_JOBS:-2}
limit=${E2E_TEST_TIMEOUT:-300}

cleanup() {
  [ -d "$E2E_TEMPLATE" ] && WINEPREFIX=$E2E_TEMPLATE wineserver -k 2>/dev/null
  rm -rf "$E2E_TEMPLATE"
  e2e_stop_xvfb
  touch "$E2E_RUN/.lock"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start=$(date +%s)
e2e_start_xvfb "$E2E_RUN/xvfb.log" || exit 1
e2e_write_fake_browser "$E2E_RUN/fake-browser"
if ! e2e_make_prefix "$E2E_TEMPLATE" "$bin" "$E2E_RUN/fake-browser"; then
  echo "retrying the template prefix" >&2
  rm -rf "$E2E_TEMPLATE"
  e2e_make_prefix "$E2E_TEMPLATE" "$bin" "$E2E_RUN/fake-browser" ||
    { echo "cannot make the template prefix"; echo "0 passed, ${#tests[@]} failed"; exit 1; }
fi
echo "template prefix ready in $(($(date +%s) - start)) s (display $DISPLAY)"

# One test in the background: its log in its folder, its result line on stdout.
run_one() {
  local t=$1 name dir began rc took
  name=$(basename "$t" .sh)
  dir=$E2E_RUN/$name
  mkdir -p "$dir"
  began=$(date +%s%N)
  # A display of its own: X has one input focus per display, and a window the
  # other test maps would take the foreground from this test's windows.
  if e2e_start_xvfb "$dir/xvfb.log"; then
    E2E_SOURCED_BY_RUNNER='' timeout -k 30 "$limit" bash "$t" >"$dir/log.txt" 2>&1 </dev/null
    rc=$?
  else
    echo "no X display for the test" >"$dir/log.txt"
    rc=1
  fi
  took=$((($(date +%s%N) - began) / 100000000))
  took=$((took / 10)).$((took % 10))
  # Whatever the test left behind (a timeout kills it before its own clean-up).
  [ -d "$dir/prefix" ] && WINEPREFIX=$dir/prefix wineserver -k 2>/dev/null
  e2e_stop_xvfb
  if [ "$rc" == 0 ]; then
    echo PASS >"$dir/result"
    printf 'PASS %s (%s s)\n' "$name" "$took"
  else
    echo FAIL >"$dir/result"
    [ "$rc" == 124 ] && echo "timed out after $limit s" >>"$dir/log.txt"
    # One write, so the lines of two tests ending together do not mix.
    printf 'FAIL %s (%s s), kept in %s\n%s\n' "$name" "$took" "$dir" \
      "$(tail -n 15 "$dir/log.txt" | sed 's/^/    /')"
  fi
}

# Waiting names the tests' jobs: Xvfb is a child too.
pids=()
for t in "${tests[@]}"; do
  while [ ${#pids[@]} -ge "$jobs" ]; do
    wait -n "${pids[@]}"
    alive=()
    for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && alive+=("$p"); done
    pids=(${alive[@]+"${alive[@]}"})
  done
  run_one "$t" &
  pids+=($!)
done
wait "${pids[@]}"

passed=0
failed=0
for t in "${tests[@]}"; do
  if [ "$(cat "$E2E_RUN/$(basename "$t" .sh)/result" 2>/dev/null)" == PASS ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "suite took $(($(date +%s) - start)) s"
echo "$passed passed, $failed failed"
[ "$failed" == 0 ]
