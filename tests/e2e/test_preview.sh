#!/usr/bin/env bash
# The preview and its guarantee. Traces are planted for every category and several
# applications; the preview window lists them with the totals and changes nothing;
# /preview writes the same list, changing nothing; the real run, journalled with
# /erase /journal, changes exactly that list, and the neighbours of the traces stay.
# Last, "Erase Now" in the preview window runs the window's own run.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

TICKED=("Ad Adware 6" "Agent NewsReader" "WinRar 3.x" "Winzip" "Zone Alram Logs")
CV='HKLM\Software\Microsoft\Windows\CurrentVersion'
if ! pf=$(reg_query "$CV" PROG_FILES_DIR); then
  pf='C:\Program Files'
  reg_add "$CV" PROG_FILES_DIR "$pf"
fi
win='C:\windows'
temp=$(unix_path "$E2E_TEMP")
trash=$XDG_DATA_HOME/Trash
tab=$'\t'

GONE_FILES=("$E2E_TEMP\\a.txt" "$E2E_TEMP\\sub\\b.log" "$E2E_TEMP\\sub\\deep\\c.tmp"
  "$pf\\Lavasoft\\Ad-Aware 6\\Logs\\scan.log" "$pf\\Lavasoft\\Ad-Aware 6\\Logs\\old\\scan2.log"
  "$pf\\Agent\\Data\\a.IDX" "$pf\\Agent\\Data\\b.dat" "$win\\Internet Logs\\ZALog.txt")
KEPT_FILES=("$pf\\Lavasoft\\Ad-Aware 6\\defs.ref" "$pf\\Agent\\Data\\groups.ini"
  "$win\\Internet Logs\\ZALog.old" "$E2E_TEMP\\sub\\index.dat")
RAR='HKEY_CURRENT_USER\Software\WinRAR\DialogEditHistory'
ZIP='HKEY_CURRENT_USER\Software\Nico Mak Computing\Winzip'
GONE_KEYS=("$RAR\\ArcName" "$ZIP\\filemenu")
KEPT_VALUES=("$RAR\\ExtrPath|0" "$ZIP\\directories|AddDir")

plant() {
  local f kv
  for f in "${GONE_FILES[@]}"; do plant_file "$f" "trace $f"; done
  for f in "${KEPT_FILES[@]}"; do plant_file "$f" "kept $f"; done
  rm -f "$temp/ro.txt"
  plant_file "$E2E_TEMP\\ro.txt" "read-only"
  chmod a-w "$temp/ro.txt"
  mkdir -p "$trash/files" "$trash/info"
  printf 'in the bin' >"$trash/files/old.txt"
  printf '[Trash Info]\nPath=/tmp/old.txt\nDeletionDate=2024-01-01T10:00:00\n' \
    >"$trash/info/old.txt.trashinfo"
  {
    printf 'REGEDIT4\r\n\r\n'
    for k in "${GONE_KEYS[@]}"; do printf '[%s]\r\n"0"="trace"\r\n\r\n' "$k"; done
    printf '[%s]\r\n"DefDir"="trace"\r\n"AddDir"="kept"\r\n\r\n' "$ZIP\\directories"
    printf '[%s]\r\n"0"="kept"\r\n\r\n' "$RAR\\ExtrPath"
  } >"$WINEPREFIX/drive_c/plant.reg"
  reg_import plant.reg "importing the registry traces"
}

# Every planted file with its hash, and the planted registry values.
state() {
  local f
  for f in "${GONE_FILES[@]}" "${KEPT_FILES[@]}" "$E2E_TEMP\\ro.txt"; do
    printf '%s %s\n' "$(md5sum <"$(unix_path "$f")" 2>/dev/null || echo missing)" "$f"
  done
  find "$trash" -type f -print0 | sort -z | xargs -0 -r md5sum
  for k in "${GONE_KEYS[@]}"; do printf '%s %s\n' "$k" "$(reg_query "$k" 0 || echo missing)"; done
  printf 'DefDir %s\n' "$(reg_query "$ZIP\\directories" DefDir || echo missing)"
}

run_nimbrel() {
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe "$@") >>"$E2E_DIR/nimbrel.log" 2>&1
}

plant
choose "${KEYS[@]}"
tick "${TICKED[@]}"
before=$(state)

# ---- The preview window ----
start_nimbrel
drv exists FrmMain ImgPreviewNormal || fail "no Preview command"
assert_eq "$(drv text FrmMain lblPreview)" "Preview" "the Preview command's label"
drv hover FrmMain lblPreview
poll_eq 5 1 drv visible FrmMain ImgPreviewMouseMove || fail "Preview not lit"
drv click FrmMain lblPreview
drv wait FrmPreview 120000 >/dev/null || fail "no preview window"
listed=$(drv items FrmPreview lvwPreview | cut -f1,2)
totals=$(drv text FrmPreview lblTotals)
drv click FrmPreview cmdClose
drv gone FrmPreview 10000 || fail "the preview window did not close"
assert_eq "$(drv progress FrmMain PgbTemp | cut -d' ' -f1)" 0 "the window's progress bar"
assert_eq "$(drv items FrmMain LstShowingTracksErasedProgress)" "" "the window's progress list"
stop_nimbrel
assert_eq "$(state)" "$before" "the traces after the preview window"
[ ! -e "$WINEPREFIX/drive_c/Nimbrel/Log.txt" ] || fail "the preview wrote Log.txt"
for row in "${CATEGORIES[@]}" "${TICKED[@]}"; do
  grep -qxF "$row$tab" <<<"$listed" || fail "the preview window lacks the row $row"
done
grep -qxF "  the recycle bin: 1 item${tab}Recycle bin" <<<"$listed" ||
  fail "the preview window lacks the recycle bin: [$listed]"
grep -qxF "  the clipboard${tab}Clipboard" <<<"$listed" || fail "no clipboard line"
grep -A1 -xF "Cookies$tab" <<<"$listed" | grep -qxF "  nothing to erase$tab" ||
  fail "the Cookies row is not empty"

# ---- /preview FILE: the same list, and nothing changed ----
rc=0
run_nimbrel /preview 'C:\preview.tsv' || rc=$?
assert_eq "$rc" 0 "exit code of /preview"
preview=$(tr -d '\r' <"$WINEPREFIX/drive_c/preview.tsv")
assert_eq "$(state)" "$before" "the traces after /preview"
for f in "${GONE_FILES[@]}"; do
  grep -qiF "${tab}file${tab}$f${tab}$(wc -c <"$(unix_path "$f")")" <<<"$preview" ||
    fail "the preview lacks $f with its size"
  grep -qixF "  $f${tab}File" <<<"$listed" || fail "the preview window lacks $f"
done
for f in "${KEPT_FILES[@]}" "$E2E_TEMP\\ro.txt"; do
  grep -qiF "$f" <<<"$preview" && fail "the preview lists what stays: $f"
done
files=$(grep -c "${tab}file${tab}" <<<"$preview")
[[ $totals == "Would erase $files files ("*" bytes), 2 folders and 3 registry items." ]] ||
  fail "totals [$totals] for $files files"

# ---- The run, journalled: exactly what the preview listed ----
rc=0
run_nimbrel /erase /journal 'C:\journal.tsv' || rc=$?
assert_eq "$rc" 0 "exit code of /erase /journal"
journal=$(tr -d '\r' <"$WINEPREFIX/drive_c/journal.tsv")
assert_eq "$journal" "$preview" "the run's journal against the preview"
while IFS=$'\t' read -r row kind item bytes; do
  case $kind in
    file | folder) assert_file_gone "$item" ;;
    "registry key") ! reg_key_exists "$item" || fail "key not deleted: $item" ;;
    "registry value") ! reg_query "${item%\\*}" "${item##*\\}" >/dev/null || fail "value kept: $item" ;;
  esac
done <<<"$preview"
for f in "${KEPT_FILES[@]}"; do assert_eq "$(cat "$(unix_path "$f")")" "kept $f" "neighbour $f"; done
assert_eq "$(cat "$temp/ro.txt")" "read-only" "the read-only file"
for kv in "${KEPT_VALUES[@]}"; do
  assert_eq "$(reg_query "${kv%|*}" "${kv#*|}")" "kept" "neighbour value $kv"
done
[ -z "$(ls -A "$trash/files")" ] || fail "the recycle bin was not emptied"
grep -q '^Cleaning Windows Temp Files <OK>'$'\r''$' "$WINEPREFIX/drive_c/Nimbrel/Log.txt" ||
  fail "the run left no record in Log.txt"

# ---- Erase Now, on the categories that erase: the window's own run, with its message ----
plant
plant_file "$E2E_TEMP\\again.txt" "planted again"
choose chkWindowsTemp chkWindowsRecycleBin chkWindowsClipboard
tick "${TICKED[@]}"
start_nimbrel
drv click FrmMain lblPreview
drv wait FrmPreview 120000 >/dev/null || fail "no preview window"
drv items FrmPreview lvwPreview | cut -f1 | grep -qixF "  $E2E_TEMP\\again.txt" ||
  fail "the second preview lacks again.txt"
shot preview-window FrmPreview
drv click FrmPreview cmdEraseNow
drv wait FrmMessage 60000 >/dev/null || fail "no completion message after Erase Now"
assert_eq "$(drv text FrmMessage lblMesage)" " All selected tracks were erased sucessfully." \
  "completion message"
drv items FrmMain LstShowingTracksErasedProgress | grep -qiF "  $E2E_TEMP\\again.txt" ||
  fail "no progress line for again.txt"
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"
for f in "$E2E_TEMP\\again.txt" "${GONE_FILES[@]}"; do assert_file_gone "$f"; done
stop_nimbrel
