#!/usr/bin/env bash
# The erase-settings dialog and the keep lists: the first start writes every category
# key, the to-be-erased list follows the dialog's choices, and the two keep lists are
# written beside the exe. Screenshots of the three pages and of the keep-list dialog.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
TYPED='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'

select_all_current() { drv click FrmKeepList CmdSelectAll; }
rows() { drv items FrmMain lvwToBeErased | cut -f1; }
lines() { printf '%s\n' "$@"; }
without() {
  local drop=$1 x
  shift
  for x in "$@"; do [ "$x" == "$drop" ] || printf '%s\n' "$x"; done
}

# Traces to choose from: two cookies beside index.dat, two typed addresses.
cookies=$(reg_query "$SHELL_FOLDERS" Cookies) || fail "no Cookies shell folder"
plant_file "$cookies\\ann@example[1].txt" "cookie one"
plant_file "$cookies\\ann@other[2].txt" "cookie two"
plant_file "$cookies\\index.dat" "not a cookie"
reg_add "$TYPED" url1 "http://one.example/"
reg_add "$TYPED" url2 "http://two.example/"
# As Windows XP, so that the Opera and Mozilla folders are known.
reg_add 'HKCU\Software\Wine\AppDefaults\Nimbrel.exe' Version winxp

# The first start writes "1" for every category but the folder views; all 18 + 6 + 62
# rows are listed in order.
start_nimbrel
for k in "${KEYS[@]}" "${TODAY_KEYS[@]}"; do
  want=1
  [ "$k" != chkWindowsFolderViews ] || want=0
  assert_eq "$(reg_query "$OPTIONS" "$k")" "$want" "$k after the first start"
done
reg_query "$OPTIONS" "WinRar 3.x" >/dev/null && fail "an application key was written at start"
assert_eq "$(rows)" "$(lines "${CATEGORIES[@]}" "${TODAY_FRESH[@]}" "${APPS[@]}")" \
  "to-be-erased list at start"

drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
assert_eq "$(drv text FrmEraseingSettings Label4)" "Erasing Settings ..." "dialog title"
assert_eq "$(drv checked FrmEraseingSettings chkCookies)" 1 "chkCookies on a fresh profile"
assert_eq "$(drv text FrmEraseingSettings txtOpera)" \
  "$E2E_PROFILE\\Application Data\\Opera\\Opera\\" "txtOpera"
shot erase-settings-browser FrmEraseingSettings
drv click FrmEraseingSettings Label3
poll_eq 5 1 drv visible FrmEraseingSettings chkWindowsTemp || fail "Windows page not shown"
shot erase-settings-windows FrmEraseingSettings
drv click FrmEraseingSettings Label2
poll_eq 5 1 drv visible FrmEraseingSettings lvwThirdpartyControls ||
  fail "Application page not shown"
assert_eq "$(drv items FrmEraseingSettings lvwThirdpartyControls | cut -f1)" \
  "$(lines "${APPS[@]}")" "application list"
shot erase-settings-application FrmEraseingSettings

# Unticking an application writes all 62 keys at once.
drv check FrmEraseingSettings lvwThirdpartyControls 55 0
poll_eq 10 False reg_query "$OPTIONS" "WinRar 3.x" || fail "WinRar 3.x not written False"
assert_eq "$(reg_query "$OPTIONS" "Zone Alram Logs")" True "the other applications"

# Unticking a category box writes its key at once.
drv click FrmEraseingSettings Label1
poll_eq 5 1 drv visible FrmEraseingSettings chkCookies || fail "Browser page not shown"
drv click FrmEraseingSettings chkCookies
poll_eq 10 0 reg_query "$OPTIONS" chkCookies || fail "chkCookies not written 0"

# The cookie keep list: the cookie files but index.dat; Add and OK write Cookies.ini.
drv click FrmEraseingSettings CmdKeepListOfCookies
drv wait FrmKeepList 20000 >/dev/null || fail "the cookie keep list did not open"
assert_eq "$(drv text FrmKeepList Label4)" "Keep List ..." "keep-list title"
poll_eq 10 "$(lines "ann@example[1].txt" "ann@other[2].txt")" \
  eval 'drv items FrmKeepList lstCurrentList | sort' || fail "current cookies"
select_all_current
drv click FrmKeepList Label3
poll_eq 10 2 eval 'drv items FrmKeepList lstKeepList | wc -l' || fail "cookies not added"
shot keep-list FrmKeepList
drv click FrmKeepList cmdOK
drv gone FrmKeepList 10000 || fail "the keep list did not close on OK"
ini=$(unix_path 'C:\Nimbrel\Cookies.ini')
poll 10 test -f "$ini" || fail "no Cookies.ini beside the exe"
tr -d '\r' <"$ini" | grep -qx 'Counter=2' || fail "Cookies.ini: $(cat "$ini")"
tr -d '\r' <"$ini" | grep -Eqx 'Cookie_Keep1=ann@(example\[1\]|other\[2\])\.txt' ||
  fail "Cookies.ini: $(cat "$ini")"
[ ! -e "$ini.new" ] || fail "Cookies.ini.new left behind"

# The typed-address keep list writes Backup.dat, one address a line.
drv click FrmEraseingSettings CmdKeepListOfLocationBar
drv wait FrmKeepList 20000 >/dev/null || fail "the address keep list did not open"
poll_eq 10 "$(lines "http://one.example/" "http://two.example/")" \
  drv items FrmKeepList lstCurrentList || fail "current typed addresses"
select_all_current
drv click FrmKeepList Label3
poll_eq 10 2 eval 'drv items FrmKeepList lstKeepList | wc -l' || fail "addresses not added"
drv click FrmKeepList cmdOK
drv gone FrmKeepList 10000 || fail "the keep list did not close on OK"
backup=$(unix_path 'C:\Nimbrel\Backup.dat')
poll 10 test -f "$backup" || fail "no Backup.dat beside the exe"
bytes() { od -An -c | tr -s ' ' | tr -d '\n'; }
assert_eq "$(bytes <"$backup")" \
  "$(printf 'http://one.example/\r\nhttp://two.example/\r\n' | bytes)" "Backup.dat"

# Closing the dialog rebuilds the list without the two unticked rows.
drv click FrmEraseingSettings Image6
drv gone FrmEraseingSettings 10000 || fail "the dialog did not close"
poll_eq 20 "$(without "Cookies" "${CATEGORIES[@]}"; lines "${TODAY_FRESH[@]}"
  without "WinRar 3.x" "${APPS[@]}")" rows ||
  fail "to-be-erased list after closing: $(rows | tr '\n' '|')"
