#!/usr/bin/env bash
# `make run`: Nimbrel.exe under Wine in a demo prefix of its own (build/demo/prefix,
# made once, HOME and XDG_* kept inside it, no Z: drive), seeded with a few traces to
# erase. On $DISPLAY it runs until the program ends; without a display it runs on an
# Xvfb of its own and stops after the screenshot (build/demo/screenshot.png).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
export E2E_SOURCED_BY_RUNNER=1
# shellcheck source=../tests/e2e/lib.sh
. "$repo/tests/e2e/lib.sh"

bin=${NIMBREL_WIN_BUILD:-$repo/build/win}
for exe in Nimbrel.exe NimbrelDriver.exe; do
  [ -f "$bin/$exe" ] || { echo "missing $bin/$exe (make win builds it)" >&2; exit 1; }
done
demo=$repo/build/demo
prefix=$demo/prefix
mkdir -p "$demo"

cleanup() {
  set +e
  [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
  e2e_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  e2e_start_xvfb "$demo/xvfb.log"
  echo "no display: running on Xvfb $DISPLAY"
fi

if [ ! -f "$prefix/.demo-ready" ]; then
  echo "making the demo prefix in $prefix (once)"
  rm -rf "$prefix"
  e2e_write_fake_browser "$demo/browser"
  e2e_make_prefix "$prefix" "$bin" "$demo/browser"
  touch "$prefix/.demo-ready"
fi
e2e_sandbox_env "$prefix"
e2e_use_loader "$bin"
cp "$bin/Nimbrel.exe" "$bin/NimbrelDriver.exe" "$prefix/drive_c/Nimbrel/"
wineserver -p

# shellcheck disable=SC2034  # where lib.sh's `shot` and `start_nimbrel` write
E2E_DIR=$demo
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
EXPLORER='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
user=$(e2e_user)

# A UTF-16 file name with its NUL, as hex, for the binary RecentDocs values.
utf16_hex() { printf '%s\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n'; }

echo "seeding sample traces"
typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
reg_add "$typed" url1 "http://www.example.com/"
reg_add "$typed" url2 "http://news.example.org/today"
reg_add "$typed" url3 "http://shop.example.net/cart"

cookies=$(reg_query "$SHELL_FOLDERS" Cookies)
for site in example.com news.example.org shop.example.net; do
  plant_file "$cookies\\$user@${site}[1].txt" "session
1
$site/
1024
"
done

for n in 1 2 3; do
  plant_file "C:\\users\\$user\\Temp\\~demo$n.tmp" "temporary data $n"
done

recent=$(reg_query "$SHELL_FOLDERS" Recent)
mru=
i=0
for doc in report.txt budget.xls holiday.jpg; do
  plant_file "$recent\\$doc.lnk" "shortcut to $doc"
  reg_add "$EXPLORER\\RecentDocs" "$i" "$(utf16_hex "$doc")" REG_BINARY
  mru+=$(printf '%02x000000' "$i")
  i=$((i + 1))
done
reg_add "$EXPLORER\\RecentDocs" MRUListEx "${mru}ffffffff" REG_BINARY
reg_add "$EXPLORER\\RecentDocs\\.txt" 0 "$(utf16_hex report.txt)" REG_BINARY
reg_add "$EXPLORER\\RecentDocs\\.txt" MRUListEx "00000000ffffffff" REG_BINARY

(cd "$prefix/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe) >"$demo/nimbrel.log" 2>&1 &
NIMBREL_PID=$!
drv wait FrmMain 45000 >/dev/null || { echo "Nimbrel's window did not appear" >&2; exit 1; }
shot screenshot
echo "screenshot: $demo/screenshot.png"

if [ -n "${E2E_XVFB_PID:-}" ]; then
  echo "headless: stopping Nimbrel"
  stop_nimbrel
else
  echo "Nimbrel runs on $DISPLAY; close it to end"
  wait "$NIMBREL_PID" || true
fi
