#!/usr/bin/env bash
# The Windows histories through the real window, each category ticked alone: typed
# addresses with two on the keep list, the Run and file-search histories, the recent
# documents under Windows XP and under Wine's default (a newer Windows), and the
# clipboard set from outside.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

EXPLORER='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
IE='HKCU\Software\Microsoft\Internet Explorer'
TYPED="$IE\\TypedURLs"
RUN="$EXPLORER\\RunMRU"
FIND="$EXPLORER\\Doc Find Spec MRU"
FILES_NAMED="$IE\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\FilesNamedMRU"
ACMRU='HKCU\Software\Microsoft\Search Assistant\ACMru'
RECENT_DOCS="$EXPLORER\\RecentDocs"
WINVER='HKCU\Software\Wine\AppDefaults\Nimbrel.exe'
log=$WINEPREFIX/drive_c/Nimbrel/Log.txt

lines() { printf '%s\n' "$@"; }
gone() { ! reg_query "$1" "$2" >/dev/null; }

# erase_alone KEY LABEL: ticks KEY alone, erases through the window and keeps the
# erasers' progress lines (two blanks first) in $erased; they must also stand in the
# block that the run appended to Log.txt.
erase_alone() {
  local logged
  choose "$1"
  start_nimbrel
  assert_eq "$(drv items FrmMain lvwToBeErased | cut -f1)" "$2" "rows"
  erase_in_window
  grep -qxF "Cleaning $2 <OK>" <<<"$progress" || fail "no row line for $2: $progress"
  erased=$(grep '^  ' <<<"$progress" || true)
  logged=$(tr -d '\r' <"$log" |
    awk '/^   Nimbrel v3\.0$/ { b = ""; next } /^  / { b = b $0 "\n" } END { printf "%s", b }')
  assert_eq "$logged" "$erased" "progress lines in Log.txt for $2"
}

# ---- Location Bar History: two addresses on the keep list, saved through the dialog.
reg_add "$TYPED" url1 "http://keep-one.example/"
reg_add "$TYPED" url2 "http://keep-two.example/"
choose chkLocationBarHistory
start_nimbrel
drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
drv click FrmEraseingSettings CmdKeepListOfLocationBar
drv wait FrmKeepList 20000 >/dev/null || fail "the address keep list did not open"
poll_eq 10 "$(lines "http://keep-one.example/" "http://keep-two.example/")" \
  drv items FrmKeepList lstCurrentList || fail "current typed addresses"
drv click FrmKeepList CmdSelectAll
drv click FrmKeepList Label3
poll_eq 10 2 eval 'drv items FrmKeepList lstKeepList | wc -l' || fail "addresses not added"
drv click FrmKeepList cmdOK
drv gone FrmKeepList 10000 || fail "the keep list did not close on OK"
drv click FrmEraseingSettings Image6
drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
stop_nimbrel
poll 10 test -f "$(unix_path 'C:\Nimbrel\Backup.dat')" || fail "no Backup.dat"

# The kept addresses between others, one in other letter case; url7 lies past a gap.
reg_add "$TYPED" url1 "http://gone-one.example/"
reg_add "$TYPED" url2 "HTTP://KEEP-ONE.example/"
reg_add "$TYPED" url3 "http://gone-two.example/"
reg_add "$TYPED" url4 "http://keep-two.example/"
reg_add "$TYPED" url5 "http://gone-three.example/"
reg_add "$TYPED" url7 "http://past-the-gap.example/"
erase_alone chkLocationBarHistory "Location Bar History"
assert_eq "$erased" "$(lines "  http://gone-one.example/" "  HTTP://KEEP-ONE.example/" \
  "  http://gone-two.example/" "  http://keep-two.example/" "  http://gone-three.example/")" \
  "typed-address lines"
for n in 1 3 5; do gone "$TYPED" "url$n" || fail "url$n not erased"; done
assert_eq "$(reg_query "$TYPED" url2)" "HTTP://KEEP-ONE.example/" "kept url2"
assert_eq "$(reg_query "$TYPED" url4)" "http://keep-two.example/" "kept url4"
assert_eq "$(reg_query "$TYPED" url7)" "http://past-the-gap.example/" "url7 past the gap"

# ---- Windows Run History: the entries MRUList names, then MRUList; "c" is not named.
reg_add "$RUN" MRUList "ba"
reg_add "$RUN" a 'notepad\1'
reg_add "$RUN" b 'regedit\1'
reg_add "$RUN" c 'calc\1'
erase_alone chkWindowsRunHistory "Windows Run History"
assert_eq "$erased" "$(lines "  b" "  a")" "Run history lines"
for v in a b MRUList; do gone "$RUN" "$v" || fail "RunMRU $v not erased"; done
assert_eq "$(reg_query "$RUN" c)" 'calc\1' "the Run entry MRUList does not name"

# ---- Windows Search History: the file-search list, then two keys whole.
reg_add "$FIND" MRUList "a"
reg_add "$FIND" a 'secret*.doc'
reg_add "$FIND" z 'not in the list'
reg_add "$FILES_NAMED" 000 'secret*.xls'
reg_add "$ACMRU\\5603" 000 'secret words'
reg_add "$ACMRU\\5604" 000 'other words'
erase_alone chkWindowsSearchHistory "Windows Search History"
assert_eq "$erased" "  a" "search history lines"
for v in a MRUList; do gone "$FIND" "$v" || fail "Doc Find Spec MRU $v not erased"; done
assert_eq "$(reg_query "$FIND" z)" 'not in the list' "the search entry MRUList does not name"
reg_key_exists "$FILES_NAMED" && fail "FilesNamedMRU not erased"
reg_key_exists "$ACMRU\\5603" && fail "ACMru\\5603 not erased"
assert_eq "$(reg_query "$ACMRU\\5604" 000)" 'other words' "the neighbouring ACMru key"

# ---- Windows Recent History. The shell's recent folder is neither of the profile's.
shell_recent=$(reg_query "$EXPLORER\\Shell Folders" Recent) || fail "no Recent shell folder"
shell_recent_unix=$(unix_path "$shell_recent")
mkdir -p "$shell_recent_unix"

# As Windows XP: the list goes with its extension keys; "My Recent Documents" and the
# shell's folder are walked.
reg_add "$WINVER" Version winxp
reg_add "$RECENT_DOCS" MRUListEx '00000000ffffffff' REG_BINARY
reg_add "$RECENT_DOCS" 0 '610062000000' REG_BINARY
reg_add "$RECENT_DOCS\\.txt" MRUListEx '00000000ffffffff' REG_BINARY
reg_add "$RECENT_DOCS\\Folder" MRUListEx '00000000ffffffff' REG_BINARY
plant_file "$E2E_PROFILE\\My Recent Documents\\xp-old.lnk" "link"
plant_file "$shell_recent\\xp-report.lnk" "link"
plant_file "$E2E_PROFILE\\Desktop\\mine.txt" "mine"
erase_alone chkWindowsRecentHistory "Windows Recent History"
reg_key_exists "$RECENT_DOCS" && fail "RecentDocs not erased under winxp"
assert_file_gone "$E2E_PROFILE\\My Recent Documents\\xp-old.lnk"
assert_file_gone "$shell_recent\\xp-report.lnk"
assert_file_exists "$E2E_PROFILE\\Desktop\\mine.txt"
grep -qiF "  $E2E_PROFILE\\My Recent Documents\\xp-old.lnk" <<<"$erased" ||
  fail "no line for My Recent Documents: $erased"
grep -qiF "  $shell_recent\\xp-report.lnk" <<<"$erased" || fail "no line for the shell's folder"

# Wine's default, Windows 10: MRUListEx orders the entries, here and in the extension
# keys; the profile's "Recent" is a link to the shell's folder, as the junction of
# Windows Vista on; the jump lists below the shell's folder are what the user pinned.
reg_exe delete "$WINVER" /v Version /f >/dev/null || fail "removing the version"
reg_add "$RECENT_DOCS" MRUListEx '010000000000000002000000ffffffff' REG_BINARY
for v in 0 1 2; do reg_add "$RECENT_DOCS" $v '610062000000' REG_BINARY; done
reg_add "$RECENT_DOCS\\.docx" MRUListEx '0100000000000000ffffffff' REG_BINARY
for v in 0 1; do reg_add "$RECENT_DOCS\\.docx" $v '610062000000' REG_BINARY; done
reg_add "$EXPLORER\\Advanced" NimbrelNeighbour kept
profile_unix=$(unix_path "$E2E_PROFILE")
rm -rf "$profile_unix/Recent"
ln -s "$shell_recent_unix" "$profile_unix/Recent"
plant_file "$shell_recent\\new-report.lnk" "link"
pins="$shell_recent\\AutomaticDestinations\\f01b4d95cf55d32a.automaticDestinations-ms"
tasks="$shell_recent\\CustomDestinations\\5d696d521de238c3.customDestinations-ms"
plant_file "$pins" "four pinned folders"
plant_file "$tasks" "tasks"
erase_alone chkWindowsRecentHistory "Windows Recent History"
reg_key_exists "$RECENT_DOCS" && fail "RecentDocs (MRUListEx) not erased under Windows 10"
assert_eq "$(reg_query "$EXPLORER\\Advanced" NimbrelNeighbour)" kept "Explorer\\Advanced's values"
assert_eq "$(cat "$(unix_path "$pins")")" "four pinned folders" "a jump list"
assert_eq "$(cat "$(unix_path "$tasks")")" "tasks" "a jump list's tasks"
assert_file_gone "$shell_recent\\new-report.lnk"
[ -L "$profile_unix/Recent" ] || fail "the Recent link itself was removed"
assert_eq "${erased,,}" "  ${shell_recent,,}\\new-report.lnk" \
  "recent lines (through the shell's folder only)"

# ---- Windows Clipboard: text put there by another program is gone after the run.
drv clipboard "secret text"
assert_eq "$(drv clipboard)" "secret text" "the clipboard before the run"
erase_alone chkWindowsClipboard "Windows Clipboard"
assert_eq "$(drv clipboard)" "" "the clipboard after the run"
