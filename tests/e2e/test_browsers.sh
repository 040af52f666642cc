#!/usr/bin/env bash
# The Internet Explorer, Opera and Netscape categories through the real window, each
# ticked alone: cookies with a keep list, the WinINet URL cache, the cache folder, the
# index.dat files removed at the next start, and the Opera and Mozilla folders, which
# exist only on a Windows version the program knows.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
SESSION='HKLM\System\CurrentControlSet\Control\Session Manager'
APP_DEFAULTS='HKCU\Software\Wine\AppDefaults\Nimbrel.exe'
OPERA_KEY='HKCU\Software\Opera Software'
DONE_MESSAGE=" All selected tracks were erased sucessfully."

# erase_alone KEY LABEL: ticks KEY alone, erases through the window and keeps the
# progress lines in $progress.
erase_alone() {
  choose "$1"
  start_nimbrel
  assert_eq "$(drv items FrmMain lvwToBeErased | cut -f1)" "$2" "the row for $1"
  drv click FrmMain Label2
  drv wait FrmMessage 60000 >/dev/null || fail "no completion message for $2"
  assert_eq "$(drv text FrmMessage lblMesage)" "$DONE_MESSAGE" "message after $2"
  assert_eq "$(drv items FrmMain lvwToBeErased | cut -f2)" Done "state of $2"
  progress=$(drv items FrmMain LstShowingTracksErasedProgress)
  [ -z "${3:-}" ] || shot "$3"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the message did not close"
  stop_nimbrel
}
# count_lines TEXT: how many progress lines are exactly TEXT.
count_lines() { grep -cxF -- "$1" <<<"$progress" || true; }
cache_list() { drv cache-list | cut -f1,2; }

cookies_win=$(reg_query "$SHELL_FOLDERS" Cookies) || fail "no Cookies shell folder"
cache_win=$(reg_query "$SHELL_FOLDERS" Cache) || fail "no Cache shell folder"
history_win=$(reg_query "$SHELL_FOLDERS" History) || fail "no History shell folder"
cookies=$(unix_path "$cookies_win")
cache=$(unix_path "$cache_win")
history=$(unix_path "$history_win")

# ---- Cookies: all but index.dat and the two on the keep list; never through a link.
drv cache-list >/dev/null  # WinINet makes its index.dat files
mkdir -p "$cookies" "$E2E_DIR/outside"
[ -e "$cookies/index.dat" ] || printf 'index' >"$cookies/index.dat"
for c in keep@one keep@two gone@three gone@hidden gone@readonly; do
  printf 'cookie %s' "$c" >"$cookies/${c}[1].txt"
done
setfattr -n user.DOSATTRIB -v '"0x2"' "$cookies/gone@hidden[1].txt"
chmod a-w "$cookies/gone@readonly[1].txt"
printf 'outside the Cookies folder' >"$E2E_DIR/outside/victim.txt"
ln -s "$E2E_DIR/outside/victim.txt" "$cookies/link@x[1].txt"
printf '[Cookies]\r\nCookie_Keep1=keep@one[1].txt\r\nCookie_Keep2=keep@two[1].txt\r\nCounter=2\r\n' \
  >"$(unix_path 'C:\Nimbrel')/Cookies.ini"

erase_alone chkCookies "Cookies" cookies-erased
assert_eq "$(find "$cookies" -maxdepth 1 -type f -printf '%f\n' | sort | tr '\n' ' ')" \
  "index.dat keep@one[1].txt keep@two[1].txt " "files left in the Cookies folder"
assert_eq "$(cat "$E2E_DIR/outside/victim.txt")" "outside the Cookies folder" "the link's target"
for c in keep@one keep@two gone@three gone@hidden gone@readonly; do
  assert_eq "$(count_lines "  ${c}[1].txt")" 1 "progress line for $c"
done
assert_eq "$(count_lines "  index.dat")" 0 "progress line for index.dat"
rm -f "$cookies/link@x[1].txt"

# A Cookies folder that is a link to a documents folder, or lies below one: nothing goes.
docs=$WINEPREFIX/drive_c/e2edocs
mkdir -p "$docs/Cookies"
printf 'my document' >"$docs/doc.txt"
printf 'my document' >"$docs/Cookies/doc.txt"
ln -s "$docs" "$WINEPREFIX/drive_c/e2elink"
for linked in 'C:\e2elink' 'C:\e2elink\Cookies'; do
  reg_add "$SHELL_FOLDERS" Cookies "$linked"
  erase_alone chkCookies "Cookies"
  assert_eq "$(cat "$docs/doc.txt" "$docs/Cookies/doc.txt")" "my documentmy document" \
    "documents behind the Cookies folder $linked"
  assert_eq "$(count_lines "  doc.txt")" 0 "progress line for doc.txt through $linked"
done
reg_add "$SHELL_FOLDERS" Cookies "$cookies_win"

# ---- Internet History: the URL cache's first entry and its normal entries go.
drv cache-add 'Cookie:root@first.example/' cookie >/dev/null
drv cache-add 'Cookie:root@second.example/' cookie >/dev/null
drv cache-add 'Visited: root@http://visited.example/' history >/dev/null
drv cache-add 'Visited: root@http://nofile.example/' history nofile >/dev/null
drv cache-add 'http://normal.example/page.htm' normal >/dev/null
drv cache-add 'http://nofile.example/data' normal nofile >/dev/null
before=$(cache_list)
assert_eq "$(wc -l <<<"$before")" 6 "entries planted"
first=$(head -n1 <<<"$before" | cut -f1)
expected=$(tail -n +2 <<<"$before" | awk -F'\t' '$2 != "1"')

erase_alone chkInternetHistory "Internet History"
assert_eq "$(cache_list)" "$expected" "URL cache entries left"
for url in "$first" http://normal.example/page.htm http://nofile.example/data; do
  assert_eq "$(count_lines "  $url")" 1 "progress line for $url"
done

# ---- Temporary Internet files: the cache entries, then every file of the cache folder.
drv cache-add 'http://temporary.example/t.htm' normal >/dev/null
mkdir -p "$cache/Content.IE5/PLANTED1"
printf 'page' >"$cache/Content.IE5/PLANTED1/page[1].htm"
erase_alone chkTemporaryInternetfiles "Temporary Internet files"
cache_list | grep -q 'temporary.example' && fail "the normal cache entry is still listed"
[ ! -e "$cache/Content.IE5/PLANTED1/page[1].htm" ] || fail "the cache folder's file stayed"
assert_eq "$(count_lines "  http://temporary.example/t.htm")" 1 "progress line for the entry"
assert_eq "$(count_lines "  ${cache_win%\\}\\Content.IE5\\PLANTED1\\page[1].htm")" 1 \
  "progress line for the cache folder's file"

# ---- Index: DelIndex.BAT and Autoexec.bat, and the files registered for the next start.
ie5="$history/History.IE5"
for day in MSHist012026120120261208 MSHist012026120820261215 MSHist012026121520261222; do
  mkdir -p "$ie5/$day"
  printf 'day index' >"$ie5/$day/index.dat"
done
setfattr -n user.DOSATTRIB -v '"0x2"' "$ie5/MSHist012026121520261222/index.dat"
printf 'root index' >"$history/index.dat"
# Files that merely hold the name: neither named in the batch nor registered.
for f in index.dat.bak myindex.dat INDEX.DAT.old; do printf 'mine' >"$ie5/MSHist012026120120261208/$f"; done
[ -e "$ie5/index.dat" ] || printf 'history index' >"$ie5/index.dat"
# Two that cannot be deleted while the system runs.
chmod a-w "$ie5/index.dat" "$cookies/index.dat"
printf 'SET PATH=C:\\DOS' >"$WINEPREFIX/drive_c/autoexec.bat"
reg_exe delete "$SESSION" /v PendingFileRenameOperations /f >/dev/null || true

erase_alone chkIndex "Index"
erase_alone chkIndex "Index"
batch=$(tr -d '\r' <"$(unix_path 'C:\windows\DelIndex.BAT')")
h=${history_win%\\}
day1="DEL \"$h\\History.IE5\\MSHist012026120120261208\\index.dat\""
day2="DEL \"$h\\History.IE5\\MSHist012026120820261215\\index.dat\""
run_lines=$(printf '%s\n' '@ECHO OFF' "$(printf '%s\n' "$day1" "$day2" | sort)" \
  "DEL \"$h\\History.IE5\\index.dat\"" "DEL \"$h\\index.dat\"")
# Lines FROM+1 to FROM+5 of the batch, one run's, with the two day folders' lines sorted:
# the system lists folders in an order of its own.
run_of() {
  awk -v from="$1" 'NR > from && NR <= from + 5' <<<"$batch" | {
    read -r a && read -r b && read -r c && read -r d && read -r e
    printf '%s\n' "$a" "$(printf '%s\n' "$b" "$c" | sort)" "$d" "$e"
  }
}
# Each path once: the second run finds its lines there and adds none.
assert_eq "$(wc -l <<<"$batch")" 5 "lines of DelIndex.BAT after two runs"
assert_eq "$(run_of 0)" "$run_lines" "DelIndex.BAT"
assert_eq "$(od -An -c <"$WINEPREFIX/drive_c/autoexec.bat" | tr -s ' \n' ' ')" \
  "$(printf 'SET PATH=C:\\DOS\r\n@ECHO OFF\r\nC:\\windows\\DelIndex.BAT\r\n' | od -An -c |
    tr -s ' \n' ' ')" "Autoexec.bat"
pending=$(reg_query "$SESSION" PendingFileRenameOperations) ||
  fail "no file registered for deletion at the next start"
for f in "$h\\History.IE5\\index.dat" "${cookies_win%\\}\\index.dat" "$h\\index.dat" \
  "$h\\History.IE5\\MSHist012026120120261208\\index.dat" \
  "$h\\History.IE5\\MSHist012026120820261215\\index.dat"; do
  grep -qiF "$f" <<<"$pending" || fail "not registered for the next start: $f ($pending)"
done
grep -qiF 'MSHist012026121520261222' <<<"$pending" && fail "the hidden index.dat was registered"
grep -qiE 'index\.dat\.bak|myindex|INDEX\.DAT\.old' <<<"$pending$batch" &&
  fail "a file merely holding the name index.dat was registered or named"
grep -qiF 'Content.IE5\index.dat' <<<"$pending" && fail "the cache's free index.dat was registered"
{ [ -e "$ie5/index.dat" ] && [ -e "$cookies/index.dat" ]; } ||
  fail "the locked index.dat files went"

# ---- Opera and Netscape on Windows XP: full profiles (Opera 6 in the profile folder,
# Opera 9 in its "profile" folder, an Opera 7 installation beside it, a Netscape 7 /
# Mozilla 1.x profile and a one-level one, and a folder of each that is a link), of
# which each row erases the files it names and nothing else.
opera_root="$E2E_PROFILE\\Application Data\\Opera\\"
opera="${opera_root}Opera\\"
o9="${opera}profile\\"
o7="${opera_root}Opera7\\profile\\"
mozilla="$E2E_PROFILE\\Application Data\\Mozilla\\Profiles\\"
ns="${mozilla}default\\k1m2n3o4.slt\\"
one="${mozilla}x.default\\"
saves="C:\\OperaSaves\\"
elsewhere="$E2E_DIR/elsewhere"
OPERA_CACHE=("${opera}cache4\\dcache4.url" "${opera}cache4\\opr00001.htm"
  "${o9}cache4\\opr0000A.gif" "${o9}opcache\\opr0000B.tmp" "${o7}cache4\\dcache4.url"
  "${o7}cache4\\opr00003.jpg")
OPERA_HISTORY=("${opera}global.dat" "${opera}vlink4.dat" "${opera}opera.dir"
  "${o9}global_history.dat" "${o9}typed_history.xml" "${o9}vlink4.dat" "${o7}global.dat"
  "${o7}vlink4.dat")
OPERA_COOKIES=("${opera}cookies4.dat" "${o9}cookies4.dat" "${o7}cookies4.dat")
# The remembered folder's: Opera's files there go with the Opera rows.
SAVES=("${saves}cache4\\opr00002.gif" "${saves}opera.win" "${saves}global.dat")
MOZ_CACHE=("${ns}Cache\\_CACHE_MAP_" "${ns}Cache\\_CACHE_001_" "${ns}Cache\\0\\A3\\1B2C3d01"
  "${ns}Cache.Trash\\_CACHE_002_" "${one}Cache\\_CACHE_001_")
MOZ_HISTORY=("${ns}history.dat" "${one}history.dat")
MOZ_TYPED=("${ns}localstore.rdf")
MOZ_COOKIES=("${ns}cookies.txt" "${one}cookies.txt" "${ns}cookperm.txt")
KEPT=("${opera_root}opera6.ini" "${opera}opera6.ini" "${opera}opera6.adr" "${opera}wand.dat"
  "${opera}opera.win" "${opera}download.dat" "${opera}mail\\Default\\inbox.mbs"
  "${opera}Skin\\standard.zip" "${o9}opera6.ini" "${o9}opera6.adr" "${o9}contacts.adr"
  "${o9}notes.adr" "${o9}wand.dat" "${o9}opcert6.dat" "${o9}opcacrt6.dat" "${o9}download.dat"
  "${o9}sessions\\autosave.win" "${opera}mail\\index.ini"
  "${opera}mail\\store\\account1\\2007\\01\\01\\1.mbs" "${o7}opera6.ini" "${o7}opera6.adr"
  "${o7}wand.dat" "${opera_root}Opera7\\mail\\accounts.ini" "${saves}letter.txt"
  "${mozilla}registry.dat" "${ns}prefs.js" "${ns}bookmarks.html" "${ns}key3.db" "${ns}cert8.db"
  "${ns}secmod.db" "${ns}signons.txt" "${ns}a1b2c3d4.s" "${ns}abook.mab" "${ns}hostperm.1"
  "${ns}formhistory.dat" "${ns}downloads.rdf" "${ns}panacea.dat" "${ns}mimeTypes.rdf"
  "${ns}chrome\\userChrome.css" "${ns}Mail\\Local Folders\\Inbox"
  "${ns}Mail\\Local Folders\\Inbox.msf" "${ns}Mail\\pop.example.com\\Sent"
  "${ns}ImapMail\\imap.example.com\\INBOX.msf" "${ns}News\\news.example.com\\a.rc"
  "${one}prefs.js" "${one}bookmarks.html")
plant_browsers() {
  local f
  for f in "${OPERA_CACHE[@]}" "${OPERA_HISTORY[@]}" "${OPERA_COOKIES[@]}" "${SAVES[@]}" \
    "${MOZ_CACHE[@]}" "${MOZ_HISTORY[@]}" "${MOZ_TYPED[@]}" "${MOZ_COOKIES[@]}" "${KEPT[@]}"; do
    plant_file "$f" "$f"
  done
  plant_file "${saves}cookies4.dat"
  mkdir -p "$elsewhere/opera/cache4" "$elsewhere/mozilla/Cache"
  for f in opera/cache4/opr0000C.htm opera/global.dat mozilla/Cache/_CACHE_001_ \
    mozilla/history.dat; do
    printf 'outside the profiles' >"$elsewhere/$f"
  done
  ln -sfn "$elsewhere/opera" "$(unix_path "$opera_root")/Linked"
  ln -sfn "$elsewhere/mozilla" "$(unix_path "$mozilla")/roaming"
}
gone() { [ ! -e "$(unix_path "$1")" ]; }
# Every file of the browsers' folders and of the links' targets with its checksum.
browser_files() {
  find "$(unix_path "$E2E_PROFILE\\Application Data")" "$(unix_path "$saves")" "$elsewhere" \
    -type f -exec md5sum {} + | sort -k2
}
# erase_only KEY LABEL SHOT FILE...: with the profiles planted, erases KEY alone; the
# FILEs, and only they, are gone, and every other file is as it was.
erase_only() {
  local key=$1 label=$2 shot=$3 before after expected f
  shift 3
  plant_browsers
  expected=$(for f in "$@"; do unix_path "$f"; done | sort)
  before=$(browser_files)
  erase_alone "$key" "$label" "$shot"
  after=$(browser_files)
  assert_eq "$(comm -23 <(cut -c35- <<<"$before" | sort) <(cut -c35- <<<"$after" | sort))" \
    "$expected" "files $label erased"
  assert_eq "$(comm -13 <(sort <<<"$before") <(sort <<<"$after"))" "" "files $label changed"
}

reg_add "$APP_DEFAULTS" Version winxp
reg_add "$OPERA_KEY" "Last Directory" "${saves%\\}"

plant_browsers
erase_alone ChkOperaCookies "Opera Cookies"
for f in "${opera}cookies4.dat" "${o9}cookies4.dat" "${saves}cookies4.dat"; do
  gone "$f" || fail "not erased: $f"
done
assert_file_exists "${o9}typed_history.xml"
assert_file_exists "${saves}opera.win"

erase_only ChkOperaLocationBarHistory "Opera Location Bar History" opera-location-bar \
  "${OPERA_CACHE[@]}" "${OPERA_HISTORY[@]}" "${SAVES[@]}"
own=$(($(count_lines "  ${opera}global.dat") + $(count_lines "  ${opera}opera.dir") +
  $(count_lines "  ${opera}vlink4.dat")))
# The category's own 31, and the walks' lines for those three files, which they erase.
assert_eq "$own" 34 "progress lines of the profile folder's files"
assert_eq "$(count_lines "  ${o9}typed_history.xml")" 1 "progress line of typed_history.xml"

erase_only ChkOperaCache "Opera Cache" "" \
  "${OPERA_CACHE[@]}" "${OPERA_HISTORY[@]}" "${SAVES[@]}"
assert_eq "$(count_lines "  ${opera}vlink4.dat")" 1 "progress lines of the cache category"

erase_only ChkNetscapeCache "Netscape Cache" "" "${MOZ_CACHE[@]}"
assert_eq "$(count_lines "  ${ns}Cache\\0\\A3\\1B2C3d01")" 1 "progress line of a cache file"
erase_only ChkNetscapeLocationBarHistory "Netscape Location Bar History" "" \
  "${MOZ_HISTORY[@]}" "${MOZ_TYPED[@]}"
erase_only ChkNetscapeCookies "Netscape Cookies" "" "${MOZ_COOKIES[@]}"
erase_only ChkNetscapeHistoryFile "Netscape History File" "" \
  "${MOZ_COOKIES[@]}" "${MOZ_HISTORY[@]}"
assert_eq "$(grep -m1 '^  ' <<<"$progress")" "  ${ns}cookies.txt" \
  "first file line of the history file"

# ---- The same categories on a Windows version the program does not know: no Opera or
# Mozilla folder, nothing erased, every row done as usual.
reg_exe delete "$APP_DEFAULTS" /v Version /f >/dev/null || true
reg_exe delete "$OPERA_KEY" /f >/dev/null || true
plant_browsers
snapshot() { find "$(unix_path "$E2E_PROFILE")/Application Data" "$(unix_path "$saves")" -type f | sort; }
planted=$(snapshot)
for i in 5 6 7 8 9 10 11; do
  erase_alone "${KEYS[$i]}" "${CATEGORIES[$i]}"
  assert_eq "$(snapshot)" "$planted" "files after ${CATEGORIES[$i]} on an unknown Windows"
done
