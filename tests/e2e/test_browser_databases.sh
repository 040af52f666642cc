#!/usr/bin/env bash
# Today's browsers' history and cookies erased inside their SQLite databases: Chrome
# (two profiles), Edge and Firefox planted with databases the sqlite3 shell makes from
# the browsers' schemas (tests/data/browserdb); two sites moved to the cookie keep list
# through the real dialog (screenshot); a run; then the sqlite3 shell finds no history,
# only the kept sites' cookies, the bookmarks and every schema intact, and
# integrity_check "ok" in every database.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

SCHEMAS=$(cd "$(dirname "$0")/../data/browserdb" && pwd)
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
DONE_MESSAGE=" All selected tracks were erased sucessfully."
command -v sqlite3 >/dev/null || fail "no sqlite3 shell (tools/install-deps.sh installs it)"

local_win=$(reg_query "$SHELL_FOLDERS" "Local AppData") || fail "no Local AppData shell folder"
roaming_win=$(reg_query "$SHELL_FOLDERS" AppData) || fail "no AppData shell folder"
local_win=${local_win%\\} roaming_win=${roaming_win%\\}
chrome=$local_win\\Google\\Chrome\\User\ Data
edge=$local_win\\Microsoft\\Edge\\User\ Data
ff=$roaming_win\\Mozilla\\Firefox
ffp=$ff\\Profiles\\abc.default
PROFILES=("$chrome\\Default" "$chrome\\Profile 1" "$edge\\Default")

# db PATH SCHEMA SQL: a database made from the schema, with the rows of SQL.
db() {
  local path
  path=$(unix_path "$1")
  mkdir -p "$(dirname "$path")"
  { cat "$SCHEMAS/$2.sql"; printf '%s\n' "$3"; } | sqlite3 "$path" >/dev/null || fail "planting $1"
}
q() { sqlite3 "$(unix_path "$1")" "$2"; }

# Each host's cookie; kept.example and also.test are to be kept, with their
# sub-domains, and nothing that only looks like them.
HOSTS=(kept.example .kept.example www.kept.example also.test .deep.also.test
  notkept.example kept.example.evil.net tracker.net .tracker.net)
KEPT_HOSTS=$(printf '%s\n' .deep.also.test .kept.example also.test kept.example www.kept.example)
chromium_cookies=$(for h in "${HOSTS[@]}"; do
  printf "INSERT INTO cookies VALUES(0,'%s','','n','v',x'','/',0,0,0,0,0,0,0,0,0,0,0,0,0);" "$h"
done)
firefox_cookies=$(for h in "${HOSTS[@]}"; do
  printf "INSERT INTO moz_cookies(name,value,host,path) VALUES('n','v','%s','/');" "$h"
done)
download="INSERT INTO downloads VALUES(1,'g','C:\\a.zip','C:\\a.zip',0,0,0,1,0,0,x'',0,0,0,0,'','','','','','','','','','','','','');
INSERT INTO downloads_url_chains VALUES(1,0,'https://tracker.net/a.zip');"
for p in "${PROFILES[@]}"; do
  plant_file "$p\\Preferences" "{}"
  db "$p\\History" chromium-history "INSERT INTO urls(url,last_visit_time) VALUES
    ('https://tracker.net/',1),('https://kept.example/',2),('https://also.test/',3);
    INSERT INTO visits(url,visit_time) VALUES(1,1),(2,2),(3,3),(3,4);
    INSERT INTO keyword_search_terms VALUES(1,1,'secret','secret'); $download"
  db "$p\\Network\\Cookies" chromium-cookies "$chromium_cookies"
  plant_file "$p\\Top Sites" "top sites"
done
plant_file "$ff\\profiles.ini" "$(printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\nDefault=1\r\n')"
plant_file "$ffp\\prefs.js" ""
db "$ffp\\places.sqlite" firefox-places "
  INSERT INTO moz_places(id,url,visit_count,last_visit_date) VALUES
    (1,'https://tracker.net/',2,5),(2,'https://kept.example/',1,6),(3,'https://also.test/',1,7);
  INSERT INTO moz_historyvisits(place_id,visit_date) VALUES(1,4),(1,5),(2,6),(3,7);
  INSERT INTO moz_inputhistory VALUES(1,'tra',1);
  INSERT INTO moz_bookmarks(id,type,fk,parent,title) VALUES(1,2,NULL,0,''),(2,2,NULL,1,'menu'),
    (3,1,2,2,'Kept example');"
db "$ffp\\cookies.sqlite" firefox-cookies "$firefox_cookies"
db "$ffp\\formhistory.sqlite" firefox-formhistory \
  "INSERT INTO moz_formhistory(fieldname,value) VALUES('q','secret');"
bookmarks=$(q "$ffp\\places.sqlite" "SELECT * FROM moz_bookmarks")
declare -A SCHEMA
for f in "${PROFILES[@]/%/\\History}" "${PROFILES[@]/%/\\Network\\Cookies}" \
  "$ffp\\places.sqlite" "$ffp\\cookies.sqlite" "$ffp\\formhistory.sqlite"; do
  SCHEMA[$f]=$(q "$f" "SELECT sql FROM sqlite_master ORDER BY name")
done

# Only the History and Cookies rows of the three browsers.
choose
{
  printf 'REGEDIT4\r\n\r\n[%s]\r\n' 'HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\Options'
  for b in Chrome Edge Brave Vivaldi OperaStable Firefox; do
    for c in History Cookies Cache Sessions; do
      v=0
      [[ $b =~ ^(Chrome|Edge|Firefox)$ && $c =~ ^(History|Cookies)$ ]] && v=1
      printf '"chk%s%s"="%s"\r\n' "$b" "$c" "$v"
    done
  done
} >"$WINEPREFIX/drive_c/browsers.reg"
reg_import browsers.reg "importing the browser rows"
start_nimbrel

# Two sites moved to the cookie keep list through the dialog.
drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
drv click FrmEraseingSettings Label1
poll_eq 5 1 drv visible FrmEraseingSettings CmdKeepListOfCookies || fail "Browser page not shown"
drv click FrmEraseingSettings CmdKeepListOfCookies
drv wait FrmKeepList 20000 >/dev/null || fail "the cookie keep list did not open"
sites=$(printf 'site:%s\n' also.test deep.also.test kept.example kept.example.evil.net \
  notkept.example tracker.net www.kept.example)
poll_eq 20 "$sites" drv items FrmKeepList lstCurrentList || fail "sites: $(drv items FrmKeepList lstCurrentList)"
for site in site:kept.example site:also.test; do
  line=$(drv items FrmKeepList lstCurrentList | grep -nxF "$site" | cut -d: -f1)
  drv select FrmKeepList lstCurrentList $((line - 1)) || fail "selecting $site"
done
drv click FrmKeepList Label3
poll_eq 10 "$(printf '%s\n' site:also.test site:kept.example)" \
  eval 'drv items FrmKeepList lstKeepList | sort' || fail "sites not added"
shot keep-list-sites FrmKeepList
drv click FrmKeepList cmdOK
drv gone FrmKeepList 10000 || fail "the keep list did not close on OK"
ini=$(unix_path 'C:\Nimbrel\Cookies.ini')
poll 10 test -f "$ini" || fail "no Cookies.ini"
assert_eq "$(tr -d '\r' <"$ini" | grep '^Cookie_Keep' | cut -d= -f2 | sort)" \
  "$(printf '%s\n' site:also.test site:kept.example)" "sites in Cookies.ini"
drv click FrmEraseingSettings Image6
drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
rows() { drv items FrmMain lvwToBeErased | cut -f1; }
poll_eq 20 "$(printf '%s %s\n' Chrome History Chrome Cookies Edge History Edge Cookies \
  Firefox History Firefox Cookies)" rows || fail "to-be-erased rows: $(rows)"

drv click FrmMain Label2
drv wait FrmMessage 120000 >/dev/null || fail "no completion message"
assert_eq "$(drv text FrmMessage lblMesage)" "$DONE_MESSAGE" "completion message"
progress=$(drv items FrmMain LstShowingTracksErasedProgress)
shot browser-databases-erased
drv click FrmMessage cmdOK
drv gone FrmMessage 10000 || fail "the message did not close"
stop_nimbrel
line() { grep -cxF -- "$1" <<<"$progress" || true; }

for p in "${PROFILES[@]}"; do
  h=$p\\History c=$p\\Network\\Cookies
  assert_eq "$(line "  $h: 3 addresses, 1 download")" 1 "progress line of $h"
  assert_eq "$(line "  $c: 4 cookies")" 1 "progress line of $c"
  for t in urls visits keyword_search_terms downloads downloads_url_chains; do
    assert_eq "$(q "$h" "SELECT count(*) FROM $t")" 0 "$t of $h"
  done
  assert_eq "$(q "$h" "SELECT value FROM meta WHERE key = 'version'")" 67 "meta of $h"
  assert_eq "$(q "$c" "SELECT host_key FROM cookies ORDER BY 1")" "$KEPT_HOSTS" "cookies of $c"
  assert_file_gone "$p\\Top Sites"
done
assert_eq "$(line "    tracker.net: 2 cookies")" 4 "site lines of tracker.net"
assert_eq "$(line "  $ffp\\places.sqlite: 2 addresses, 4 visits")" 1 "progress line of places.sqlite"
assert_eq "$(q "$ffp\\places.sqlite" "SELECT id, visit_count FROM moz_places")" "2|0" "places"
assert_eq "$(q "$ffp\\places.sqlite" "SELECT count(*) FROM moz_historyvisits")" 0 "visits"
assert_eq "$(q "$ffp\\places.sqlite" "SELECT count(*) FROM moz_inputhistory")" 0 "input history"
assert_eq "$(q "$ffp\\places.sqlite" "SELECT * FROM moz_bookmarks")" "$bookmarks" "bookmarks"
assert_eq "$(q "$ffp\\places.sqlite" "PRAGMA journal_mode")" wal "places.sqlite's journal mode"
assert_eq "$(q "$ffp\\cookies.sqlite" "SELECT host FROM moz_cookies ORDER BY 1")" "$KEPT_HOSTS" \
  "Firefox's cookies"
assert_eq "$(q "$ffp\\formhistory.sqlite" "SELECT count(*) FROM moz_formhistory")" 0 "form history"
for f in "${!SCHEMA[@]}"; do
  assert_eq "$(q "$f" "PRAGMA integrity_check")" ok "integrity of $f"
  assert_eq "$(q "$f" "SELECT sql FROM sqlite_master ORDER BY name")" "${SCHEMA[$f]}" "schema of $f"
  wal=$(unix_path "$f-wal")
  [ ! -s "$wal" ] || fail "rows left in $f-wal"
done

# ---- Side files that lead to a user's documents: SQLite would open, cut or delete a
# database's journal, log and index itself. A journal that is a symbolic link, logs and
# indexes that are hard links of documents: /preview, the keep list's listing of sites
# (opened and cancelled) and /erase leave every document byte for byte, and each
# database with its line.
docs=$(unix_path "$E2E_PROFILE\\Documents")
mkdir -p "$docs"
for n in 1 2 3 4 5; do head -c 100000 /dev/urandom >"$docs/thesis$n.doc"; done
sums=$(cd "$docs" && md5sum thesis*.doc)
for f in "$chrome\\Default\\History" "$ffp\\places.sqlite" "$ffp\\cookies.sqlite"; do
  rm -f "$(unix_path "$f")"
done
db "$chrome\\Default\\History" chromium-history \
  "INSERT INTO urls(url,last_visit_time) VALUES('https://tracker.net/',1);"
db "$ffp\\places.sqlite" firefox-places \
  "INSERT INTO moz_places(id,url,visit_count) VALUES(9,'https://tracker.net/',1);"
db "$ffp\\cookies.sqlite" firefox-cookies "$firefox_cookies"
dbsums() {
  local f
  for f in "$chrome\\Default\\History" "$chrome\\Default\\Network\\Cookies" \
    "$edge\\Default\\History" "$ffp\\places.sqlite" "$ffp\\cookies.sqlite"; do
    md5sum <"$(unix_path "$f")"
  done
}
databases=$(dbsums)
ln -sf "$docs/thesis1.doc" "$(unix_path "$chrome\\Default\\History")-journal"
ln -sf "$docs/thesis2.doc" "$(unix_path "$chrome\\Default\\Network\\Cookies")-journal"
ln -f "$docs/thesis3.doc" "$(unix_path "$ffp\\places.sqlite")-wal"
ln -f "$docs/thesis4.doc" "$(unix_path "$ffp\\cookies.sqlite")-shm"
ln -f "$docs/thesis5.doc" "$(unix_path "$edge\\Default\\History")-journal"
(cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe /preview 'C:\links.tsv') \
  >>"$E2E_DIR/nimbrel.log" 2>&1 || fail "/preview with linked side files"
assert_eq "$(cd "$docs" && md5sum thesis*.doc)" "$sums" "the documents after /preview"
start_nimbrel
drv click FrmMain Label7
drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
drv click FrmEraseingSettings Label1
drv click FrmEraseingSettings CmdKeepListOfCookies
drv wait FrmKeepList 20000 >/dev/null || fail "the cookie keep list did not open"
drv click FrmKeepList Command6
drv gone FrmKeepList 10000 || fail "the keep list did not close on Cancel"
assert_eq "$(cd "$docs" && md5sum thesis*.doc)" "$sums" "the documents after the keep list"
drv click FrmEraseingSettings Image6
drv gone FrmEraseingSettings 10000 || fail "the erase-settings dialog did not close"
stop_nimbrel
rc=0
(cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe /erase) \
  >>"$E2E_DIR/nimbrel.log" 2>&1 || rc=$?
assert_eq "$rc" 5 "/erase's exit code with databases left"
assert_eq "$(cd "$docs" && md5sum thesis*.doc)" "$sums" "the documents after /erase"
log=$(tr -d '\r' <"$WINEPREFIX/drive_c/Nimbrel/Log.txt")
for f in "$chrome\\Default\\History" "$chrome\\Default\\Network\\Cookies" "$edge\\Default\\History" \
  "$ffp\\places.sqlite" "$ffp\\cookies.sqlite"; do
  grep -qxF "  left (refused: link): $f" <<<"$log" || fail "no refusal of $f in Log.txt"
done
assert_eq "$(dbsums)" "$databases" "the refused databases"
