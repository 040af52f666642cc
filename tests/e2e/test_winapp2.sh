#!/usr/bin/env bash
# The community file Winapp2.ini (the copy in tests/data/winapp2) beside the exe: ten of
# its entries across kinds (files only, registry only, both, an ExcludeKey, a wildcard in
# a folder part, REMOVESELF) planted with their traces and with neighbours that must stay;
# ticked through the Application page; /preview lists exactly the traces and changes
# nothing; a run erases exactly the traces.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

repo=$(cd "$(dirname "$0")/../.." && pwd)
cp "$repo/tests/data/winapp2/Winapp2.ini" "$WINEPREFIX/drive_c/Nimbrel/Winapp2.ini"
ENTRIES=("4Sync *" "3 Stars of Destiny *" "7z SFX Builder *" "7+ Taskbar Tweaker *"
  "Actual Tools Actual Window Guard *" "Cameyo *" "MailWasher Pro *" "4shared Desktop *"
  "360 Secure Browser Bookmark Backups *" "Babylon *")
appdata() {
  a=$(e2e_wine cmd /c echo %APPDATA% | tr -d '\r')
  [[ "$a" == [A-Za-z]:\\* ]]
}
poll 10 appdata || fail "no APPDATA: $a"
tab=$'\t'
lines() { printf '%s\n' "$@"; }

# ---- Registry: KEY|VALUE planted; gone afterwards, or kept ----
S='HKEY_CURRENT_USER\Software'
GONE_VALUES=("$S\\7z SFX Builder\\MRU|0" "$S\\7 Taskbar Tweaker|MementoSectionUsed"
  "$S\\Actual Tools\\Actual Window Guard|LastNagScreenDate" "$S\\VOS\\Sub|v"
  "$S\\Babylon\\Babylon Translator\\UserInfo\\History|h")
KEPT_VALUES=("$S\\4Sync|v" "$S\\7z SFX Builder|Other" "$S\\7 Taskbar Tweaker|Other"
  "$S\\Actual Tools\\Actual Window Guard|Other" "$S\\Babylon\\Babylon Translator\\UserInfo|u")
GONE_KEYS=("$S\\7z SFX Builder\\MRU" "$S\\VOS" "$S\\Babylon\\Babylon Translator\\UserInfo\\History")
{
  printf 'REGEDIT4\r\n\r\n'
  for kv in "${GONE_VALUES[@]}" "${KEPT_VALUES[@]}"; do
    printf '[%s]\r\n"%s"="x"\r\n\r\n' "${kv%|*}" "${kv#*|}"
  done
} >"$WINEPREFIX/drive_c/plant.reg"
reg_import plant.reg "importing the registry traces"

# ---- Files ----
GONE_FILES=("$a\\4Sync\\a.log" "$a\\3Stars\\x.tmp" "$a\\Actual Tools\\Actual Window Guard\\w.log"
  "$a\\VOS\\v.txt" "$a\\Firetrust\\MailWasher\\log_1.txt" "$a\\Firetrust\\MailWasher\\regex.txt"
  "$a\\Firetrust\\MailWasher\\cache\\c.tmp" "$a\\Firetrust\\MailWasher\\logs\\d\\l.txt"
  "$a\\4shared desktop\\s.log" "$a\\4shared desktop\\u1\\dhistory.xml"
  "$a\\4shared desktop\\u2\\dhistory.xml" "$a\\360se6\\User Data\\Default\\Bookmarks.bak"
  "$a\\Babylon\\log_file.txt")
KEPT_FILES=("$a\\4Sync\\keep.txt" "$a\\4Sync\\sub\\b.log" "$a\\3Stars\\save.dat"
  "$a\\Actual Tools\\Actual Window Guard\\w.ini" "$a\\VOS2\\v.txt"
  "$a\\Firetrust\\MailWasher\\cache\\MWP.db3" "$a\\Firetrust\\MailWasher\\settings.ini"
  "$a\\4shared desktop\\u1\\keep.xml" "$a\\360se6\\User Data\\Default\\Bookmarks"
  "$a\\Babylon\\other.txt")
for f in "${GONE_FILES[@]}"; do plant_file "$f" "trace $f"; done
for f in "${KEPT_FILES[@]}"; do plant_file "$f" "kept $f"; done

state() {
  local f
  for f in "${GONE_FILES[@]}" "${KEPT_FILES[@]}"; do [ -e "$(unix_path "$f")" ] && echo "$f"; done
  for kv in "${GONE_VALUES[@]}" "${KEPT_VALUES[@]}"; do
    reg_query "${kv%|*}" "${kv#*|}" >/dev/null 2>&1 && echo "$kv"
  done
  [ -d "$(unix_path "$a\\VOS")" ] && echo VOS
  true
}

# ---- Ticked through the Application page ----
choose
start_nimbrel
open_settings_page Label2 lvwThirdpartyControls
listed=$(drv items FrmEraseingSettings lvwThirdpartyControls | cut -f1)
assert_eq "$(head -n 62 <<<"$listed")" "$(lines "${APPS[@]}")" "the catalogue first"
for e in "${ENTRIES[@]}"; do
  i=$(grep -nxF "$e" <<<"$listed" | cut -d: -f1) || fail "not listed: $e"
  drv check FrmEraseingSettings lvwThirdpartyControls $((i - 1)) 1
done
for e in "${ENTRIES[@]}"; do
  poll_eq 10 True reg_query 'HKCU\Software\NimbrelSoft\Nimbrel\Winapp2' "${e% \*}" ||
    fail "tick of $e not stored"
done
shot erase-settings-winapp2 FrmEraseingSettings
drv click FrmEraseingSettings Command1_1
drv gone FrmEraseingSettings 10000 || fail "the dialog did not close"
# The to-be-erased list is filled again once the dialog has closed.
all_rows() {
  local rows e
  rows=$(drv items FrmMain lvwToBeErased | cut -f1)
  for e in "${ENTRIES[@]}"; do grep -qxF "$e" <<<"$rows" || return 1; done
}
poll 10 all_rows || fail "a ticked entry has no row: $(drv items FrmMain lvwToBeErased | cut -f1 | tr '\n' '|')"
stop_nimbrel
before=$(state)

# ---- /preview: exactly the traces, nothing changed ----
(cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe /preview 'C:\preview.tsv') \
  >>"$E2E_DIR/nimbrel.log" 2>&1 || fail "/preview failed"
preview=$(tr -d '\r' <"$WINEPREFIX/drive_c/preview.tsv")
assert_eq "$(state)" "$before" "the traces after /preview"
for f in "${GONE_FILES[@]}"; do
  grep -qiF "${tab}file${tab}$f${tab}" <<<"$preview" || fail "the preview lacks $f"
done
for f in "${KEPT_FILES[@]}"; do grep -qiF "$f$tab" <<<"$preview" && fail "the preview lists $f"; done
for k in "${GONE_KEYS[@]}"; do grep -qiF "${tab}registry key${tab}$k" <<<"$preview" ||
  fail "the preview lacks $k"; done
for kv in "${KEPT_VALUES[@]}"; do
  grep -qiF "${tab}${kv%|*}${tab}" <<<"$preview" && fail "the preview deletes ${kv%|*}"
  grep -qiF "${tab}${kv%|*}\\${kv#*|}${tab}" <<<"$preview" && fail "the preview deletes $kv"
done

# ---- The run: exactly the traces ----
start_nimbrel
drv click FrmMain Label2
drv wait FrmMessage 120000 >/dev/null || fail "no completion message"
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"
stop_nimbrel
for f in "${GONE_FILES[@]}"; do assert_file_gone "$f"; done
for f in "${KEPT_FILES[@]}"; do assert_file_exists "$f"; done
for kv in "${GONE_VALUES[@]}"; do
  reg_query "${kv%|*}" "${kv#*|}" >/dev/null 2>&1 && fail "still there: $kv"
done
for kv in "${KEPT_VALUES[@]}"; do
  reg_query "${kv%|*}" "${kv#*|}" >/dev/null 2>&1 || fail "erased: $kv"
done
[ ! -d "$(unix_path "$a\\VOS")" ] || fail "REMOVESELF left the emptied folder"
