#!/usr/bin/env bash
# Links planted where Nimbrel writes its own files or finds a browser's profile lead to
# a user's documents and to system folders: the writability probe's name and Log.txt
# beside the exe are links to documents, and Firefox's profiles.ini names C:\windows
# and a profile reached through a folder link. /erase of Firefox's rows erases its own
# profile's session and changes no document, nothing in those folders, and no link.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
roaming=$(reg_query "$SHELL_FOLDERS" AppData) || fail "no AppData shell folder"
ff=${roaming%\\}\\Mozilla\\Firefox
docs=$(unix_path "$E2E_PROFILE\\Documents")
nimbrel=$WINEPREFIX/drive_c/Nimbrel
c=$WINEPREFIX/drive_c
mkdir -p "$docs" "$c/real/prof"
head -c 100000 /dev/urandom >"$docs/thesis.doc"
printf 'the user own log\r\n' >"$docs/Log.txt"
ln -s "$docs/thesis.doc" "$nimbrel/Nimbrel write test.tmp"
ln -s "$docs/Log.txt" "$nimbrel/Log.txt"
ln -s "$c/real" "$c/lnk"
for p in "$c/windows" "$c/real/prof"; do
  for f in prefs.js sessionstore.jsonlz4 cache2/entries/e startupCache/s.bin thumbnails/t.png; do
    mkdir -p "$(dirname "$p/$f")"
    printf 'kept' >"$p/$f"
  done
done
plant_file "$ff\\profiles.ini" "$(printf '[Profile0]\r\nIsRelative=0\r\nPath=C:\\windows\r\n[Profile1]\r\nIsRelative=0\r\nPath=C:\\lnk\\prof\r\n')"
state() {
  (cd "$docs" && md5sum thesis.doc Log.txt)
  (cd "$c" && find windows/prefs.js windows/sessionstore.jsonlz4 windows/cache2 windows/startupCache \
    windows/thumbnails real -type f -print0 | sort -z | xargs -0 md5sum)
  readlink "$nimbrel/Nimbrel write test.tmp" "$nimbrel/Log.txt" "$c/lnk"
}
before=$(state)
# A profile of Firefox's own beside them, whose session the run does erase.
plant_file "$ff\\Profiles\\own.default\\prefs.js" ""
plant_file "$ff\\Profiles\\own.default\\sessionstore.jsonlz4" "a session"

choose
reg_add "$OPTIONS" chkFirefoxSessions 1
reg_add "$OPTIONS" chkFirefoxCache 1
rc=0
(cd "$nimbrel" && exec "$E2E_WINE" Nimbrel.exe /erase) >>"$E2E_DIR/nimbrel.log" 2>&1 || rc=$?
[ "$rc" == 0 ] || [ "$rc" == 5 ] || fail "/erase exited $rc"
assert_file_gone "$ff\\Profiles\\own.default\\sessionstore.jsonlz4"
assert_eq "$(state)" "$before" "documents, system folder, linked profile and links after /erase"
