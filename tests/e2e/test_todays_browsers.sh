#!/usr/bin/env bash
# Today's browsers through the real window: Chrome (two profiles), Edge, Brave, Vivaldi,
# Opera (Stable and GX) and Firefox (a relative and an absolute profile) planted in the
# Windows 10 layout, their Sessions ticked on the Today's Browsers page (screenshot), a
# run that erases every cache and session file and leaves every other profile file as it
# was; a chrome.exe running, or a Chrome of another name holding its lockfile, makes
# Chrome's rows leave everything and say so, and with
# "Close today's browsers before erasing" on its window is asked to close and the run
# erases; then Chrome and Firefox in the Windows XP layout, through /preview and /erase.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
USER_SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
LOG=$WINEPREFIX/drive_c/Nimbrel/Log.txt
DONE_MESSAGE=" All selected tracks were erased sucessfully."
RUNNING_LINE="  Chrome is running: its history, cookies, cache, sessions and site data were left"
CHROME_EXE='C:\Program Files\Google\Chrome\Application\chrome.exe'

# ---- Planting: ERASED holds the cache and session files, KEPT every other file.
ERASED=()
KEPT=()
erased() { plant_file "$1" "cache or session: $1"; ERASED+=("$1"); }
kept() { plant_file "$1" "kept: $1"; KEPT+=("$1"); }

# plant_chromium DATA CACHE PROFILE...: a Chromium data folder, the folder its cache
# lies in (the same but for Opera) and its profiles ("." for the data folder itself).
plant_chromium() {
  local data=$1 cache=$2 p at cached
  shift 2
  kept "$data\\Local State"
  erased "$cache\\ShaderCache\\data_0"
  erased "$cache\\GrShaderCache\\data_0"
  for p in "$@"; do
    at=$data\\$p cached=$cache\\$p
    [ "$p" != . ] || at=$data cached=$cache
    kept "$at\\Preferences"
    kept "$at\\Bookmarks"
    kept "$at\\Login Data"
    kept "$at\\History"
    kept "$at\\Network\\Cookies"
    kept "$at\\Extensions\\abcdefgh\\1.0\\manifest.json"
    erased "$cached\\Cache\\Cache_Data\\data_0"
    erased "$cached\\Cache\\Cache_Data\\f_000001"
    erased "$cached\\Code Cache\\js\\index"
    erased "$cached\\GPUCache\\data_1"
    erased "$at\\Sessions\\Session_13300000000000001"
    for f in "Current Session" "Current Tabs" "Last Session" "Last Tabs"; do erased "$at\\$f"; done
  done
}

# plant_firefox ROAMING LOCAL: a relative profile, and an absolute one away from both.
plant_firefox() {
  local ff=$1\\Mozilla\\Firefox local=$2\\Mozilla\\Firefox\\Profiles\\abc.default p
  p=$ff\\Profiles\\abc.default
  plant_file "$ff\\profiles.ini" "$(printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\nDefault=1\r\n\r\n[Profile1]\r\nName=away\r\nIsRelative=0\r\nPath=C:\\FirefoxAway\\ff\r\n')"
  KEPT+=("$ff\\profiles.ini")
  for f in prefs.js places.sqlite cookies.sqlite key4.db logins.json \
    'extensions\addon@example.xpi'; do kept "$p\\$f"; done
  erased "$p\\sessionstore.jsonlz4"
  erased "$p\\sessionstore-backups\\recovery.jsonlz4"
  erased "$local\\cache2\\entries\\0A1B2C3D"
  erased "$local\\startupCache\\startupCache.8.little"
  erased "$local\\thumbnails\\a1b2.png"
  kept 'C:\FirefoxAway\ff\prefs.js'
  kept 'C:\FirefoxAway\ff\places.sqlite'
  erased 'C:\FirefoxAway\ff\cache2\entries\4E5F'
  erased 'C:\FirefoxAway\ff\sessionstore.jsonlz4'
}

# The planted cache and session files below Chrome's folder, or (v) elsewhere.
chrome_files() { printf '%s\n' "${ERASED[@]}" | grep "-i${1:-}F" '\Google\Chrome\' || true; }
check_gone() {
  local f
  while IFS= read -r f; do [ -z "$f" ] || assert_file_gone "$f"; done
}
check_there() {
  local f
  while IFS= read -r f; do
    [ -z "$f" ] || [ "$(cat "$(unix_path "$f")" 2>/dev/null)" == "cache or session: $f" ] ||
      fail "left as it was: $f"
  done
}
check_kept() {
  local f
  for f in "${KEPT[@]}"; do
    [[ $f == *profiles.ini ]] && continue
    assert_eq "$(cat "$(unix_path "$f")" 2>/dev/null)" "kept: $f" "kept file $f"
  done
}

# erase [SHOT]: Start Erasing through the window; the progress lines in $progress.
erase() {
  drv click FrmMain Label2
  drv wait FrmMessage 60000 >/dev/null || fail "no completion message"
  assert_eq "$(drv text FrmMessage lblMesage)" "$DONE_MESSAGE" "completion message"
  progress=$(drv items FrmMain LstShowingTracksErasedProgress)
  [ -z "${1:-}" ] || shot "$1"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the message did not close"
}
count_lines() { grep -cxF -- "$1" <<<"$progress" || true; }
rows() { drv items FrmMain lvwToBeErased | cut -f1; }

# ---- Windows 10 layout: all six browsers.
local_win=$(reg_query "$SHELL_FOLDERS" "Local AppData") || fail "no Local AppData shell folder"
roaming_win=$(reg_query "$SHELL_FOLDERS" AppData) || fail "no AppData shell folder"
local_win=${local_win%\\} roaming_win=${roaming_win%\\}
plant_all() {
  ERASED=() KEPT=()
  plant_chromium "$local_win\\Google\\Chrome\\User Data" "$local_win\\Google\\Chrome\\User Data" \
    Default "Profile 1"
  plant_chromium "$local_win\\Microsoft\\Edge\\User Data" "$local_win\\Microsoft\\Edge\\User Data" \
    Default
  plant_chromium "$local_win\\BraveSoftware\\Brave-Browser\\User Data" \
    "$local_win\\BraveSoftware\\Brave-Browser\\User Data" Default
  plant_chromium "$local_win\\Vivaldi\\User Data" "$local_win\\Vivaldi\\User Data" Default
  plant_chromium "$roaming_win\\Opera Software\\Opera Stable" \
    "$local_win\\Opera Software\\Opera Stable" .
  plant_chromium "$roaming_win\\Opera Software\\Opera GX Stable" \
    "$local_win\\Opera Software\\Opera GX Stable" .
  plant_firefox "$roaming_win" "$local_win"
}
plant_all
choose  # none of the eighteen categories, no application
start_nimbrel
# The first start ticks Cache and History of every browser found: their rows.
assert_eq "$(rows)" "$(printf '%s History\n%s Cache\n' Chrome Chrome Edge Edge Brave Brave \
  Vivaldi Vivaldi "Opera Stable" "Opera Stable" Firefox Firefox)" "rows at the first start"

drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
drv click FrmEraseingSettings lblTodaysBrowsers
poll_eq 5 1 drv visible FrmEraseingSettings chkChromeCache || fail "Today's Browsers page not shown"
for b in Chrome Edge Brave Vivaldi OperaStable Firefox; do
  assert_eq "$(drv enabled FrmEraseingSettings "chk${b}Cache")" 1 "$b found"
  assert_eq "$(drv checked FrmEraseingSettings "chk${b}Cache")" 1 "chk${b}Cache on a fresh profile"
  assert_eq "$(drv checked FrmEraseingSettings "chk${b}History")" 1 "chk${b}History on a fresh profile"
  assert_eq "$(drv checked FrmEraseingSettings "chk${b}Sessions")" 0 "chk${b}Sessions on a fresh profile"
  assert_eq "$(reg_query "$OPTIONS" "chk${b}Cache")" 1 "chk${b}Cache written"
  drv click FrmEraseingSettings "chk${b}Sessions"
  poll_eq 10 1 reg_query "$OPTIONS" "chk${b}Sessions" || fail "chk${b}Sessions not written 1"
  # The databases' rows are test_browser_databases.sh's.
  drv click FrmEraseingSettings "chk${b}History"
  poll_eq 10 0 reg_query "$OPTIONS" "chk${b}History" || fail "chk${b}History not written 0"
done
assert_eq "$(drv text FrmEraseingSettings lblOperaStable)" "Opera" "Opera's label"
shot erase-settings-todays-browsers FrmEraseingSettings
drv click FrmEraseingSettings cmdBrowsersExit
drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
expected_rows=$(printf '%s\n' "Chrome Cache" "Chrome Sessions" "Edge Cache" "Edge Sessions" \
  "Brave Cache" "Brave Sessions" "Vivaldi Cache" "Vivaldi Sessions" "Opera Stable Cache" \
  "Opera Stable Sessions" "Firefox Cache" "Firefox Sessions")
poll_eq 10 "$expected_rows" rows || fail "to-be-erased rows: $(rows)"

erase todays-browsers-erased
printf '%s\n' "${ERASED[@]}" | check_gone
check_kept
for f in "${ERASED[@]}"; do
  assert_eq "$(count_lines "  $f")" 1 "progress line of $f"
done
assert_eq "$(count_lines "$RUNNING_LINE")" 0 "the running line with no browser running"

# ---- A chrome.exe running: Chrome's rows leave everything and say so, once.
plant_all
plant_file "$CHROME_EXE"
cp "$WINEPREFIX/drive_c/Nimbrel/FakeBrowser.exe" "$(unix_path "$CHROME_EXE")"
(cd "$WINEPREFIX/drive_c" && exec "$E2E_WINE" "$CHROME_EXE") >>"$E2E_DIR/chrome.log" 2>&1 &
CHROME_PID=$!
drv wait class:Chrome_WidgetWin_1 20000 >/dev/null || fail "chrome.exe showed no window"
erase
[ -n "$(chrome_files)" ] || fail "no Chrome file planted"
chrome_files | check_there
chrome_files v | check_gone
check_kept
assert_eq "$(count_lines "$RUNNING_LINE")" 1 "progress lines saying Chrome runs"
assert_eq "$(grep -cxF -- "$RUNNING_LINE" <(tr -d '\r' <"$LOG"))" 1 "log lines saying Chrome runs"
kill -0 "$CHROME_PID" 2>/dev/null || fail "chrome.exe was ended"

# ---- "Close today's browsers before erasing": its window is asked to close, then the
# run erases.
drv click FrmMain Label8
drv wait FrmOptions 20000 >/dev/null || fail "the options dialog did not open"
assert_eq "$(drv text FrmOptions ChkCloseBrowsers)" "Close today's browsers before erasing" \
  "the option's text"
assert_eq "$(drv checked FrmOptions ChkCloseBrowsers)" 0 "the option on a fresh profile"
drv click FrmOptions ChkCloseBrowsers
drv click FrmOptions Command7
drv gone FrmOptions 10000 || fail "the options dialog did not close"
assert_eq "$(reg_query "$OPTIONS" ChkCloseBrowsers)" 1 "ChkCloseBrowsers stored"
erase
poll 10 eval '! kill -0 "$CHROME_PID" 2>/dev/null' || fail "chrome.exe did not close"
wait "$CHROME_PID" 2>/dev/null || true
printf '%s\n' "${ERASED[@]}" | check_gone
check_kept
assert_eq "$(count_lines "$RUNNING_LINE")" 0 "the running line once Chrome closed"

# ---- A Chrome under another name holds its own lockfile: its rows leave everything and
# say so, as for chrome.exe.
plant_all
lockfile="$local_win\\Google\\Chrome\\User Data\\lockfile"
plant_file "$lockfile" ""
drv hold "$lockfile" 60000 >"$E2E_DIR/lock.out" &
hold_pid=$!
poll 20 grep -q held "$E2E_DIR/lock.out" || fail "the lockfile is not held"
erase
chrome_files | check_there
assert_eq "$(count_lines "$RUNNING_LINE")" 1 "progress lines saying Chrome runs by its lockfile"
kill "$hold_pid" 2>/dev/null || true
wait "$hold_pid" 2>/dev/null || true
stop_nimbrel

# ---- Windows XP layout: Chrome and Firefox under "Local Settings\Application Data"
# and "Application Data", through /preview and /erase.
xp_local="$E2E_PROFILE\\Local Settings\\Application Data"
xp_roaming="$E2E_PROFILE\\Application Data"
reg_add 'HKCU\Software\Wine\AppDefaults\Nimbrel.exe' Version winxp
reg_add "$USER_SHELL_FOLDERS" "Local AppData" "$xp_local" REG_EXPAND_SZ
reg_add "$USER_SHELL_FOLDERS" AppData "$xp_roaming" REG_EXPAND_SZ
reg_add "$SHELL_FOLDERS" "Local AppData" "$xp_local"
reg_add "$SHELL_FOLDERS" AppData "$xp_roaming"
ERASED=() KEPT=()
plant_chromium "$xp_local\\Google\\Chrome\\User Data" "$xp_local\\Google\\Chrome\\User Data" \
  Default
plant_firefox "$xp_roaming" "$xp_local"

start_nimbrel
drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
drv click FrmEraseingSettings lblTodaysBrowsers
poll_eq 5 1 drv visible FrmEraseingSettings chkChromeCache || fail "Today's Browsers page not shown"
assert_eq "$(drv text FrmEraseingSettings lblEdge)" "Edge (not found)" "Edge's label on XP"
assert_eq "$(drv enabled FrmEraseingSettings chkEdgeCache)" 0 "Edge's boxes on XP"
assert_eq "$(drv enabled FrmEraseingSettings chkFirefoxSessions)" 1 "Firefox's boxes on XP"
shot erase-settings-todays-browsers-xp FrmEraseingSettings
drv click FrmEraseingSettings cmdBrowsersExit
drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
poll_eq 10 "$(printf '%s\n' "Chrome Cache" "Chrome Sessions" "Firefox Cache" "Firefox Sessions")" \
  rows || fail "to-be-erased rows on XP: $(rows)"
stop_nimbrel

run_nimbrel() {
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe "$@") >>"$E2E_DIR/nimbrel.log" 2>&1
}
run_nimbrel /preview 'C:\preview.tsv' || fail "/preview failed"
preview=$(tr -d '\r' <"$WINEPREFIX/drive_c/preview.tsv")
printf '%s\n' "${ERASED[@]}" | check_there
for f in "${ERASED[@]}"; do
  grep -qiF "$(printf '\tfile\t%s\t' "$f")" <<<"$preview" || fail "/preview lacks $f"
done
assert_eq "$(grep -c $'\tfile\t' <<<"$preview")" "${#ERASED[@]}" "files in the preview"
away='C:\FirefoxAway\ff\sessionstore.jsonlz4'
grep -qF "Firefox Sessions"$'\t'file$'\t'"$away"$'\t' <<<"$preview" ||
  fail "the absolute profile's sessions under their row"
run_nimbrel /erase || fail "/erase failed"
printf '%s\n' "${ERASED[@]}" | check_gone
check_kept
