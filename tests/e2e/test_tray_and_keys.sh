#!/usr/bin/env bash
# The main window in the tray: minimised behind one icon, whose menu (opened by a real
# click on the icon in Wine's own tray window) restores it, opens the web pages and
# ends the program; the icon coming back after the shell's taskbar restarts; the boss
# key and a run closing browser windows; the stealth key; the start-with-Windows value.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
MENU='class:#32768'

# The program's path in the start-with-Windows value, without quotes around it.
startup_command() { reg_query "$RUN" Nimbrel | sed 's/^"\(.*\)"$/\1/'; }

menu_open() { drv wait "$MENU" 10000 >/dev/null || fail "the tray menu did not open"; }
menu_closed() { poll 10 eval "[ \"\$(drv visible '$MENU' '' 2>/dev/null)\" != 1 ]"; }

# Minimises with the title strip's glyph: hidden, titled, in the tray.
minimise_to_tray() {
  drv click FrmMain Image2
  poll_eq 10 0 drv visible FrmMain '' || fail "FrmMain still shown after minimising"
  assert_eq "$(drv text FrmMain '')" Nimbrel "caption while minimised"
  poll_eq 10 1 drv tray FrmMain || fail "no tray icon after minimising"
}

# Opens the tray menu with a real click and chooses its entry number N (1 is the first),
# with the arrow keys as a user may.
tray_menu_choose() {
  local n=$1 i
  drv click-tray right
  menu_open
  for ((i = 0; i < n; i++)); do drv keys down; done
  drv keys return
  menu_closed || fail "the tray menu did not close"
}

# Starts IEFrame windows in the background; BROWSER_PID is the newest's driver.
open_browser_window() {
  drv ieframe 30000 >/dev/null &
  BROWSER_PID=$!
  poll_eq 10 "$1" drv windows IEFrame || fail "the IEFrame window did not open"
}

expect_browser_closed() {
  wait "$BROWSER_PID" || fail "the IEFrame window was not closed ($1)"
  assert_eq "$(drv windows IEFrame)" 0 "IEFrame windows after $1"
}

expect_completion_message() {
  drv wait FrmMessage 30000 >/dev/null || fail "no completion message ($1)"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the message did not close"
}

choose chkWindowsClipboard
reg_add "$OPTIONS" chkStartup 1
start_nimbrel
assert_eq "$(startup_command)" 'C:\Nimbrel\Nimbrel.exe' "start-with-Windows value"

# ---- The tray ----
minimise_to_tray
drv click-tray right
menu_open
read -r mx my mw mh < <(drv rect "$MENU")
# Without a window manager Wine's tray window stays stacked over the menu it opened:
# the program's visible X windows (the menu) are raised for the picture.
for xwin in $(xdotool search --onlyvisible --classname nimbrel.exe 2>/dev/null); do
  xdotool windowraise "$xwin" 2>/dev/null || true
done
shot_area tray-menu 0 0 $((mx + mw + 8)) $((my + mh + 8))
drv keys escape
menu_closed || fail "Escape did not close the tray menu"
assert_eq "$(drv visible FrmMain '')" 0 "FrmMain after closing the menu"

# A restarted taskbar has lost every icon; the program adds its own again.
drv taskbar-restart FrmMain
poll_eq 10 1 drv tray FrmMain || fail "the icon did not come back after the taskbar restarted"

# The left button opens the same menu: Visit, then Help, open the fake browser.
drv click-tray left
menu_open
drv keys down
drv keys return
menu_closed
tray_menu_choose 2
poll_eq 20 2 eval 'wc -l <"$WINEPREFIX/browser.log" 2>/dev/null' || fail "the browser was not opened twice"
assert_eq "$(sed -n 1p "$WINEPREFIX/browser.log")" "http://www.nimbrel-eraser.example/" "Visit"
assert_eq "$(sed -n 2p "$WINEPREFIX/browser.log")" \
  "http://www.nimbrel-eraser.example/support/index.html" "Help"
assert_eq "$(drv visible FrmMain '')" 0 "FrmMain after Visit and Help"

# Restore: shown at its size, no icon, no caption.
tray_menu_choose 3
poll_eq 10 1 drv visible FrmMain '' || fail "Restore did not show FrmMain"
assert_eq "$(drv client FrmMain)" "785 513" "FrmMain client size after Restore"
assert_eq "$(drv tray FrmMain)" 0 "tray icon after Restore"
assert_eq "$(drv text FrmMain '')" "" "caption after Restore"

# Minimised and restored again: one icon each time.
minimise_to_tray
tray_menu_choose 3
poll_eq 10 1 drv visible FrmMain '' || fail "the second Restore did not show FrmMain"
assert_eq "$(drv tray FrmMain)" 0 "tray icon after the second Restore"

# ---- The boss key and closing browser windows before a run ----
reg_add "$OPTIONS" cmbbosskey B
reg_add "$OPTIONS" optCloseAllIE True
open_browser_window 1
drv keys ctrl+shift+b 400
expect_browser_closed "the boss key"

reg_add "$OPTIONS" optCloseAllIE False
reg_add "$OPTIONS" optCloseAllIEAndStartErasing True
open_browser_window 1
drv keys ctrl+shift+b 400
expect_browser_closed "the boss key that erases"
expect_completion_message "the boss key that erases"

reg_add "$OPTIONS" optCloseAllIEAndStartErasing False
reg_add "$OPTIONS" ChkCloseAllIE 1
open_browser_window 1
drv click FrmMain Label2
expect_browser_closed "a run"
expect_completion_message "a run with ChkCloseAllIE"

# ---- The stealth key ----
reg_add "$OPTIONS" ChkRunInSteathmode 1
reg_add "$OPTIONS" cmbinvisiblemmode K
drv keys shift+k 400
poll_eq 10 0 drv visible FrmMain '' || fail "the stealth key did not hide FrmMain"
assert_eq "$(drv tray FrmMain)" 0 "tray icon in stealth mode"
drv keys shift+k 400
poll_eq 10 1 drv visible FrmMain '' || fail "the stealth key did not show FrmMain"
assert_eq "$(drv client FrmMain)" "785 513" "FrmMain client size after the stealth key"
# Minimised in stealth mode: hidden with no icon; only the key brings it back.
drv click FrmMain Image2
poll_eq 10 0 drv visible FrmMain '' || fail "FrmMain still shown after minimising"
assert_eq "$(drv tray FrmMain)" 0 "tray icon after minimising in stealth mode"
drv keys shift+k 400
poll_eq 10 1 drv visible FrmMain '' || fail "the stealth key did not bring FrmMain back"

# ---- Exit from the tray menu; the start-with-Windows value switched off ----
reg_add "$OPTIONS" ChkRunInSteathmode 0
minimise_to_tray
drv click-tray right
menu_open
drv keys up  # the last entry
drv keys return
wait_nimbrel_exit 20

reg_add "$OPTIONS" chkStartup 0
start_nimbrel
if startup_command >/dev/null; then fail "start-with-Windows value still there"; fi
stop_nimbrel
