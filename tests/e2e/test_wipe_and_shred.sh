#!/usr/bin/env bash
# The free-space wipe and the shredder on a real NTFS volume: an image formatted with
# mkntfs, mounted with ntfs-3g and given to Wine as drive D:. A big deleted file and
# small ones (kept inside the file table) leave their markers in the raw image; after
# /wipefree neither is anywhere in it, the live files are as they were, the free space is
# as before and no folder of the wipe is left. A wipe ended half-way leaves only its
# folder, which the next start removes. /shred leaves no marker of the file it shredded;
# the Windows folder, a drive root and the profile are refused, and nothing changes.
. "$(dirname "$0")/lib.sh"

img=$E2E_DIR/ntfs.img
mnt=$E2E_DIR/ntfs
folder="$mnt/Nimbrel Free Space Wipe"
log=$WINEPREFIX/drive_c/Nimbrel/Log.txt

# No FUSE, no NTFS: the test cannot show anything, and says so by failing.
for tool in mkntfs ntfs-3g; do
  command -v "$tool" >/dev/null || fail "$tool is missing (tools/install-deps.sh installs ntfs-3g)"
done
[ -c /dev/fuse ] || fail "no /dev/fuse: the NTFS volume cannot be mounted"

mount_ntfs() {
  ntfs-3g "$img" "$mnt" || fail "ntfs-3g could not mount the image"
  poll 10 mountpoint -q "$mnt" || fail "the NTFS volume is not mounted"
}
# Unmounting writes everything ntfs-3g holds to the image; Wine must let go of the
# volume first, so its server is stopped (and started again by the next command).
unmount_ntfs() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  poll 30 umount "$mnt" || fail "the NTFS volume could not be unmounted"
}
in_image() { grep -qaF "$1" "$img"; }
# repeat TEXT BYTES: TEXT line after line, BYTES in all (yes ends by a broken pipe).
repeat() { { yes "$1" || true; } | head -c "$2"; }
free_bytes() { stat -f -c '%a*%S' "$mnt" | bc; }
live_hashes() { (cd "$mnt" && md5sum Work/live-big.bin Work/live-small.txt); }
# Runs Nimbrel.exe with ARGS to its end; returns its exit code.
run_nimbrel() {
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe "$@") >>"$E2E_DIR/nimbrel.log" 2>&1
}
# Starts Nimbrel.exe with ARGS in the background; its exit code lands in $E2E_DIR/rc.
start_command() {
  rm -f "$E2E_DIR/rc"
  (
    rc=0
    cd "$WINEPREFIX/drive_c/Nimbrel" && "$E2E_WINE" Nimbrel.exe "$@" >>"$E2E_DIR/nimbrel.log" 2>&1 || rc=$?
    echo "$rc" >"$E2E_DIR/rc"
  ) &
}
command_rc() {
  poll 60 test -s "$E2E_DIR/rc" || fail "Nimbrel.exe $* did not end"
  cat "$E2E_DIR/rc"
}

truncate -s 96M "$img"
mkntfs -F -Q -q -L WIPE "$img" >/dev/null 2>&1 || fail "mkntfs failed"
mkdir -p "$mnt"
mount_ntfs
# The test's end unmounts the volume, whatever happened (the wineserver is gone by then).
wipe_finish() {
  local rc=$?
  set +eE
  trap - ERR
  wineserver -k 2>/dev/null
  umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null
  e2e_status "$rc"
  e2e_finish
}
e2e_status() { return "$1"; }
trap wipe_finish EXIT
ln -sfn "$mnt" "$WINEPREFIX/dosdevices/d:"

big=BIGMARKER-$RANDOM$RANDOM
small=SMALLMARKER-$RANDOM$RANDOM
mkdir -p "$mnt/Work"
repeat "$big" 3000000 >"$mnt/Work/old-big.txt"
# Many small ones: the wipe's own first files take the records of a few.
for i in $(seq 1 60); do printf '%s' "$small" >"$mnt/Work/old-small-$i.txt"; done
head -c 5000000 /dev/urandom >"$mnt/Work/live-big.bin"
printf 'a small file that stays' >"$mnt/Work/live-small.txt"
unmount_ntfs
in_image "$big" && in_image "$small" || fail "the markers are not in the image"
mount_ntfs
rm "$mnt/Work/old-big.txt" "$mnt"/Work/old-small-*.txt
unmount_ntfs
in_image "$big" || fail "the deleted big file's marker is not in the image"
in_image "$small" || fail "the deleted small file's marker is not in the image"
mount_ntfs

# ---- /wipefree D: ----
hashes=$(live_hashes)
free=$(free_bytes)
rc=0
run_nimbrel /wipefree D: || rc=$?
assert_eq "$rc" 0 "exit code of /wipefree D:"
grep -qF 'free space wiped: D:\' "$log" || fail "Log.txt does not tell the wipe: $(cat "$log")"
[ ! -e "$folder" ] || fail "the wipe's folder is left: $(ls -R "$folder" | head)"
assert_eq "$(ls -A "$mnt" | grep -v '^\$' | tr '\n' ' ')" "Work " "what the volume's root holds after the wipe"
assert_eq "$(live_hashes)" "$hashes" "the live files after the wipe"
assert_eq "$(free_bytes)" "$free" "the free space after the wipe"
unmount_ntfs
! in_image "$big" || fail "the deleted big file's marker is still in the image"
! in_image "$small" || fail "the deleted small file's marker (in the file table) is still in the image"
mount_ntfs

# ---- The window's command lists the drives with their free space; Cancel closes it ----
start_nimbrel
drv click FrmMain lblWipeFreeSpace >/dev/null
drv wait FrmWipeFreeSpace 20000 >/dev/null || fail "Wipe Free Space did not open"
drv items FrmWipeFreeSpace lvwDrives | grep -q '^D:' ||
  fail "drive D: is not listed: $(drv items FrmWipeFreeSpace lvwDrives)"
shot wipe-free-space FrmWipeFreeSpace
drv click FrmWipeFreeSpace cmdCancel >/dev/null
drv gone FrmWipeFreeSpace 10000 || fail "Cancel did not close Wipe Free Space"
stop_nimbrel

# ---- A wipe ended half-way leaves only its folder; the next start removes it ----
start_command /wipefree D:
poll 120 eval '[ "$(du -sm "$folder" 2>/dev/null | cut -f1)" -ge 30 ]' ||
  fail "the wipe did not fill 30 MB"
pkill -9 -f 'Nimbrel\.exe /wipefree' || true
command_rc >/dev/null
wineserver -w 2>/dev/null || true
[ -d "$folder" ] || fail "the wipe ended half-way left no folder"
assert_eq "$(ls -A "$mnt" | grep -v '^\$' | tr '\n' ' ')" "Nimbrel Free Space Wipe Work " \
  "what the root holds after a wipe ended half-way"
start_nimbrel
drv wait FrmMessage 20000 >/dev/null || fail "the start did not say it removed the wipe's folder"
drv text FrmMessage lblMesage | grep -qF 'D:\' || fail "the message does not name drive D:"
shot leftover-removed FrmMessage
drv click FrmMessage cmdOK >/dev/null
[ ! -e "$folder" ] || fail "the next start did not remove the wipe's folder"
stop_nimbrel
assert_eq "$(live_hashes)" "$hashes" "the live files after the leftover went"
assert_eq "$(free_bytes)" "$free" "the free space after the leftover went"

# ---- /shred D:\Work\secret.txt ----
secret=SHREDMARKER-$RANDOM$RANDOM
repeat "$secret" 40000 >"$mnt/Work/secret.txt"
start_command /shred 'D:\Work\secret.txt'
drv wait FrmMessage 20000 >/dev/null || fail "/shred asked nothing"
drv text FrmMessage lblMesage | grep -qF '1 file (40,000 bytes)' ||
  fail "the question lacks the count and size: $(drv text FrmMessage lblMesage)"
shot shred-question FrmMessage
drv click FrmMessage cmdYes >/dev/null
assert_eq "$(command_rc /shred)" 0 "exit code of /shred"
[ ! -e "$mnt/Work/secret.txt" ] || fail "the shredded file is still there"
assert_eq "$(live_hashes)" "$hashes" "the live files after the shred"
unmount_ntfs
! in_image "$secret" || fail "the shredded file's marker is still in the image"
mount_ntfs

# ---- /shred of the Windows folder, a drive root and the profile: refused ----
listing() {
  find "$WINEPREFIX/drive_c/windows" "$WINEPREFIX/drive_c/users" "$mnt" \
    -path "*/Temp" -prune -o -printf '%p %s %T@\n' | sort
}
before=$(listing)
for target in 'C:\windows' 'D:\' "$E2E_PROFILE"; do
  start_command /shred "$target"
  drv wait FrmMessage 20000 >/dev/null || fail "/shred $target told nothing"
  text=$(drv text FrmMessage lblMesage)
  grep -qF 'Nothing can be shredded' <<<"$text" && grep -qF 'refused' <<<"$text" ||
    fail "/shred $target is not refused: $text"
  [ "$target" != 'C:\windows' ] || shot shred-refused FrmMessage
  drv click FrmMessage cmdOK >/dev/null
  assert_eq "$(command_rc /shred "$target")" 5 "exit code of /shred $target"
done
assert_eq "$(listing)" "$before" "the files after the refused shreds"
