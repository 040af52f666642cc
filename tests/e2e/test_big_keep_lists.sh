#!/usr/bin/env bash
# Big and damaged keep-list files open and save in seconds: a 10 MB Cookies.ini whose
# Counter asks for far more entries than it holds, a 10 MB Cookies.ini of 200,000 real
# entries, and a 50 MB Backup.dat. Each keep-list dialog opens within 10 s, the window
# that opens it answering meanwhile, shows what the file holds (no blank entries made up
# for the damaged Counter), and OK saves it within 10 s, byte for byte as the program
# writes it (a big list saved unchanged is its file again, so every entry was in the
# dialog).
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

ini=$WINEPREFIX/drive_c/Nimbrel/Cookies.ini
backup=$WINEPREFIX/drive_c/Nimbrel/Backup.dat
LIMIT_MS=10000
# The longest a window may leave a message unanswered while a list fills.
ANSWER_MS=3000

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# open_keep_list BUTTON WHAT: opens the keep list from the erase-settings
# dialog and prints how many milliseconds it took to show, and the longest the
# erase-settings window took meanwhile to answer a message (asked every 100 ms).
open_keep_list() {
  local took worst
  read -r took worst < <(drv timeclick FrmEraseingSettings "$1" FrmKeepList 90000 |
    awk -F'[= ]' '{ printf "%d %d\n", $2 * 1000, $4 }')
  [ -n "$took" ] || fail "$2: the keep list did not open"
  e2e_log "$2: opened in $took ms, answering within $worst ms"
  [ "$took" -le "$LIMIT_MS" ] || fail "$2: opening took $took ms"
  [ "$worst" -le "$ANSWER_MS" ] || fail "$2: no answer for $worst ms while opening"
}

# save_keep_list WHAT: OK, timed until the dialog is gone.
save_keep_list() {
  local started took
  started=$(now_ms)
  drv click FrmKeepList cmdOK
  drv gone FrmKeepList 60000 || fail "$1: the keep list did not close on OK"
  took=$(($(now_ms) - started))
  e2e_log "$1: saved in $took ms"
  [ "$took" -le "$LIMIT_MS" ] || fail "$1: saving took $took ms"
}

# A damaged Cookies.ini: three entries, a Counter of 700,000 and 10 MB of debris
# (binary noise and key lines of no meaning) after them.
{
  printf '[Cookies]\r\nCookie_Keep1=ann@one[1].txt\r\nCookie_Keep2=ann@two[1].txt\r\n'
  printf 'Cookie_Keep3=ann@three[1].txt\r\nCounter=700000\r\n'
  head -c $((5 << 20)) /dev/urandom | tr -d '[]'
  for i in $(seq 20000); do printf 'debris%d=%0200d\r\n' "$i" 0; done
} >"$ini"
[ "$(stat -c %s "$ini")" -ge 9000000 ] || fail "the damaged Cookies.ini is too small"

start_nimbrel
drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
open_keep_list CmdKeepListOfCookies "damaged 10 MB Cookies.ini"
assert_eq "$(drv items FrmKeepList lstKeepList)" \
  "$(printf 'ann@one[1].txt\nann@two[1].txt\nann@three[1].txt')" "the damaged file's entries"
save_keep_list "damaged 10 MB Cookies.ini"
assert_eq "$(cat "$ini")" "$(printf '[Cookies]\r\nCookie_Keep1=ann@one[1].txt\r\nCookie_Keep2=ann@two[1].txt\r\nCookie_Keep3=ann@three[1].txt\r\nCounter=3\r\n')" \
  "Cookies.ini saved"

# unchanged_after_save BUTTON WHAT FILE: the keep list of FILE opened and saved as it
# was leaves FILE as it was.
unchanged_after_save() {
  cp "$3" "$E2E_DIR/before"
  open_keep_list "$1" "$2"
  save_keep_list "$2"
  cmp -s "$3" "$E2E_DIR/before" || fail "$2: not saved as it was"
}

# 200,000 real entries, 10 MB.
awk 'BEGIN { printf "[Cookies]\r\n"; for (i = 1; i <= 200000; i++) printf "Cookie_Keep%d=user@site%06d.example[1].txt\r\n", i, i; printf "Counter=200000\r\n" }' >"$ini"
[ "$(stat -c %s "$ini")" -ge 9000000 ] || fail "the big Cookies.ini is too small"
unchanged_after_save CmdKeepListOfCookies "10 MB Cookies.ini of 200,000 entries" "$ini"

# A 50 MB Backup.dat: a million addresses.
awk 'BEGIN { for (i = 1; i <= 1000000; i++) printf "http://www.site%07d.example/a/path/of/some/length\r\n", i }' >"$backup"
[ "$(stat -c %s "$backup")" -ge 50000000 ] || fail "Backup.dat is too small"
# The file is read in one pass and the list box holds no copy of the lines (it
# is told their number and draws the ones in sight), so a million lines open
# within the same 10 s as the rest; copying each line into a list box took
# 15-25 s under Wine.
unchanged_after_save CmdKeepListOfLocationBar "50 MB Backup.dat" "$backup"

# The million lines take the user's selection both ways. Select All selects every line
# in the window; a click selects the line under the pointer alone, typing the letter
# every line begins with selects the next line alone, Shift+Down adds the one after;
# End selects the last line alone and scrolls to it. Delete removes just the
# selected lines from the list that is saved.
sel() { drv selection FrmKeepList lstKeepList | cut -d' ' -f"$1"; }
open_keep_list CmdKeepListOfLocationBar "50 MB Backup.dat"
drv click FrmKeepList CmdKeepListSelectAll
poll_eq 10 "1000000 1000000" sel 1,3 || fail "Select All: $(sel 1-5)"
drv click FrmKeepList lstKeepList
poll_eq 10 1 sel 3 || fail "a click: $(sel 1-5)"
clicked=$(sel 4)
drv keys h
poll_eq 10 "1 $((clicked + 1))" sel 3,4 || fail "typing h after line $clicked: $(sel 1-5)"
drv keys shift+down
poll_eq 10 2 sel 3 || fail "Shift+Down: $(sel 1-5)"
drv click FrmKeepList CmdKeepListDelete
poll_eq 10 999998 sel 1 || fail "Delete: $(sel 1-5)"
drv click FrmKeepList lstKeepList
drv keys end
poll_eq 10 "1 999997 1" sel 3-5 || fail "End: $(sel 1-5)"
shot keep-list-end FrmKeepList
drv click FrmKeepList CmdKeepListDelete
poll_eq 10 999997 sel 1 || fail "Delete: $(sel 1-5)"
save_keep_list "50 MB Backup.dat, three lines deleted"
removed=$({ diff "$E2E_DIR/before" "$backup" || true; } |
  sed -n 's/^< http:\/\/www\.site\([0-9]*\)\..*/\1/p' | tr '\n' ' ')
read -r first second last <<<"$removed"
[ "$((10#$second))" -eq "$((10#$first + 1))" ] && [ "$last" == 1000000 ] ||
  fail "deleted lines: $removed"

# Deleting all the lines at once takes one pass, not one per line.
open_keep_list CmdKeepListOfLocationBar "50 MB Backup.dat"
drv click FrmKeepList CmdKeepListSelectAll
poll_eq 10 "999997 999997" sel 1,3 || fail "Select All: $(sel 1-5)"
drv click FrmKeepList CmdKeepListDelete
poll_eq 10 "0 0" sel 1,3 || fail "Delete of every line: $(sel 1-5)"
save_keep_list "50 MB Backup.dat, every line deleted"
[ ! -e "$backup" ] || fail "Backup.dat left after every line was deleted"
stop_nimbrel
