#!/usr/bin/env bash
# The command line: /preview on a fresh profile writes no setting and reads a number as
# a choice; /preview writes its file while nothing changes; /erase erases a
# planted temp folder without ever mapping a window, appends to Log.txt, names there the
# files it left (one held open by another program, one read-only) and exits 5, then 0
# once nothing is left; the exit codes of an empty selection and a bad argument; /? in
# the message dialog; and a second start bringing the first window forward, with one
# process left.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

temp=$(unix_path "$E2E_TEMP")
log=$WINEPREFIX/drive_c/Nimbrel/Log.txt

# Runs Nimbrel.exe with ARGS to its end; prints nothing, returns its exit code.
run_nimbrel() {
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe "$@") >>"$E2E_DIR/nimbrel.log" 2>&1
}

# The Nimbrel.exe processes of this test's prefix.
nimbrel_processes() {
  local pid n=0
  for pid in $(pgrep -f 'Nimbrel\.exe' || true); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      grep -qaF 'Nimbrel.exe' "/proc/$pid/cmdline" && ! grep -qaF 'NimbrelDriver' "/proc/$pid/cmdline" &&
      n=$((n + 1))
  done
  echo "$n"
}

# Every planted file, and every file of the temp folder, with its hash.
hashes() { (cd "$temp" && find . -type f -print0 | sort -z | xargs -0 -r md5sum); }

# ---- /preview on a fresh profile writes no setting ----
# Nothing stored but the recycle bin switched off as a policy or a .reg file stores it,
# a number; the bin holds an item. The preview takes the defaults in memory and that
# number as "0": it writes nothing, and leaves the bin out.
reg_add "$OPTIONS" chkWindowsRecycleBin 0 REG_DWORD
trash=$XDG_DATA_HOME/Trash
mkdir -p "$trash/files" "$trash/info"
printf 'in the bin' >"$trash/files/old.txt"
printf '[Trash Info]\nPath=/tmp/old.txt\nDeletionDate=2024-01-01T10:00:00\n' \
  >"$trash/info/old.txt.trashinfo"
settings_dump() { reg_exe query 'HKCU\Software\NimbrelSoft' /s | tr -d '\r'; }
before=$(settings_dump)
rc=0
run_nimbrel /preview 'C:\fresh.tsv' || rc=$?
assert_eq "$rc" 0 "exit code of /preview on a fresh profile"
assert_eq "$(settings_dump)" "$before" "the settings after /preview on a fresh profile"
grep -qi 'recycle' "$WINEPREFIX/drive_c/fresh.tsv" && fail "the switched-off recycle bin is previewed"
[ -s "$WINEPREFIX/drive_c/fresh.tsv" ] || fail "the fresh profile's preview is empty"
rm -rf "$trash/files/old.txt" "$trash/info/old.txt.trashinfo"

rm -rf "${temp:?}"/* 2>/dev/null || true
mkdir -p "$temp/sub/deep"
printf 'one' >"$temp/a.txt"
head -c 3000 /dev/urandom >"$temp/sub/b.bin"
printf 'deep down' >"$temp/sub/deep/c.log"
printf 'read-only' >"$temp/ro.txt"
chmod a-w "$temp/ro.txt"
printf 'held without sharing' >"$temp/held.txt"
choose chkWindowsTemp

# ---- /preview FILE: the file, and nothing else changed ----
before=$(hashes)
rc=0
run_nimbrel /PREVIEW 'C:\preview.tsv' || rc=$?
assert_eq "$rc" 0 "exit code of /preview"
preview=$(tr -d '\r' <"$WINEPREFIX/drive_c/preview.tsv")
tab=$'\t'
for f in 'a.txt' 'sub\b.bin' 'sub\deep\c.log'; do
  grep -qiF "Windows Temp Files${tab}file${tab}${E2E_TEMP}\\$f$tab" <<<"$preview" ||
    fail "the preview lacks $f: [$preview]"
done
grep -qi "ro\.txt" <<<"$preview" && fail "the read-only file is listed"
grep -qiF "$(printf 'Windows Temp Files\tfile\t%s\\sub\\b.bin\t3000' "$E2E_TEMP")" <<<"$preview" ||
  fail "the preview lacks the size of b.bin"
assert_eq "$(hashes)" "$before" "the planted files after /preview"
[ ! -e "$log" ] || fail "/preview wrote Log.txt"
[ ! -e "$temp/WFView" ] || fail "/preview left a definitions file"

# ---- /erase: no window ever mapped, on a display of its own that xev watches ----
main_display=$DISPLAY main_xvfb=$E2E_XVFB_PID
e2e_start_xvfb "$E2E_DIR/xvfb-watch.log" || fail "no display for the watched run"
display=$DISPLAY
xvfb_pid=$E2E_XVFB_PID
E2E_XVFB_PID=$main_xvfb
DISPLAY=$main_display
stop_watch() {
  local rc=$?
  kill "${xev_pid:-}" "${marker_pid:-}" "$xvfb_pid" 2>/dev/null
  (exit "$rc")
  e2e_finish
}
trap stop_watch EXIT
xev -display "$display" -root -event substructure >"$E2E_DIR/xev.log" 2>&1 &
xev_pid=$!
# A window of our own, mapped again until xev reports it: then xev is listening.
for _ in 1 2 3 4 5; do
  xmessage -display "$display" marker >/dev/null 2>&1 &
  marker_pid=$!
  poll 3 grep -q MapNotify "$E2E_DIR/xev.log" && break
  kill "$marker_pid"
done
grep -q MapNotify "$E2E_DIR/xev.log" || fail "xev reports no window"
kill "$marker_pid"
marker_pid=
maps=$(grep -c MapNotify "$E2E_DIR/xev.log")
# Held open, without sharing, by another program while the first /erase runs.
drv hold "$E2E_TEMP\\held.txt" 20000 >"$E2E_DIR/hold.out" &
hold_pid=$!
poll 20 grep -q held "$E2E_DIR/hold.out" || fail "the file is not held"
rc=0
DISPLAY=$display run_nimbrel -Erase || rc=$?
assert_eq "$rc" 5 "exit code of /erase leaving two files"
assert_eq "$(grep -c MapNotify "$E2E_DIR/xev.log")" "$maps" "windows mapped by /erase"
kill "$xev_pid"
for f in a.txt sub/b.bin sub/deep/c.log; do [ ! -e "$temp/$f" ] || fail "not erased: $f"; done
assert_eq "$(cat "$temp/ro.txt")" "read-only" "the read-only file"
assert_eq "$(cat "$temp/held.txt")" "held without sharing" "the held file"
[ -f "$log" ] || fail "no Log.txt after /erase"
grep -q '^   Nimbrel v3.0'$'\r''$' "$log" || fail "Log.txt has no header"
grep -q '^Cleaning Windows Temp Files <OK>'$'\r''$' "$log" || fail "Log.txt lacks the row line"
grep -qiF "  ${E2E_TEMP}\\a.txt" "$log" || fail "Log.txt lacks the erased file"
grep -qiF "  left (in use): ${E2E_TEMP}\\held.txt"$'\r' "$log" ||
  fail "Log.txt does not say the held file was left in use"
grep -qiF "  left (access denied): ${E2E_TEMP}\\ro.txt"$'\r' "$log" ||
  fail "Log.txt does not say the read-only file was left"
assert_eq "$(grep -c '^  left (' "$log")" 2 "items told as left in Log.txt"
wait "$hold_pid" || fail "the holder failed"
chmod u+w "$temp/ro.txt"
size=$(stat -c %s "$log")
rc=0
run_nimbrel /erase || rc=$?
assert_eq "$rc" 0 "exit code of a second /erase, nothing left"
[ "$(stat -c %s "$log")" -gt "$size" ] || fail "the second /erase appended nothing"
[ ! -e "$temp/held.txt" ] || fail "the file no longer held was not erased"

# ---- Exit codes of nothing selected and of bad arguments ----
choose
rc=0
run_nimbrel /erase || rc=$?
assert_eq "$rc" 1 "exit code of /erase with nothing selected"
for args in "/bogus" "erase" "/preview" "/erase /erase" "/journal j.tsv"; do
  rc=0
  # shellcheck disable=SC2086  # the words are meant to split
  run_nimbrel $args || rc=$?
  assert_eq "$rc" 2 "exit code of [$args]"
done

# ---- /? shows the usage in the message dialog ----
(cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe '/?') >>"$E2E_DIR/nimbrel.log" 2>&1 &
usage_pid=$!
drv wait FrmMessage 30000 >/dev/null || fail "no usage shown"
assert_eq "$(drv text FrmMessage Label4)" "Nimbrel command line" "usage title"
[[ $(drv text FrmMessage lblMesage) == *"/preview FILE"* ]] || fail "usage text"
shot command-line-usage FrmMessage
drv click FrmMessage cmdOK
poll 20 eval "! kill -0 $usage_pid 2>/dev/null" || fail "/? did not end"
rc=0
wait "$usage_pid" || rc=$?
assert_eq "$rc" 0 "exit code of /?"

# ---- A second start brings the first window forward ----
start_nimbrel
drv click FrmMain Image2
poll_eq 10 1 drv iconic FrmMain || fail "the window did not minimise"
rc=0
run_nimbrel || rc=$?
assert_eq "$rc" 0 "exit code of the second start"
poll_eq 10 0 drv iconic FrmMain || fail "the first window was not restored"
poll_eq 10 1 drv foreground FrmMain || fail "the first window is not in front"
assert_eq "$(drv count FrmMain)" 1 "main windows"
nimbrel_running || fail "the first Nimbrel.exe ended"
assert_eq "$(nimbrel_processes)" 1 "Nimbrel.exe processes"
stop_nimbrel
