#!/usr/bin/env bash
# The Win32 platform classes against Wine itself (platform_selfcheck.exe): files,
# links planted from the Linux side, the registry, the system, the shell and the
# recycle bin. The program prints each failure and ends with "N passed, N failed".
. "$(dirname "$0")/lib.sh"

c=$WINEPREFIX/drive_c
# The recycle bin inside drive C, so that the program can see it emptied.
export XDG_DATA_HOME=$c/xdg
mkdir -p "$c/selfcheck/target" "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
ln -s target "$c/selfcheck/link"
echo outside >"$E2E_DIR/outside.txt"
ln -s "$E2E_DIR/outside.txt" "$c/selfcheck/filelink"
echo junk >"$XDG_DATA_HOME/Trash/files/junk.txt"
printf '[Trash Info]\nPath=/tmp/junk.txt\nDeletionDate=2026-01-01T00:00:00\n' \
  >"$XDG_DATA_HOME/Trash/info/junk.txt.trashinfo"
# The server started with the old data folder; this one must see the new.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wineserver -p

out=$E2E_DIR/selfcheck.txt
(cd "$c/Nimbrel" && exec "$E2E_WINE" platform_selfcheck.exe --link 'C:\selfcheck\link' \
  --file-link 'C:\selfcheck\filelink' --trash 'C:\xdg\Trash\files\junk.txt') >"$out" 2>&1 ||
  { cat "$out"; fail "platform self-check failed"; }
tr -d '\r' <"$out" | grep -q ', 0 failed$' || { cat "$out"; fail "no summary line"; }
assert_eq "$(cat "$E2E_DIR/outside.txt")" "outside" "the file link's target"
tail -n 1 "$out"
