#!/usr/bin/env bash
# A cleaning run through the real window: the chosen rows, the progress lines, the row
# states, the progress bar, the completion message, the menus and the log.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

choose chkCookies chkWindowsTemp
start_nimbrel
assert_eq "$(drv items FrmMain lvwToBeErased | cut -f1)" "$(printf 'Cookies\nWindows Temp Files')" \
  "to-be-erased list"

drv hover FrmMain ImgStartErasingNormal
poll_eq 5 1 drv visible FrmMain ImgStartErasingMouseMove || fail "Start Erasing not lit"
drv click FrmMain ImgStartErasingMouseMove
drv wait FrmMessage 30000 >/dev/null || fail "no completion message"

assert_eq "$(drv text FrmMessage Label4)" "Information" "message title"
assert_eq "$(drv text FrmMessage lblMesage)" " All selected tracks were erased sucessfully." \
  "message text"
assert_eq "$(drv visible FrmMessage cmdOK)$(drv visible FrmMessage cmdYes)$(drv visible FrmMessage cmdNo)" \
  100 "only OK shown"
assert_eq "$(drv menu FrmMain mnuMain | grep -E '^(Start Erasing|Options|Erase Settings)' | cut -f2 | tr -d '\n')" \
  000 "menus disabled while the message is shown"

progress=$(drv items FrmMain LstShowingTracksErasedProgress)
[[ $(head -n1 <<<"$progress") == " Cleaning Started  at : "?* ]] ||
  fail "first progress line: [$(head -n1 <<<"$progress")]"
assert_eq "$(grep '^Cleaning ' <<<"$progress")" \
  "$(printf 'Cleaning Cookies <OK>\nCleaning Windows Temp Files <OK>')" "row lines"
# The window shows every line, the last one selected and in sight.
read -r lines cursel _ caret seen <<<"$(drv selection FrmMain LstShowingTracksErasedProgress)"
assert_eq "$lines $cursel $caret $seen" "$(wc -l <<<"$progress") $((lines - 1)) $((lines - 1)) 1" \
  "the progress list's selection"
assert_eq "$(drv items FrmMain lvwToBeErased | cut -f2 | tr '\n' ' ')" "Done Done " "row states"
# The window's image list counts from 0: mark 6 is its image 5.
assert_eq "$(drv items FrmMain lvwToBeErased | cut -f4 | tr "\n" " ")" "5 5 " "row marks"
assert_eq "$(drv progress FrmMain PgbTemp | cut -d' ' -f1)" 0 "progress bar after the run"
shot completion-message FrmMessage

drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"
poll_eq 10 111 eval "drv menu FrmMain mnuMain | grep -E '^(Start Erasing|Options|Erase Settings)' | cut -f2 | tr -d '\n'" ||
  fail "menus not enabled again"

log=$WINEPREFIX/drive_c/Nimbrel/Log.txt
[ -f "$log" ] || fail "no Log.txt beside the exe"
grep -q '^   Nimbrel v3.0'$'\r''$' "$log" || fail "Log.txt has no header"
grep -q '^Cleaning Windows Temp Files <OK>'$'\r''$' "$log" || fail "Log.txt lacks the row line"
stop_nimbrel
