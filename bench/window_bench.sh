#!/bin/bash
# Times what a user sees: the 10,000-file tree (1-64 KiB, 100 folders) as the
# temp folder, "Windows Temp Files" alone ticked, from the click on Start
# Erasing until the completion message, in the real Nimbrel.exe under Wine;
# beside it the same tree erased by erase_bench.exe (no window). Both with
# Wine's visual style on (a new prefix's default) and with the classic look.
# Meanwhile a helper asks the window every 100 ms how long it takes to answer
# a message from another process (WM_NULL through SendMessageTimeout).
# Usage: bench/window_bench.sh [BUILD_DIR]   (default build/win; make win first)
# Environment: REPS (default 1), FILES_PER_FOLDER (default 100), LOOKS (default
# "themed classic").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build/win}" && pwd)
reps=${REPS:-1}
per=${FILES_PER_FOLDER:-100}
for exe in Nimbrel.exe NimbrelDriver.exe erase_bench.exe platform_selfcheck.exe; do
  [ -f "$bin/$exe" ] || { echo "missing $bin/$exe (make win)" >&2; exit 2; }
done

. "$root/bench/lib.sh"
bench_window_session window-bench "$bin" template

python3 - "$work/tree" "$per" <<'PY'
import os, random, sys
random.seed(7)
base, per = sys.argv[1], int(sys.argv[2])
for d in range(100):
    folder = os.path.join(base, "d%02d" % (d // 10), "s%02d" % d)
    os.makedirs(folder, exist_ok=True)
    for f in range(per):
        with open(os.path.join(folder, "f%03d.tmp" % f), "wb") as out:
            out.write(os.urandom(random.randint(1, 64) * 1024))
PY
files=$((100 * per))

. "$root/tests/e2e/catalogue.sh"
results=()
for look in ${LOOKS:-themed classic}; do
  for rep in $(seq "$reps"); do
    rm -rf "$work/prefix"
    cp -a "$work/template" "$work/prefix"
    e2e_sandbox_env "$work/prefix"
    wineserver -p
    poll 20 e2e_wine cmd /c exit
    reg_add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive \
      "$([ $look = themed ] && echo 1 || echo 0)"
    choose chkWindowsTemp
    cp "$bin/erase_bench.exe" "$WINEPREFIX/drive_c/Nimbrel/"
    temp=$(unix_path "C:\\users\\$(e2e_user)\\Temp")

    rm -rf "${temp:?}"/*; cp -a "$work/tree/." "$temp/"; sync
    # The erasing as erase_bench times it: Wine's start of the program is no
    # part of the click-to-message time either.
    bare=$(cd "$WINEPREFIX/drive_c/Nimbrel" && wine erase_bench.exe tree "C:\\users\\$(e2e_user)\\Temp" 0)
    bare=$(sed -E 's/.*seconds=([0-9.]+).*/\1/' <<<"$bare")
    left=$(find "$temp" -type f | wc -l)
    [ "$left" = 0 ] || echo "erase_bench left $left files" >&2

    rm -rf "${temp:?}"/*; cp -a "$work/tree/." "$temp/"; sync
    start_nimbrel
    line=$(drv timeclick FrmMain Label2 FrmMessage 1800000)
    left=$(find "$temp" -type f | wc -l)
    [ "$left" = 0 ] || echo "the window left $left files" >&2
    stop_nimbrel
    wineserver -k 2>/dev/null
    echo "$look run $rep: window ${line}; no window seconds=$bare" >&2
    results+=("$look $bare $line")
  done
done

echo
echo "$files files of 1-64 KiB in 100 folders, 1 pass, through the real window"
echo "(seconds from the click until the completion message) and without one."
for r in "${results[@]}"; do
  read -r look bare line <<<"$r"
  secs=$(sed -E 's/.*seconds=([0-9.]+).*/\1/' <<<"$line")
  worst=$(sed -E 's/.*worst_ms=([0-9.]+).*/\1/' <<<"$line")
  p99=$(sed -E 's/.*p99_ms=([0-9.]+).*/\1/' <<<"$line")
  printf '  %-8s window %7.2f s   no window %7.2f s   ratio %5.2f (target <= 1.3)   answer worst %6.1f ms, p99 %6.1f ms (target <= 50)\n' \
    "$look" "$secs" "$bare" "$(echo "scale=3; $secs / $bare" | bc)" "$worst" "$p99"
done
