#!/usr/bin/env bash
# Faults survived through the real window. Wine and the program run without the root
# privilege of overriding file permissions, as a user's programs do, so permissions
# bite: a file held open by another program without sharing, a read-only file, a
# folder the user may not list, a full disk under secure erasing, Log.txt read-only or
# a folder of that name, the program's folder read-only, and a registry key the user
# may not change. In each run the program goes on with the next item, ends with its
# message and loses nothing else; a file it could not erase is left whole.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"
. "$(dirname "$0")/adversarial.sh"

# The small disk of the full-disk case, drive F: (as a disk of its own shows; a folder
# mounted inside drive C shows as a link, below which nothing is erased).
full=$WINEPREFIX/fulldisk
faults_finish() {
  local rc=$?
  set +e
  mountpoint -q "$full" && umount -l "$full"
  chmod -R u+rwX "$c" 2>/dev/null
  (exit "$rc")
  e2e_finish
}
trap faults_finish EXIT

# As root, every Wine process of this test, the server included, runs without the two
# capabilities that let root read, write and list whatever the permissions say.
root=
if [ "$(id -u)" == 0 ]; then
  root=1
  bin=$E2E_DIR/bin
  mkdir -p "$bin"
  for tool in "$E2E_WINE" wineserver; do
    real=$(command -v "$tool")
    printf '#!/bin/sh\nexec capsh --drop=cap_dac_override,cap_dac_read_search -- -c %s %s "$@"\n' \
      "'exec $real \"\$@\"'" "${tool##*/}" >"$bin/${tool##*/}"
    chmod +x "$bin/${tool##*/}"
  done
  export PATH=$bin:$PATH E2E_WINE=$bin/${E2E_WINE##*/}
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  poll 20 e2e_wine cmd /c exit || fail "wineserver did not start again"
fi

temp_win='C:\faults\temp'
temp=$c/faults/temp
reg_add 'HKCU\Environment' TEMP "$temp_win"
OPTIONS_KEY='HKCU\Software\NimbrelSoft\Nimbrel\Options'

# erase_run NAME [ROWS...]: one run with the chosen rows; leaves PROGRESS.
erase_run() {
  local name=$1
  shift
  choose "$@"
  erase_once "$name"
}

# ---- Files in the temp folder that cannot be erased, and a folder that cannot be
# listed; the values of Winzip's key "directories" may not be changed; Wordpad after it.
mkdir -p "$temp/sub" "$temp/closed" "$c/faults/keep"
printf 'held without sharing' >"$temp/held.txt"
printf 'read-only' >"$temp/ro.txt"
chmod a-w "$temp/ro.txt"
printf 'in a folder nobody may list' >"$temp/closed/inside.txt"
chmod 000 "$temp/closed"
for f in a.txt sub/b.txt; do fill "$temp/$f" 3000; done
printf 'beside the temp folder' >"$c/faults/keep/kept.txt"

ZIP='HKEY_CURRENT_USER\Software\Nico Mak Computing\Winzip'
PAD='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Wordpad'
reg_add "$ZIP\\filemenu" 0 trace
reg_add "$ZIP\\directories" DefDir trace
reg_add "$ZIP\\directories" ExtractTo trace
reg_add "$PAD\\Recent File List" File1 trace
drv lockkey 'Software\Nico Mak Computing\Winzip\directories'

# Held for the rest of the test; the test's end stops the holder with the wineserver.
drv hold "$temp_win\\held.txt" 600000 >"$E2E_DIR/hold.out" &
poll 20 grep -q held "$E2E_DIR/hold.out" || fail "the file is not held"
before=$(manifest faults/temp)
choose chkWindowsTemp
reg_add "$OPTIONS_KEY" "Winzip" True
reg_add "$OPTIONS_KEY" "Wordpad" True
erase_once "locked, read-only and unlistable items"
same_outside "locked, read-only and unlistable items" faults/temp "$before"
assert_eq "$(cat "$temp/held.txt")" "held without sharing" "the held file"
assert_eq "$(cat "$temp/ro.txt")" "read-only" "the read-only file"
chmod 700 "$temp/closed"
assert_eq "$(cat "$temp/closed/inside.txt")" "in a folder nobody may list" "the unlistable folder's file"
for f in a.txt sub/b.txt; do [ ! -e "$temp/$f" ] || fail "not erased after the faults: $f"; done
reg_key_exists "$ZIP\\filemenu" && fail "Winzip's key before the locked one was not erased"
for v in DefDir ExtractTo; do
  assert_eq "$(reg_query "$ZIP\\directories" $v)" trace "the locked value $v"
done
reg_key_exists "$PAD\\Recent File List" && fail "Wordpad, after the locked key, was not erased"
grep -qF "Cleaning Wordpad <OK>" <<<"$PROGRESS" || fail "no row line for Wordpad"
# Each item left has a line saying why.
for left in "left (in use): $temp_win\\held.txt" "left (access denied): $temp_win\\ro.txt" \
  "left (access denied): $temp_win\\closed" \
  "left (access denied): HKEY_CURRENT_USER\\Software\\Nico Mak Computing\\Winzip\\directories"; do
  grep -qiF "  $left" <<<"$PROGRESS" || fail "no line [$left]: [$PROGRESS]"
done
e2e_log "ok: locked, read-only and unlistable items left whole; the run went on"

# ---- A full disk: secure erasing lengthens each file's last block, for which there is
# no room. Every byte of each file is still overwritten before it goes. (A small disk
# is mounted for it, which takes root.)
full_disk_case() {
  mkdir -p "$full"
  # Filling anything but the small disk would fill the machine's.
  mount -t tmpfs -o size=1m tmpfs "$full" && mountpoint -q "$full" || fail "no small disk mounted"
  ln -sfn "$full" "$WINEPREFIX/dosdevices/f:"
  mkdir -p "$full/temp"
  fill "$full/temp/one.bin" $((4096 * 40 - 100))
  fill "$full/temp/two.bin" $((4096 * 60 - 100))
  dd if=/dev/zero of="$full/filler.bin" bs=4k 2>/dev/null || true
  [ "$(df --output=avail -B1 "$full" | tail -n 1 | tr -d ' ')" == 0 ] || fail "the disk is not full"
  exec 7<"$full/temp/one.bin" 8<"$full/temp/two.bin"
  reg_add 'HKCU\Environment' TEMP 'F:\temp'
  reg_add "$OPTIONS_KEY" chkenablesecureerasing 1
  reg_add "$OPTIONS_KEY" cmboverwriteTracksFiles 2
  LAST_MANIFEST=
  before=$(manifest '')
  erase_run "full disk" chkWindowsTemp
  # Nothing on drive C changes.
  same_outside "full disk" '' "$before"
  for f in one two; do [ ! -e "$full/temp/$f.bin" ] || fail "full disk: $f.bin not erased"; done
  for fd_size in 7:$((4096 * 40 - 100)) 8:$((4096 * 60 - 100)); do
    fd=${fd_size%:*} size=${fd_size#*:}
    [ "$(stat -L -c %s "/proc/self/fd/$fd")" -ge "$size" ] || fail "full disk: a file shrank"
    # The file's own bytes end as the last pattern, spaces; the tail it grew into may differ.
    [ "$(head -c "$size" <&"$fd" | od -An -tx1 -v | tr -s ' \n' '\n\n' | sort -u |
      grep -v '^$')" == 20 ] || fail "full disk: a file's bytes were not all overwritten"
  done
  exec 7<&- 8<&-
  reg_add "$OPTIONS_KEY" chkenablesecureerasing 0
  reg_add 'HKCU\Environment' TEMP "$temp_win"
  e2e_log "ok: a full disk"
}
if [ -n "$root" ]; then full_disk_case; else e2e_log "SKIP: a full disk (needs root to mount one)"; fi

# ---- The log cannot be written: Log.txt read-only, then a folder of that name, then
# the program's folder read-only (the log then goes to the user's application data).
# The run ends with its message all the same.
log=$c/Nimbrel/Log.txt
fill "$temp/c.txt" 100
printf 'old log\r\n' >"$log"
chmod a-w "$log"
erase_run "Log.txt read-only" chkWindowsTemp
assert_eq "$(cat "$log")" $'old log\r' "the read-only Log.txt"
[ ! -e "$temp/c.txt" ] || fail "Log.txt read-only: the temp file was not erased"
chmod u+w "$log"
rm -f "$log"
mkdir "$log"
fill "$log/inside.txt" 10
fill "$temp/d.txt" 100
erase_run "Log.txt a folder" chkWindowsTemp
[ -d "$log" ] && [ -f "$log/inside.txt" ] || fail "the folder named Log.txt changed"
[ ! -e "$temp/d.txt" ] || fail "Log.txt a folder: the temp file was not erased"
rm -rf "$log"
fill "$temp/e.txt" 100
chmod a-w "$c/Nimbrel"
erase_run "program folder read-only" chkWindowsTemp
chmod u+w "$c/Nimbrel"
[ ! -e "$log" ] || fail "a log was written into the read-only program folder"
[ ! -e "$temp/e.txt" ] || fail "program folder read-only: the temp file was not erased"
appdata=$(reg_query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  AppData) || fail "no AppData shell folder"
grep -q '^Cleaning Windows Temp Files <OK>'$'\r''$' "$(unix_path "$appdata\\Nimbrel\\Log.txt")" ||
  fail "program folder read-only: no record in the application data's Log.txt"
e2e_log "ok: the log could not be written"
