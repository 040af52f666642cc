#!/usr/bin/env bash
# Ten catalogue applications erased through the real window in one run: registry-only,
# file-only and mixed sections, "Real Player 8" with its two sections and the RealOne
# history, and the four path macros ("%Program Files%" in each program-files folder of
# the prefix as Wine makes it). Exactly the planted traces go, every neighbour
# stays as it was, each erased file gets a progress line and no definitions file is left.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

TICKED=("ACDSee4" "Ad Adware 6" "Agent NewsReader" "Real Player 8" "Real Player 10" "Sonique"
  "Windows Media Player" "WinRar 3.x" "Winzip" "Zone Alram Logs")

# The program-files folders the definitions use, as Wine's prefix has them (nothing
# planted): a 64-bit exe runs each "%Program Files%" line in both, a 32-bit one sees
# only the 32-bit programs' folder. The traces of the folder not used must stay.
CV='HKLM\Software\Microsoft\Windows\CurrentVersion'
! reg_query "$CV" PROG_FILES_DIR >/dev/null || fail "the prefix has a PROG_FILES_DIR value"
if [ "$(e2e_pe_arch "$WINEPREFIX/drive_c/Nimbrel/Nimbrel.exe")" == i386 ]; then
  ERASED_PF=('C:\Program Files (x86)') LEFT_PF=('C:\Program Files')
else
  ERASED_PF=('C:\Program Files' 'C:\Program Files (x86)') LEFT_PF=()
fi
pf=${ERASED_PF[0]}
win='C:\windows'
profile=$E2E_PROFILE
realone="$profile\\Application Data\\Real\\RealOne Player"

# ---- Registry: traces (data "trace") and neighbours (data "kept"), one import ----
ACD='HKEY_CURRENT_USER\Software\ACD Systems\ACDSee'
RAR='HKEY_CURRENT_USER\Software\WinRAR\DialogEditHistory'
ZIP='HKEY_CURRENT_USER\Software\Nico Mak Computing\Winzip'
PREFS='Software\RealNetworks\RealPlayer\6.0\Preferences'
SON='HKEY_CURRENT_USER\Software\MediaScience\Sonique'
WMP='HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player'
# KEY|VALUE: gone afterwards, or kept with its data.
GONE_VALUES=("$ACD|ImageDB" "$ACD|LastFolder" "$ACD\\Browser|FolderHistory0"
  "$ZIP\\directories|DefDir" "$ZIP\\directories|ExtractTo"
  "$SON\\General Preferences 0.80|LoadPlaylist")
KEPT_VALUES=("$ACD|ViewerMode" "$ACD\\Browser|Columns" "$ZIP\\directories|AddDir"
  "$SON\\General Preferences 0.80|Skin" "$RAR\\ExtrPath|0" "$ZIP\\fm|0"
  "HKEY_CURRENT_USER\\$PREFS\\Volume|v" "$SON\\Skins|0" "$WMP\\Settings|0")
# Keys deleted whole (each planted with one value).
GONE_KEYS=("$RAR\\ArcName" "$ZIP\\filemenu" "$ZIP\\extract"
  "HKEY_CURRENT_USER\\$PREFS\\MostRecentClips1" "HKEY_CURRENT_USER\\$PREFS\\MostRecentClips12"
  "HKEY_CURRENT_USER\\$PREFS\\SaveDir" "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\$PREFS\\MostRecentClips1"
  "$SON\\PLAY_HISTORY" "$SON\\URL_HISTORY" "$WMP\\RecentFileList" "$WMP\\RecentURLList")
reg_line() { printf '[%s]\r\n"%s"="%s"\r\n\r\n' "$1" "$2" "$3"; }
{
  printf 'REGEDIT4\r\n\r\n'
  for kv in "${GONE_VALUES[@]}"; do reg_line "${kv%|*}" "${kv#*|}" trace; done
  for kv in "${KEPT_VALUES[@]}"; do reg_line "${kv%|*}" "${kv#*|}" "kept ${kv#*|}"; done
  for k in "${GONE_KEYS[@]}"; do reg_line "$k" 0 trace; done
} >"$WINEPREFIX/drive_c/plant.reg"
reg_import plant.reg "importing the registry traces"
for k in "${GONE_KEYS[@]}"; do reg_key_exists "$k" || fail "not planted: $k"; done

# ---- Files: traces (gone, each with a progress line) and neighbours (kept) ----
# An application's traces in a program-files folder, and the files beside them.
pf_traces() {
  printf '%s\n' "$1\\Lavasoft\\Ad-Aware 6\\Logs\\scan.log" \
    "$1\\Lavasoft\\Ad-Aware 6\\Logs\\old\\scan2.log" "$1\\Agent\\Data\\a.IDX" \
    "$1\\Agent\\Data\\b.idx" "$1\\Agent\\Data\\c.DAT" "$1\\Agent\\Data\\d.bak"
}
pf_neighbours() {
  printf '%s\n' "$1\\Lavasoft\\Ad-Aware 6\\defs.ref" "$1\\Lavasoft\\Ad-Aware 6\\Logs2\\keep.log" \
    "$1\\Agent\\Data\\groups.ini" "$1\\Agent\\Data\\Folder.IDX\\inside.txt"
}
mapfile -t PF_GONE < <(for f in "${ERASED_PF[@]}"; do pf_traces "$f"; done)
mapfile -t PF_LEFT < <(for f in ${LEFT_PF[@]+"${LEFT_PF[@]}"}; do pf_traces "$f"; done)
mapfile -t PF_KEPT < <(for f in "${ERASED_PF[@]}" ${LEFT_PF[@]+"${LEFT_PF[@]}"}; do
  pf_neighbours "$f"
done)
GONE_FILES=("${PF_GONE[@]}"
  "$win\\Internet Logs\\ZALog.txt"
  "$realone\\History\\h1.rpl" "$realone\\History\\sub\\h2.rpl" "$realone\\realplayer.ste"
  "$profile\\Real\\RealPlayer\\history.rpl" "$profile\\Real\\RealPlayer\\player.log"
  "$pf\\Real\\RealPlayer\\setup.log" "$pf\\Real\\RealPlayer\\rpdebug.txt"
  "$win\\rpupgrade.log" 'C:\rpinstall.log'
  "$pf\\Sonique\\party.pls"
  "$win\\wmplibrary_v_0_12.db" "$win\\wmplibrary_v_0_12.lrd"
  "$win\\All Users\\Application Data\\Microsoft\\Media Index\\index.wmdb"
  "$win\\All Users\\Application Data\\Microsoft\\Media Index\\sub\\more.wmdb")
KEPT_FILES=("${PF_KEPT[@]}" ${PF_LEFT[@]+"${PF_LEFT[@]}"}
  "$win\\Internet Logs\\ZALog.old"
  "$realone\\prefs.txt" "$realone\\History2\\h3.rpl"
  "$profile\\Real\\RealPlayer\\prefs.ini" "$pf\\Real\\RealPlayer\\realplay.exe"
  "$win\\rpkeep.txt" 'C:\rpkeep.txt'
  "$pf\\Sonique\\sonique.exe" "$pf\\Sonique\\Skins\\skin.pls"
  "$win\\wmplibrary_v_0_13.db" "$win\\All Users\\Application Data\\Microsoft\\keep.txt")
for f in "${GONE_FILES[@]}"; do plant_file "$f" "trace $f"; done
for f in "${KEPT_FILES[@]}"; do plant_file "$f" "kept $f"; done
# Folders that the erasers must leave, even empty.
KEPT_FOLDERS=("$pf\\Agent\\Data" "$pf\\Lavasoft\\Ad-Aware 6" "$realone\\History\\sub"
  "$win\\All Users\\Application Data\\Microsoft" "$pf\\Real\\RealPlayer")
win_ini=$(md5sum <"$(unix_path "$win\\win.ini")" 2>/dev/null || true)

# ---- Only the ten applications ticked; one run ----
choose
tick "${TICKED[@]}"

start_nimbrel
expected_rows=$(for app in "${APPS[@]}"; do
  for t in "${TICKED[@]}"; do [ "$app" == "$t" ] && printf '%s\n' "$app"; done
done)
assert_eq "$(drv items FrmMain lvwToBeErased | cut -f1)" "$expected_rows" "to-be-erased list"
drv click FrmMain Label2
drv wait FrmMessage 120000 >/dev/null || fail "no completion message"
progress=$(drv items FrmMain LstShowingTracksErasedProgress)
states=$(drv items FrmMain lvwToBeErased | cut -f2 | sort -u)
shot applications-erased
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"
stop_nimbrel

assert_eq "$states" "Done" "row states"
for app in "${TICKED[@]}"; do
  grep -qxF "Cleaning $app <OK>" <<<"$progress" || fail "no row line for $app"
done

# ---- What went and what stayed ----
for kv in "${GONE_VALUES[@]}"; do
  ! reg_query "${kv%|*}" "${kv#*|}" >/dev/null || fail "value not deleted: $kv"
done
for kv in "${KEPT_VALUES[@]}"; do
  assert_eq "$(reg_query "${kv%|*}" "${kv#*|}")" "kept ${kv#*|}" "neighbour value $kv"
done
for k in "${GONE_KEYS[@]}"; do ! reg_key_exists "$k" || fail "key not deleted: $k"; done

for f in "${GONE_FILES[@]}"; do
  assert_file_gone "$f"
  grep -qixF "  $f" <<<"$progress" || fail "no progress line for $f"
done
for f in "${KEPT_FILES[@]}"; do
  assert_eq "$(cat "$(unix_path "$f")")" "kept $f" "neighbour $f"
done
for d in "${KEPT_FOLDERS[@]}"; do [ -d "$(unix_path "$d")" ] || fail "folder removed: $d"; done
# A "*.*" line removes its folder itself, with a line for it.
for d in "${ERASED_PF[@]/%/\\Lavasoft\\Ad-Aware 6\\Logs}" \
  "$win\\All Users\\Application Data\\Microsoft\\Media Index"; do
  assert_file_gone "$d"
  grep -qixF "  $d\\" <<<"$progress" || fail "no progress line for the folder $d"
done
assert_eq "$(md5sum <"$(unix_path "$win\\win.ini")" 2>/dev/null || true)" "$win_ini" "win.ini"
assert_file_gone "$E2E_TEMP\\WFView"
