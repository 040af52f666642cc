#!/usr/bin/env bash
# "Windows Temp Files" through the real window: a planted temp tree is overwritten and
# deleted, with what must stay (read-only, index.dat, SKINS, a link's target) left alone;
# then a tree erased with secure erasing on, read through files held open from outside.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

choose chkWindowsTemp
user=$(basename "$(dirname "$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp | grep -v /Public/ | head -n1)")")
temp_win="C:\\users\\$user\\Temp"
temp=$(unix_path "$temp_win")
[ -d "$temp" ] || fail "no temp folder at $temp_win"
rm -rf "${temp:?}"/* "${temp:?}"/.[!.]* 2>/dev/null

head -c 100 /dev/urandom >"$temp/a.txt"
mkdir -p "$temp/sub/deep" "$temp/Skins" "$E2E_DIR/outside"
head -c 200 /dev/urandom >"$temp/sub/b.txt"
head -c 300 /dev/urandom >"$temp/sub/deep/c.log"
head -c 50 /dev/urandom >"$temp/h.txt"
setfattr -n user.DOSATTRIB -v '"0x2"' "$temp/h.txt"  # Wine's hidden attribute, as text
printf 'read-only' >"$temp/ro.txt"
chmod a-w "$temp/ro.txt"
printf 'locked index' >"$temp/sub/index.dat"
printf 'skin' >"$temp/Skins/look.txt"
printf 'outside the tree' >"$E2E_DIR/outside/victim.txt"
ln -s "$E2E_DIR/outside" "$temp/link"
head -c 1000 /dev/urandom >"$temp/held.txt"
exec 7<"$temp/held.txt"  # held open from the Linux side through the run

start_nimbrel
assert_eq "$(drv items FrmMain lvwToBeErased | cut -f1)" "Windows Temp Files" "rows"
drv click FrmMain Label2
drv wait FrmMessage 60000 >/dev/null || fail "no completion message"
progress=$(drv items FrmMain LstShowingTracksErasedProgress)
files=$(drv text FrmMain lblFilesDelete)
size=$(drv text FrmMain lblSize)
shot temp-erased
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"

for f in a.txt h.txt held.txt sub/b.txt sub/deep/c.log; do
  [ ! -e "$temp/$f" ] || fail "not erased: $f"
done
assert_eq "$(cat "$temp/ro.txt")" "read-only" "the read-only file"
assert_eq "$(cat "$temp/sub/index.dat")" "locked index" "index.dat"
assert_eq "$(cat "$temp/Skins/look.txt")" "skin" "the file under SKINS"
assert_eq "$(cat "$E2E_DIR/outside/victim.txt")" "outside the tree" "the link's target"
[ -d "$temp/sub/deep" ] || fail "folders must stay"
# The deleted file's data, read through the handle held open, was overwritten.
assert_eq "$(od -An -tx1 -v <&7 | tr -s ' \n' '\n\n' | sort -u | grep -v '^$')" 20 \
  "bytes of the held file after the run"
assert_eq "$(stat -L -c %s /proc/self/fd/7)" 2048 "size of the held file after the run"
exec 7<&-

for f in a.txt h.txt held.txt 'sub\b.txt' 'sub\deep\c.log' 'sub\index.dat' 'Skins\look.txt'; do
  grep -qiF "  ${temp_win%\\}\\$f" <<<"$progress" || fail "no progress line for $f"
done
grep -qiF 'victim.txt' <<<"$progress" && fail "the walk went through the link"
# Five files erased, each counted once; the read-only one stays and counts nothing.
assert_eq "$files" 5 "lblFilesDelete"
assert_eq "$size" $((100 + 200 + 300 + 50 + 1000)) "lblSize"
stop_nimbrel

# Again with secure erasing and 2 extra passes: many small files in flight on the
# closing workers, and one over a mebibyte written by the run itself. Every file is
# gone, and a reader holding one open sees the last pass's bytes: each pass writes
# one block past the end, so 1000 bytes end as 6144 spaces.
rm -rf "${temp:?}"/* 2>/dev/null
reg_add "$OPTIONS" chkenablesecureerasing 1
reg_add "$OPTIONS" cmboverwriteTracksFiles 2
for d in 1 2 3; do
  mkdir -p "$temp/s$d"
  for f in $(seq 10); do head -c $((f * 700)) /dev/urandom >"$temp/s$d/f$f.tmp"; done
done
head -c 1000 /dev/urandom >"$temp/held.txt"
head -c $((1536 * 1024)) /dev/urandom >"$temp/big.bin"
exec 7<"$temp/held.txt" 8<"$temp/big.bin"

start_nimbrel
drv click FrmMain Label2
drv wait FrmMessage 60000 >/dev/null || fail "no completion message (secure erasing)"
files=$(drv text FrmMain lblFilesDelete)
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"
left=$(find "$temp" -type f)
[ -z "$left" ] || fail "not erased with secure erasing: $left"
assert_eq "$files" 32 "lblFilesDelete with secure erasing"
assert_eq "$(stat -L -c %s /proc/self/fd/7)" 6144 "size of the held file after three passes"
assert_eq "$(tr -d ' ' <&7 | wc -c)" 0 "bytes other than spaces in the held file"
assert_eq "$(stat -L -c %s /proc/self/fd/8)" $(((768 + 3) * 2048)) "size of the large file"
assert_eq "$(tr -d ' ' <&8 | wc -c)" 0 "bytes other than spaces in the large file"
exec 7<&- 8<&-
stop_nimbrel
