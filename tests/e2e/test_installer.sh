#!/usr/bin/env bash
# The installer, built around the exe under test: a silent install into Program Files
# with its shortcut and uninstall entry, the installed program starting, a refusal while
# it runs, the installed program keeping its files in the user's application-data
# folder when it may not write beside its exe (a portable copy still beside it), and
# silent uninstalls that keep the user's data unless told to remove it.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

exe=$WINEPREFIX/drive_c/Nimbrel/Nimbrel.exe
repo=$(cd "$(dirname "$0")/../.." && pwd)
"$repo/tools/make-dist.sh" installer "$exe" "$WINEPREFIX/drive_c/setup.exe" ||
  fail "building the installer"
# A 32-bit program on 64-bit Windows goes to "Program Files (x86)" and sees the 32-bit
# registry view; a 64-bit one to "Program Files" and the 64-bit view.
if [ "$(e2e_pe_arch "$exe")" == i386 ]; then
  instdir='C:\Program Files (x86)\Nimbrel' view=/reg:32
else
  instdir='C:\Program Files\Nimbrel' view=/reg:64
fi
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel'
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
settings='HKCU\Software\NimbrelSoft\Nimbrel'
shortcut='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Nimbrel.lnk'
sendto="$E2E_PROFILE\\AppData\\Roaming\\Microsoft\\Windows\\SendTo\\Shred with Nimbrel.lnk"

# view_query KEY NAME [VIEW]: the value's data in the installer's registry view.
view_query() { reg_query "$1" "$2" "${3:-$view}"; }
view_key_exists() { reg_exe query "$1" "${2:-$view}" >/dev/null; }

install_silently() {
  e2e_wine 'C:\setup.exe' /S || fail "the silent install failed ($?)"
  assert_file_exists "$instdir\\Nimbrel.exe"
}

# The uninstaller runs from a copy of itself and returns at once: wait for its work.
uninstall_silently() {
  e2e_wine "$instdir\\Uninstall.exe" /S "$@" || fail "the silent uninstall failed ($?)"
  poll 60 eval '! view_key_exists "$uninst"' || fail "the uninstall entry is still there"
  poll 20 eval '[ ! -e "$(unix_path "$instdir\\Uninstall.exe")" ]' ||
    fail "Uninstall.exe is still there"
}

plant_start_with_windows() {
  reg_add "HKCU\\$run_key" Nimbrel "\"$instdir\\Nimbrel.exe\""
  reg_exe add "HKLM\\$run_key" /v Nimbrel /d "\"$instdir\\Nimbrel.exe\"" /f /reg:32 >/dev/null
  reg_exe add "HKLM\\$run_key" /v Nimbrel /d "\"$instdir\\Nimbrel.exe\"" /f /reg:64 >/dev/null
  view_query "HKLM\\$run_key" Nimbrel /reg:32 >/dev/null || fail "planting the 32-bit Run value"
  view_query "HKLM\\$run_key" Nimbrel /reg:64 >/dev/null || fail "planting the 64-bit Run value"
}

assert_no_start_with_windows() {
  ! view_query "HKCU\\$run_key" Nimbrel >/dev/null || fail "HKCU Run value Nimbrel is still there"
  ! view_query "HKLM\\$run_key" Nimbrel /reg:32 >/dev/null ||
    fail "HKLM Run value Nimbrel (32-bit view) is still there"
  ! view_query "HKLM\\$run_key" Nimbrel /reg:64 >/dev/null ||
    fail "HKLM Run value Nimbrel (64-bit view) is still there"
}

# ---- Install ----
install_silently
assert_file_exists "$instdir\\Uninstall.exe"
assert_file_exists "$shortcut"
grep -qa 'Nimbrel.exe' "$(unix_path "$shortcut")" ||
  fail "the shortcut does not lead to Nimbrel.exe"
assert_file_exists "$sendto"
cmp -s "$exe" "$(unix_path "$instdir\\Nimbrel.exe")" ||
  fail "the installed exe differs from the build"

assert_eq "$(view_query "$uninst" DisplayName)" Nimbrel "DisplayName"
assert_eq "$(view_query "$uninst" Publisher)" NimbrelSoft "Publisher"
assert_eq "$(view_query "$uninst" DisplayVersion)" 3.0.0 "DisplayVersion"
assert_eq "$(view_query "$uninst" DisplayIcon)" "$instdir\\Nimbrel.exe,0" "DisplayIcon"
assert_eq "$(view_query "$uninst" InstallLocation)" "$instdir" "InstallLocation"
assert_eq "$(view_query "$uninst" UninstallString)" "\"$instdir\\Uninstall.exe\"" "UninstallString"
assert_eq "$(view_query "$uninst" QuietUninstallString)" "\"$instdir\\Uninstall.exe\" /S" \
  "QuietUninstallString"
size=$(view_query "$uninst" EstimatedSize) || fail "no EstimatedSize"
kib=$((size))
((kib >= $(stat -c %s "$exe") / 1024)) || fail "EstimatedSize $kib KiB is less than the exe"

# ---- The installed program runs; the installer will not overwrite it meanwhile ----
(cd "$(unix_path "$instdir")" && exec "$E2E_WINE" Nimbrel.exe) >>"$E2E_DIR/nimbrel.log" 2>&1 &
NIMBREL_PID=$!
drv wait FrmMain 45000 >/dev/null || fail "the installed Nimbrel showed no window"
assert_eq "$(drv text FrmMain Label4)" "Nimbrel v3.0" "title of the installed Nimbrel"
shot installed-nimbrel
rc=0
e2e_wine 'C:\setup.exe' /S || rc=$?
assert_eq "$rc" 2 "exit code of an install while Nimbrel runs"
drv click FrmMain Label10
wait_nimbrel_exit 20
reg_key_exists "$settings" || fail "the installed Nimbrel wrote no settings"

# ---- Installed where it may not write: the files in the user's application data ----
# restart_wineserver [WRAPPER...]: the prefix's wineserver started afresh, through
# WRAPPER when given.
restart_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  "$@" wineserver -p || fail "the wineserver did not start"
  poll 20 e2e_wine cmd /c exit || fail "wine does not run after the wineserver's restart"
}
# The wineserver opens every file for the Wine programs. As root it writes into a folder
# whatever the folder's mode; without the capability to override file permissions it
# honours `chmod a-w`, as Windows honours the rights of Program Files for a standard user.
installed=$(unix_path "$instdir")
printf '[Cookies]\r\nCookie_Keep1=old@kept[1].txt\r\nCounter=1\r\n' >"$installed/Cookies.ini"
chmod a-w "$installed"
if [ "$(id -u)" == 0 ]; then
  restart_wineserver setpriv --bounding-set=-dac_override,-dac_read_search
fi
e2e_wine cmd /c "echo x>\"$instdir\\probe.txt\"" >/dev/null 2>&1 || true
[ ! -e "$installed/probe.txt" ] || fail "the program folder is still writable for Wine"
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
mine="$(reg_query "$shell_folders" AppData)\\Nimbrel" || fail "no AppData shell folder"
cookies=$(reg_query "$shell_folders" Cookies) || fail "no Cookies shell folder"
plant_file "$cookies\\ann@new[1].txt" "a cookie"
choose chkWindowsClipboard

start_installed() {
  (cd "$installed" && exec "$E2E_WINE" Nimbrel.exe) >>"$E2E_DIR/nimbrel.log" 2>&1 &
  NIMBREL_PID=$!
  drv wait FrmMain 45000 >/dev/null || fail "the installed Nimbrel showed no window"
}
# open_cookie_keep_list EXPECTED: the keep list shows the entries EXPECTED (sorted).
open_cookie_keep_list() {
  drv click FrmMain Label7
  drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
  drv click FrmEraseingSettings CmdKeepListOfCookies
  drv wait FrmKeepList 20000 >/dev/null || fail "the cookie keep list did not open"
  poll_eq 10 "$1" eval 'drv items FrmKeepList lstKeepList | sort' ||
    fail "the keep list shows [$(drv items FrmKeepList lstKeepList)]"
}
close_settings_and_exit() {
  drv click FrmEraseingSettings Image6
  drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
  drv click FrmMain Label10
  wait_nimbrel_exit 20
}
run_once() {
  drv click FrmMain Label2
  drv wait FrmMessage 30000 >/dev/null || fail "no completion message"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the message did not close"
}
records() { tr -d '\r' <"$(unix_path "$1")" | grep -c '^   Nimbrel v3.0$'; }

# The earlier keep list beside the exe is shown; the first save goes to the application
# data, with the earlier list in it, and leaves the file beside the exe as it was.
start_installed
open_cookie_keep_list 'old@kept[1].txt'
drv click FrmKeepList CmdSelectAll
drv click FrmKeepList Label3
poll_eq 10 2 eval 'drv items FrmKeepList lstKeepList | wc -l' || fail "the cookie was not added"
drv click FrmKeepList cmdOK
drv gone FrmKeepList 10000 || fail "the keep list did not close on OK"
poll 10 test -f "$(unix_path "$mine\\Cookies.ini")" || fail "no Cookies.ini in $mine"
assert_eq "$(tr -d '\r' <"$(unix_path "$mine\\Cookies.ini")")" \
  "$(printf '[Cookies]\nCookie_Keep1=old@kept[1].txt\nCookie_Keep2=ann@new[1].txt\nCounter=2')" \
  "Cookies.ini in the application data"
assert_eq "$(tr -d '\r' <"$installed/Cookies.ini")" \
  "$(printf '[Cookies]\nCookie_Keep1=old@kept[1].txt\nCounter=1')" "Cookies.ini beside the exe"
close_settings_and_exit

# Started again, it shows the saved list; a run's record goes to the application data.
start_installed
open_cookie_keep_list "$(printf 'ann@new[1].txt\nold@kept[1].txt')"
drv click FrmKeepList Command6
drv gone FrmKeepList 10000 || fail "the keep list did not close on Cancel"
drv click FrmEraseingSettings Image6
drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
run_once
assert_eq "$(records "$mine\\Log.txt")" 1 "records in the application data's Log.txt"
drv click FrmMain Label10
wait_nimbrel_exit 20
assert_file_gone "$instdir\\Log.txt"
assert_file_gone "$instdir\\Nimbrel write test.tmp"

# A portable copy, in a folder it may write to, keeps its log beside the exe.
start_nimbrel
run_once
assert_eq "$(records 'C:\Nimbrel\Log.txt')" 1 "records in the portable copy's Log.txt"
assert_eq "$(records "$mine\\Log.txt")" 1 "records in the application data after the portable run"
assert_file_gone 'C:\Nimbrel\Nimbrel write test.tmp'
drv click FrmMain Label10
wait_nimbrel_exit 20

chmod u+w "$installed"
rm "$installed/Cookies.ini"
restart_wineserver

# ---- Uninstall, keeping the user's data ----
printf 'the user log\r\n' >"$(unix_path "$instdir")/Log.txt"
printf '[Cookies]\r\n' >"$(unix_path "$instdir")/Cookies.ini"
printf 'example.com\r\n' >"$(unix_path "$instdir")/Backup.dat"
printf 'mine' >"$(unix_path "$instdir")/notes.txt"
plant_start_with_windows
uninstall_silently
assert_file_gone "$instdir\\Nimbrel.exe"
assert_file_gone "$shortcut"
assert_file_gone "$sendto"
assert_no_start_with_windows
assert_eq "$(cat "$(unix_path "$instdir\\Log.txt")")" $'the user log\r' "the kept Log.txt"
assert_file_exists "$instdir\\Cookies.ini"
assert_file_exists "$instdir\\Backup.dat"
assert_eq "$(cat "$(unix_path "$instdir\\notes.txt")")" mine \
  "a file the installer did not put there"
reg_key_exists "$settings" || fail "the settings went without being asked"
assert_file_exists "$mine\\Cookies.ini"
assert_file_exists "$mine\\Log.txt"

# ---- Install again over the kept data, uninstall removing it ----
rm "$(unix_path "$instdir\\notes.txt")"
install_silently
assert_eq "$(cat "$(unix_path "$instdir\\Log.txt")")" $'the user log\r' \
  "Log.txt after installing again"
plant_start_with_windows
uninstall_silently /REMOVEDATA
assert_file_gone "$instdir"
assert_file_gone "$shortcut"
assert_no_start_with_windows
! reg_key_exists "$settings" || fail "the settings are still there after /REMOVEDATA"
assert_file_gone "$mine"
! reg_key_exists 'HKCU\Software\NimbrelSoft' || fail "the empty NimbrelSoft key is still there"
