#!/usr/bin/env bash
# The kinds of trace of today's Windows, ticked through the real dialog. Under Wine's
# default (Windows 10): the jump lists (the pinned Quick Access list kept byte for byte),
# Explorer's lists, program usage, a thumbnail cache held open, error reports, the folder
# views (asked first) and the DNS cache. Then Windows XP's places under winxp.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

EX='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
LOCAL_SHELL='HKCU\Software\Classes\Local Settings\Software\Microsoft\Windows\Shell'
NO_ROAM='HKCU\Software\Microsoft\Windows\ShellNoRoam'
COUNT7="$EX\\UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count"
COUNTXP="$EX\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count"
SESSION='HKLM\System\CurrentControlSet\Control\Session Manager'
JUMPLISTS=$(cd "$(dirname "$0")/../data/jumplists" && pwd)
log=$WINEPREFIX/drive_c/Nimbrel/Log.txt

recent=$(reg_query "$EX\\Shell Folders" Recent) || fail "no Recent shell folder"
local_app=$(reg_query "$EX\\Shell Folders" "Local AppData") || fail "no Local AppData folder"
common=$(reg_query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
  "Common AppData") || fail "no Common AppData folder"
auto="$recent\\AutomaticDestinations"
pinned="$auto\\f01b4d95cf55d32a.automaticDestinations-ms"
unpinned="$auto\\5f7b5f1e01b83767.automaticDestinations-ms"
never="$auto\\9b9cdc69c1c24e2b.automaticDestinations-ms"
custom="$recent\\CustomDestinations\\5d696d521de238c3.customDestinations-ms"
explorer_cache="$local_app\\Microsoft\\Windows\\Explorer"

gone() { ! reg_query "$1" "$2" >/dev/null || fail "not erased: $1 $2"; }
kept() { reg_query "$1" "$2" >/dev/null || fail "erased: $1 $2"; }
plant_jump_lists() {
  plant_file "$pinned" && cp "$JUMPLISTS/quick-access-18-pinned.automaticDestinations-ms" \
    "$(unix_path "$pinned")"
  plant_file "$unpinned" && cp "$JUMPLISTS/10-recent-none-pinned.automaticDestinations-ms" \
    "$(unix_path "$unpinned")"
  plant_file "$never" && cp "$JUMPLISTS/never-filled.automaticDestinations-ms" \
    "$(unix_path "$never")"
  plant_file "$custom" "tasks"
}

# erase_today: ticks the seven rows in Erasing Settings, saying Yes to the folder
# views' question, and erases them through the window; the progress is in $progress.
erase_today() {
  choose
  start_nimbrel
  open_settings_page Label3 chkWindowsJumpLists
  for k in "${TODAY_KEYS[@]}"; do
    drv click FrmEraseingSettings "$k"
    if [ "$k" == chkWindowsFolderViews ]; then
      drv wait FrmMessage 20000 >/dev/null || fail "no question before ticking the folder views"
      drv click FrmMessage cmdYes
      drv gone FrmMessage 10000 || fail "the question did not close"
    fi
    poll_eq 10 1 reg_query "$OPTIONS" "$k" || fail "$k not ticked"
  done
  drv click FrmEraseingSettings Image6
  drv gone FrmEraseingSettings 10000 || fail "the dialog did not close"
  poll_eq 20 "$(printf '%s\n' "${TODAY[@]}")" eval 'drv items FrmMain lvwToBeErased | cut -f1' ||
    fail "rows: $(drv items FrmMain lvwToBeErased | cut -f1 | tr '\n' '|')"
  erase_in_window 120000
  local row
  for row in "${TODAY[@]}"; do
    grep -qxF "Cleaning $row <OK>" <<<"$progress" || fail "no row line for $row: $progress"
  done
}

# ---- Windows 10.
plant_jump_lists
plant_file "$recent\\report.docx.lnk" "a recent document: not this row's"
reg_add "$EX\\WordWheelQuery" MRUListEx 00000000ffffffff REG_BINARY
reg_add "$EX\\WordWheelQuery" 0 730065006300720065007400000000 REG_BINARY
reg_add "$EX\\TypedPaths" url1 'C:\secret plans'
reg_add "$EX\\ComDlg32\\OpenSavePidlMRU\\docx" 0 14001f50 REG_BINARY
reg_add "$EX\\ComDlg32\\LastVisitedPidlMRU" 0 6e006f00740065007000610064000000 REG_BINARY
reg_add "$EX\\Map Network Drive MRU" a '\\server\share'
reg_add "$COUNT7" 'P:\Cebtenz Svyrf\nccf.rkr' 00 REG_BINARY
reg_add "${COUNT7%\\Count}" Version 5 REG_DWORD
reg_add "$LOCAL_SHELL\\MuiCache" 'C:\apps\app.exe.FriendlyAppName' 'App'
reg_add "$LOCAL_SHELL\\MuiCache" LangID 0904 REG_BINARY
reg_add "$LOCAL_SHELL\\BagMRU" NodeSlots 02 REG_BINARY
reg_add "$LOCAL_SHELL\\Bags\\1\\Shell" Mode 4 REG_DWORD
reg_add "$EX" ShellState kept
reg_add "$EX\\Advanced" Hidden 1 REG_DWORD
plant_file "$explorer_cache\\thumbcache_96.db" "thumbnails"
plant_file "$explorer_cache\\thumbcache_256.db" "thumbnails Explorer holds"
plant_file "$explorer_cache\\iconcache_16.db" "icons: kept"
plant_file "$local_app\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_app\\Report.wer" "report"
plant_file "$local_app\\CrashDumps\\app.exe.1234.dmp" "dump"
plant_file "$local_app\\CrashDumps\\notes.txt" "kept"
drv hold "$explorer_cache\\thumbcache_256.db" 120000 >"$E2E_DIR/hold.out" &
hold_pid=$!
poll 20 grep -q held "$E2E_DIR/hold.out" || fail "the thumbnail cache is not held"
erase_today
kill "$hold_pid" 2>/dev/null || true
wait "$hold_pid" 2>/dev/null || true

cmp "$(unix_path "$pinned")" "$JUMPLISTS/quick-access-18-pinned.automaticDestinations-ms" ||
  fail "the pinned jump list changed"
grep -qxF "  kept (pinned items): $pinned" <<<"$progress" || fail "no kept line: $progress"
for f in "$unpinned" "$never" "$custom" "$explorer_cache\\thumbcache_96.db" \
  "$local_app\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_app" \
  "$local_app\\CrashDumps\\app.exe.1234.dmp"; do
  assert_file_gone "$f"
done
for f in "$recent\\report.docx.lnk" "$explorer_cache\\iconcache_16.db" \
  "$explorer_cache\\thumbcache_256.db" "$local_app\\CrashDumps\\notes.txt"; do
  assert_file_exists "$f"
done
grep -qixF "  left (in use): $explorer_cache\\thumbcache_256.db" <<<"$progress" ||
  fail "no line for the held thumbnail cache: $progress"
reg_exe query "$SESSION" /v PendingFileRenameOperations | grep -qiF 'thumbcache_256.db' ||
  fail "the held thumbnail cache is not to go at the next start"
gone "$EX\\WordWheelQuery" MRUListEx
gone "$EX\\WordWheelQuery" 0
gone "$EX\\TypedPaths" url1
gone "$EX\\ComDlg32\\OpenSavePidlMRU\\docx" 0
gone "$EX\\ComDlg32\\LastVisitedPidlMRU" 0
gone "$EX\\Map Network Drive MRU" a
gone "$COUNT7" 'P:\Cebtenz Svyrf\nccf.rkr'
gone "$LOCAL_SHELL\\MuiCache" 'C:\apps\app.exe.FriendlyAppName'
kept "${COUNT7%\\Count}" Version
kept "$LOCAL_SHELL\\MuiCache" LangID
kept "$EX" ShellState
kept "$EX\\Advanced" Hidden
reg_key_exists "$COUNT7" || fail "the Count key went"
reg_key_exists "$EX\\TypedPaths" || fail "the TypedPaths key went"
! reg_key_exists "$LOCAL_SHELL\\Bags" || fail "the folder views stayed"
! reg_key_exists "$LOCAL_SHELL\\BagMRU" || fail "the folder views' list stayed"
grep -qxF "  0" <<<"$progress" || fail "the search box's entry is not listed: $progress"
grep -qxF '  C:\Program Files\apps.exe' <<<"$progress" || fail "no counted program: $progress"
grep -qxF "  the DNS resolver cache" <<<"$progress" || fail "no DNS line: $progress"
tr -d '\r' <"$log" | grep -qxF "  kept (pinned items): $pinned" || fail "Log.txt lacks the kept line"

# ---- Windows XP: its own lists and folder views; no jump list is touched.
reg_add 'HKCU\Software\Wine\AppDefaults\Nimbrel.exe' Version winxp
plant_jump_lists
reg_add "$EX\\ComDlg32\\OpenSaveMRU\\txt" a 'C:\notes.txt'
reg_add "$EX\\ComDlg32\\OpenSaveMRU\\txt" MRUList a
reg_add "$EX\\ComDlg32\\LastVisitedMRU" a 'notepad.exe'
reg_add "$COUNTXP" 'HRZR_EHACNGU:P:\jvaqbjf\abgrcnq.rkr' 00 REG_BINARY
reg_add "$NO_ROAM\\MUICache" 'C:\x.exe' X
reg_add "$NO_ROAM\\MUICache" LangID 0904 REG_BINARY
reg_add "$NO_ROAM\\Bags\\1\\Shell" Mode 4 REG_DWORD
reg_add "$EX\\WordWheelQuery" 0 7300 REG_BINARY
plant_file "$common\\Microsoft\\Dr Watson\\user.dmp" "dump"
plant_file "$common\\Microsoft\\Dr Watson\\drwtsn32.log" "log"
erase_today
gone "$EX\\ComDlg32\\OpenSaveMRU\\txt" a
gone "$EX\\ComDlg32\\OpenSaveMRU\\txt" MRUList
gone "$EX\\ComDlg32\\LastVisitedMRU" a
gone "$COUNTXP" 'HRZR_EHACNGU:P:\jvaqbjf\abgrcnq.rkr'
gone "$NO_ROAM\\MUICache" 'C:\x.exe'
kept "$NO_ROAM\\MUICache" LangID
kept "$EX\\WordWheelQuery" 0
! reg_key_exists "$NO_ROAM\\Bags" || fail "the XP folder views stayed"
assert_file_gone "$common\\Microsoft\\Dr Watson\\user.dmp"
assert_file_gone "$common\\Microsoft\\Dr Watson\\drwtsn32.log"
for f in "$pinned" "$unpinned" "$never" "$custom"; do assert_file_exists "$f"; done
! grep -qF "AutomaticDestinations" <<<"$progress" || fail "a jump list was touched on XP: $progress"
