#!/bin/sh
# Runs platform_selfcheck.exe in a throwaway Wine prefix. From the Linux side it
# plants a folder symlink, a file symlink (to a throwaway file outside the prefix)
# and a file in the recycle bin, then runs the checks under Xvfb.
# Usage: tests/e2e/selfcheck/run.sh path/to/platform_selfcheck.exe
# The last line is "N passed, N failed"; the exit code is the program's.
set -eu
exe=$(readlink -f "$1")
work=$(mktemp -d /tmp/nimbrel-selfcheck.XXXXXX)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
# The recycle bin lives inside drive C so the program can see it emptied.
export XDG_DATA_HOME="$WINEPREFIX/drive_c/xdg"
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
wineserver -w
rm -f "$WINEPREFIX/dosdevices/z:"

c="$WINEPREFIX/drive_c"
mkdir -p "$c/selfcheck/target" "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
ln -s target "$c/selfcheck/link"
echo outside >"$work/outside.txt"
ln -s "$work/outside.txt" "$c/selfcheck/filelink"
echo junk >"$XDG_DATA_HOME/Trash/files/junk.txt"
printf '[Trash Info]\nPath=/tmp/junk.txt\nDeletionDate=2026-01-01T00:00:00\n' \
  >"$XDG_DATA_HOME/Trash/info/junk.txt.trashinfo"
cp "$exe" "$c/selfcheck/platform_selfcheck.exe"

cd "$c/selfcheck"
set +e
xvfb-run -a wine 'C:\selfcheck\platform_selfcheck.exe' \
  --link 'C:\selfcheck\link' --file-link 'C:\selfcheck\filelink' \
  --trash 'C:\xdg\Trash\files\junk.txt'
rc=$?
set -e
exit $rc
