#!/usr/bin/env bash
# The options dialog through the real window: its four pages (screenshots of each),
# dragging it, saving a schedule a few seconds ahead that then starts exactly one run
# by itself, the start-with-Windows value, and the homepage guard noticing a start page
# changed from outside and putting the kept one back.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

SETTINGS='HKCU\Software\NimbrelSoft\Nimbrel\Settings'
IE_MAIN='HKCU\Software\Microsoft\Internet Explorer\Main'
RUN='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
LOG=$WINEPREFIX/drive_c/Nimbrel/Log.txt

runs_logged() {
  if [ -f "$LOG" ]; then grep -c 'Cleaning Started' "$LOG" || true; else echo 0; fi
}
shown() { drv visible FrmOptions "$1"; }

choose chkWindowsTemp
reg_add "$IE_MAIN" "Start Page" "http://mine.example/"
start_nimbrel

drv click FrmMain Label8
drv wait FrmOptions 20000 >/dev/null || fail "the options dialog did not open"
assert_eq "$(drv text FrmOptions Label18)" "Options" "title"
# A fresh profile: start with Windows shown checked, the guard checked, the live
# start page in the text box, every day and no time.
assert_eq "$(drv checked FrmOptions chkStartup)" 1 "chkStartup"
assert_eq "$(drv checked FrmOptions ChkRunInSteathmode)" 0 "ChkRunInSteathmode"
assert_eq "$(drv enabled FrmOptions cmbinvisiblemmode)" 0 "stealth letter without stealth mode"
assert_eq "$(drv text FrmOptions cmbinvisiblemmode)" "A" "stealth letter"
assert_eq "$(drv items FrmOptions cmboverwriteTracksFiles | tr '\n' ' ')" \
  "0 1 2 3 4 5 6 7 8 9 10 " "overwrite passes"
shot options-general FrmOptions

drv click FrmOptions Label25
poll_eq 5 1 shown chkPreverntHomepage || fail "Home Page page not shown"
assert_eq "$(shown chkStartup)" 0 "General page hidden"
# The guard is on while its key is missing, and its box shows it so; saved untouched,
# the guard stays on.
assert_eq "$(drv checked FrmOptions chkPreverntHomepage)" 1 "chkPreverntHomepage"
assert_eq "$(drv text FrmOptions txtHomepage)" "http://mine.example/" "txtHomepage"
shot options-homepage FrmOptions

drv click FrmOptions Label27
poll_eq 5 1 shown cmbbosskey || fail "Hot Key page not shown"
drv click FrmOptions optCloseAllIEAndStartErasing
poll_eq 5 1 drv checked FrmOptions optCloseAllIEAndStartErasing || fail "boss action not chosen"
drv select FrmOptions cmbbosskey 1  # B
shot options-hotkey FrmOptions

# Dragging by the title moves the dialog by the pointer's travel.
read -r x y _ <<<"$(drv rect FrmOptions)"
drv drag FrmOptions Label18 60 40
poll_eq 5 "$((x + 60)) $((y + 40))" eval 'drv rect FrmOptions | cut -d" " -f1,2' ||
  fail "dragged from $x $y to $(drv rect FrmOptions)"

# The schedule: every day, a few seconds from now.
drv click FrmOptions Label26
poll_eq 5 1 shown chkSchedule || fail "Schedule page not shown"
assert_eq "$(drv text FrmOptions cmbDays)" "Day" "cmbDays"
assert_eq "$(drv enabled FrmOptions cmbDays)" 0 "day list before Clean every"
drv click FrmOptions chkSchedule
poll_eq 5 1 drv enabled FrmOptions dtpScheduleTime || fail "time picker not enabled"
drv select FrmOptions cmbDays 7
drv settime FrmOptions dtpScheduleTime 22:15:00
shot options-schedule FrmOptions
due=$(($(date +%s) + 10))
at=$(date -d "@$due" +%H:%M:%S)
drv settime FrmOptions dtpScheduleTime "$at"
drv click FrmOptions Command2  # save, on the Schedule page
drv gone FrmOptions 10000 || fail "the dialog did not close on save"
(($(date +%s) < due)) || fail "saving took too long to test the schedule"

# Every page was stored, whichever was shown.
assert_eq "$(reg_query "$SETTINGS" chkSchedule)/$(reg_query "$SETTINGS" Day)/$(reg_query "$SETTINGS" Time)" \
  "1/7/$at" "schedule"
assert_eq "$(reg_query "$OPTIONS" chkStartup)" 1 "chkStartup stored"
assert_eq "$(reg_query "$OPTIONS" chkPreverntHomepage)" 1 "chkPreverntHomepage stored"
assert_eq "$(reg_query "$OPTIONS" txtHomepage)" "http://mine.example/" "txtHomepage stored"
assert_eq "$(reg_query "$OPTIONS" cmbbosskey)" "B" "cmbbosskey stored"
assert_eq "$(reg_query "$OPTIONS" optCloseAllIEAndStartErasing)/$(reg_query "$OPTIONS" optCloseAllIE)" \
  "True/False" "boss actions stored"
assert_eq "$(reg_query "$OPTIONS" cmboverwriteTracksFiles)" 0 "passes stored"
assert_eq "$(reg_query "$RUN" Nimbrel)" 'C:\Nimbrel\Nimbrel.exe' "start-with-Windows value"

# The run starts by itself in the chosen second, not before.
assert_eq "$(runs_logged)" 0 "runs before the time"
drv wait FrmMessage 20000 >/dev/null || fail "no run by $at"
started=$(date +%s)
drv click FrmMessage cmdOK
((started >= due && started <= due + 5)) || fail "the run came at $(date -d "@$started" +%T), due $at"
drv gone FrmMessage 10000 || fail "the completion message did not close"
# Well past the chosen second: still exactly one run.
poll 10 eval '(($(date +%s) > due + 2))'
drv exists FrmMessage lblMesage 2>/dev/null && fail "a second run started"
poll_eq 10 1 runs_logged || fail "runs logged: $(runs_logged)"

# The start page changed from outside: the question comes within 35 s; No puts the
# kept page back.
reg_add "$IE_MAIN" "Start Page" "http://hijack.example/"
drv wait FrmMessage 35000 >/dev/null || fail "no question within 35 s"
assert_eq "$(drv text FrmMessage Label4)" "Home Page Changed" "question title"
assert_eq "$(drv text FrmMessage lblMesage)" \
  "$(printf ' Internet Explorer homepage has been changed. The Old Url was http://mine.example/. It has been changed to http://hijack.example/\r\n\r\n.Click on YES to keep new URL.')" \
  "question text"
assert_eq "$(drv visible FrmMessage cmdYes)$(drv visible FrmMessage cmdNo)$(drv visible FrmMessage cmdOK)" \
  110 "Yes and No only"
shot homepage-question FrmMessage
drv click FrmMessage cmdNo
drv gone FrmMessage 10000 || fail "the question did not close"
poll_eq 10 "http://mine.example/" reg_query "$IE_MAIN" "Start Page" || fail "start page not restored"
assert_eq "$(reg_query "$OPTIONS" txtHomepage)" "http://mine.example/" "kept page"

# Opened again, the dialog reads what was saved.
drv click FrmMain Label8
drv wait FrmOptions 20000 >/dev/null || fail "the options dialog did not open again"
assert_eq "$(drv checked FrmOptions chkPreverntHomepage)" 1 "guard box after saving"
assert_eq "$(drv text FrmOptions cmbbosskey)" "B" "boss letter after saving"
assert_eq "$(drv checked FrmOptions chkSchedule)" 1 "schedule switch after saving"
drv click FrmOptions Image1
drv gone FrmOptions 10000 || fail "the close glyph did not close the dialog"
stop_nimbrel
