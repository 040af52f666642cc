#!/usr/bin/env bash
# The activity log over two runs, Clear Log's two messages, and the message dialog and
# the about box shown and dragged by their title strips.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

log=$WINEPREFIX/drive_c/Nimbrel/Log.txt
header=$(printf '\r\n\r\n\r\n   Nimbrel v3.0\r\n%s\r\n\r\n\r\n' "$(printf '~%.0s' $(seq 103))")

# Runs the erase from the Start Erasing label and acknowledges the message.
run_once() {
  drv click FrmMain Label2
  drv wait FrmMessage 30000 >/dev/null || fail "no completion message"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the message did not close"
}

# Expects the message dialog with TEXT, then closes it with OK.
expect_message() {
  drv wait FrmMessage 20000 >/dev/null || fail "no message for: $1"
  assert_eq "$(drv text FrmMessage lblMesage)" "$1" "message text"
  assert_eq "$(drv text FrmMessage Label4)" "Information" "message title"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the message did not close"
}

choose chkWindowsClipboard
start_nimbrel
run_once
run_once
# Two records, each the header and the run's lines.
records=$(tr -d '\r' <"$log" | grep -c '^   Nimbrel v3.0$')
assert_eq "$records" 2 "records in Log.txt"
assert_eq "$(head -c ${#header} "$log")" "$header" "the record's header, byte for byte"
assert_eq "$(tr -d '\r' <"$log" | grep -c '^Cleaning Windows Clipboard <OK>$')" 2 "row lines in Log.txt"
assert_eq "$(tr -d '\r' <"$log" | grep -c '^ Cleaning Started  at : ')" 2 "start lines in Log.txt"

# Clear Log: the cleared message, then the none-left message.
drv click FrmMain Command8
expect_message "Log File has been cleared sucessfully."
[ ! -e "$log" ] || fail "Log.txt still there after Clear Log"
drv click FrmMain Command8
expect_message "There are no Log files to be cleared."

# The message dialog follows the pointer by its title.
drv click FrmMain Command8
drv wait FrmMessage 20000 >/dev/null || fail "no message"
shot message-dialog FrmMessage
read -r x y _ < <(drv rect FrmMessage)
drv drag FrmMessage Label4 -40 30
poll_eq 5 "$((x - 40)) $((y + 30))" eval 'drv rect FrmMessage | cut -d" " -f1,2' ||
  fail "FrmMessage at [$(drv rect FrmMessage)] after a drag by -40 30 from $x $y"
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"

# The about box: its texts, a drag by the title strip, and its close button.
drv click FrmMain Label9
drv wait FrmAbout 20000 >/dev/null || fail "the about box did not open"
assert_eq "$(drv text FrmAbout Label1)" "Nimbrel" "about Label1"
assert_eq "$(drv text FrmAbout Label5)" "3.0.0" "about version"
shot about-box FrmAbout
read -r x y _ < <(drv rect FrmAbout)
drv drag FrmAbout ImgFormMove 50 -20
poll_eq 5 "$((x + 50)) $((y - 20))" eval 'drv rect FrmAbout | cut -d" " -f1,2' ||
  fail "FrmAbout at [$(drv rect FrmAbout)] after a drag by 50 -20 from $x $y"
drv click FrmAbout Command6
drv gone FrmAbout 10000 || fail "Cancel did not close the about box"
stop_nimbrel
