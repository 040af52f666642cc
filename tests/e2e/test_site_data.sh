#!/usr/bin/env bash
# The Site Data rows against the real browsers: Debian's Chromium and Firefox ESR, headless
# on Linux, visit four sites served on 127.0.0.1 (tests/e2e/sitedata/server.py), whose
# pages set a cookie, a Local Storage entry, an IndexedDB record and a service worker.
# Each profile the browsers wrote is put into the Wine prefix as Chrome's and as Firefox's;
# Nimbrel erases their Cookies and Site Data with site:keep.test on the cookie keep list
# (/erase); each profile goes back to its browser, whose pages report what they find:
# keep.test and www.keep.test keep all four, notkeep.test (a look-alike) and tracker.test
# have none left, and the browser opens the profile as before.
#
# What it relies on: the host names are mapped to 127.0.0.1 by the browsers themselves
# (Chromium's --host-resolver-rules, Firefox's network.dns.localDomains), and the sites
# count as secure for service workers (--unsafely-treat-insecure-origin-as-secure;
# dom.serviceWorkers.testing.enabled). Linux Chromium encrypts cookies otherwise than
# Windows: with --password-store=basic it uses a fixed key, so the cookies stay readable
# to it after the Windows run, which deletes rows and never reads a value. Each browser is
# closed as a user would close it (tests/e2e/sitedata/browse.py), so that it has written
# what it keeps in memory; every wait has a time-out.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"

HERE=$(cd "$(dirname "$0")/sitedata" && pwd)
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
for tool in chromium firefox-esr python3; do
  command -v "$tool" >/dev/null || fail "no $tool (tools/install-deps.sh installs it)"
done
SITES=(keep.test www.keep.test notkeep.test tracker.test)
KEPT=(keep.test www.keep.test)
GONE=(notkeep.test tracker.test)
BROWSE_TIMEOUT=90

# ---- The sites ----
reports=$E2E_DIR/reports.jsonl
python3 "$HERE/server.py" "$E2E_DIR/port" "$reports" >"$E2E_DIR/server.log" 2>&1 &
server_pid=$!
stop_server() {
  local rc=$?
  kill "$server_pid" 2>/dev/null
  (exit "$rc")
  e2e_finish
}
trap stop_server EXIT
poll 20 test -s "$E2E_DIR/port" || fail "the sites' server did not start"
port=$(cat "$E2E_DIR/port")
quote() { python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$1"; }
# chain MODE: the first site's page of MODE, each going on to the next site's, then /done.
chain() {
  local url="http://${SITES[0]}:$port/done" i
  for ((i = ${#SITES[@]} - 1; i >= 0; i--)); do
    url="http://${SITES[i]}:$port/$1?next=$(quote "$url")"
  done
  printf '%s\n' "$url"
}
# browse KIND ARGS...: the browser runs the pages (their reports start afresh) and is
# closed once each site has reported.
browse() {
  : >"$reports"
  python3 "$HERE/browse.py" "$reports" "${#SITES[@]}" "$BROWSE_TIMEOUT" "$@" \
    >>"$E2E_DIR/browser.log" 2>&1 || fail "the browser ($1): $(tail -n 3 "$E2E_DIR/browser.log")"
}
# report SITE KEY: what the site's page reported under KEY ("null" for nothing).
report() {
  python3 -c '
import json, sys
for line in open(sys.argv[1]):
    r = json.loads(line)
    if r["site"] == sys.argv[2]:
        v = r.get(sys.argv[3])
        print("null" if v is None else v)
        break
else:
    print("no report")' "$reports" "$1" "$2"
}
# expect_reports: what the check pages found, site by site.
expect_reports() {
  local site
  for site in "${SITES[@]}"; do
    assert_eq "$(report "$site" error)" null "$1: the page of $site failed"
  done
  for site in "${KEPT[@]}"; do
    assert_eq "$(report "$site" cookie)" "$site" "$1: the cookie of $site"
    assert_eq "$(report "$site" ls)" "ls-$site" "$1: the Local Storage of $site"
    assert_eq "$(report "$site" idb)" "idb-$site" "$1: the IndexedDB of $site"
    assert_eq "$(report "$site" workers)" 1 "$1: the service worker of $site"
  done
  for site in "${GONE[@]}"; do
    for key in cookie ls idb; do
      assert_eq "$(report "$site" $key)" null "$1: the $key of $site"
    done
    assert_eq "$(report "$site" workers)" 0 "$1: the service worker of $site"
  done
}
set_reports_ok() {
  local site
  for site in "${SITES[@]}"; do
    assert_eq "$(report "$site" workers)" 1 "$1: $site set its data ($(report "$site" error))"
  done
}

secure= rules=
for site in "${SITES[@]}"; do
  secure+=${secure:+,}http://$site:$port
  rules+=${rules:+, }"MAP $site 127.0.0.1"
done
linux_chrome=$E2E_DIR/chromium
CHROMIUM=(chromium --headless=new --no-sandbox --disable-gpu --no-first-run
  --no-default-browser-check --password-store=basic --user-data-dir="$linux_chrome"
  --host-resolver-rules="$rules" --unsafely-treat-insecure-origin-as-secure="$secure")
linux_ff=$E2E_DIR/firefox
mkdir -p "$linux_ff"
marionette=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
hosts=$(IFS=,; echo "${SITES[*]}")
cat >"$linux_ff/user.js" <<EOF
user_pref("network.dns.localDomains", "$hosts");
user_pref("dom.serviceWorkers.testing.enabled", true);
user_pref("dom.securecontext.allowlist", "$hosts");
user_pref("marionette.port", $marionette);
user_pref("network.proxy.type", 0);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.auto", false);
EOF
FIREFOX=(firefox --headless --no-remote --profile "$linux_ff")

# ---- The browsers write their profiles ----
browse "${CHROMIUM[@]}" "$(chain set)"
set_reports_ok Chromium
browse "${FIREFOX[@]}" "$(chain set)"
set_reports_ok Firefox

# ---- Into the prefix, as Chrome's and Firefox's profiles ----
local_win=$(reg_query "$SHELL_FOLDERS" "Local AppData") || fail "no Local AppData shell folder"
roaming_win=$(reg_query "$SHELL_FOLDERS" AppData) || fail "no AppData shell folder"
local_win=${local_win%\\} roaming_win=${roaming_win%\\}
chrome=$local_win\\Google\\Chrome\\User\ Data
ff=$roaming_win\\Mozilla\\Firefox
ffp=$ff\\Profiles\\site.default
plant_file "$ff\\profiles.ini" "$(printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/site.default\r\nDefault=1\r\n')"
to_prefix() {
  local win=$2 unix
  unix=$(unix_path "$win")
  rm -rf "$unix"
  mkdir -p "$unix"
  cp -a "$1/." "$unix/"
  # What a Linux browser keeps beside its profile to tell it runs.
  rm -f "$unix"/Singleton* "$unix/lock" "$unix/.parentlock"
}
to_prefix "$linux_chrome" "$chrome"
to_prefix "$linux_ff" "$ffp"
# The files that are no site's data, to compare afterwards.
sums() { (cd "$1" && find . -type f \( -name Preferences -o -name Bookmarks -o -name "Login Data" \
  -o -name prefs.js -o -name key4.db -o -name logins.db -o -name extensions.json \) \
  -exec md5sum {} + | sort); }
chrome_sums=$(sums "$(unix_path "$chrome")")
ff_sums=$(sums "$(unix_path "$ffp")")

# ---- Nimbrel erases Cookies and Site Data, keep.test kept ----
plant_file 'C:\Nimbrel\Cookies.ini' "$(printf '[Cookies]\r\nCookie_Keep1=site:keep.test\r\nCounter=1\r\n')"
choose
{
  printf 'REGEDIT4\r\n\r\n[%s]\r\n' 'HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\Options'
  for b in Chrome Edge Brave Vivaldi OperaStable Firefox; do
    for c in History Cookies Cache Sessions SiteData; do
      v=0
      [[ $b =~ ^(Chrome|Firefox)$ && $c =~ ^(Cookies|SiteData)$ ]] && v=1
      printf '"chk%s%s"="%s"\r\n' "$b" "$c" "$v"
    done
  done
} >"$WINEPREFIX/drive_c/browsers.reg"
reg_import browsers.reg "importing the browser rows"
rc=0
(cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe /erase) \
  >>"$E2E_DIR/nimbrel.log" 2>&1 || rc=$?
log=$(tr -d '\r' <"$(unix_path 'C:\Nimbrel\Log.txt')")
printf '%s\n' "$log" >"$E2E_DIR/erase-log.txt"
assert_eq "$rc" 0 "the exit code of /erase (its log: $E2E_DIR/erase-log.txt)"
for profile in "$chrome\\Default" "$ffp"; do
  lines=$(grep -A2 -xF "  $profile: site data of 2 sites" <<<"$log") ||
    fail "no site data line of $profile"
  assert_eq "$(sed -n 2p <<<"$lines" | cut -d: -f1)" "    notkeep.test" "first site line of $profile"
  assert_eq "$(sed -n 3p <<<"$lines" | cut -d: -f1)" "    tracker.test" "second site line of $profile"
done
assert_eq "$(sums "$(unix_path "$chrome")")" "$chrome_sums" "Chrome's profile beside its site data"
assert_eq "$(sums "$(unix_path "$ffp")")" "$ff_sums" "Firefox's profile beside its site data"

# ---- Back to the browsers, which find the kept sites' data and no other's ----
rm -rf "$linux_chrome" "$linux_ff"
mkdir -p "$linux_chrome" "$linux_ff"
cp -a "$(unix_path "$chrome")/." "$linux_chrome/"
cp -a "$(unix_path "$ffp")/." "$linux_ff/"
browse "${CHROMIUM[@]}" "$(chain check)"
expect_reports Chromium
browse "${FIREFOX[@]}" "$(chain check)"
expect_reports Firefox
rm -rf "$linux_chrome" "$linux_ff"
