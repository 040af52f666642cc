#!/bin/bash
# Measures the erasing of a Chromium profile's databases under Wine against the
# sqlite3 shell deleting the same rows on Linux, side by side in one run:
#   History: 100,000 addresses, 300,000 visits (and as many visit sources),
#            10,000 search terms, 1,000 downloads with their URL chains; every
#            row but meta's goes
#   Cookies: 20,000 cookies of 2,000 sites; all but kept.example's go
# erase_bench (mode "databases") also takes the write lock, checks the database
# before (quick_check) and after (integrity_check), counts what goes and
# checkpoints; the shell only deletes, in one transaction per database.
# Usage: bench/databases.sh [path/to/erase_bench.exe]   (built with CMake when absent)
# Environment: REPS (default 3), BENCH_WORK (default /tmp/nimbrel-bench),
#   EXTRA (default 0; 1 or more: secure erasing on, so secure_delete overwrites the
#   deleted rows, in both).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
reps=${REPS:-3}
work=${BENCH_WORK:-/tmp/nimbrel-bench}
extra=${EXTRA:-0}

. "$root/bench/lib.sh"
bench_erase_exe "$@"
command -v sqlite3 >/dev/null || { echo "sqlite3 is missing: tools/install-deps.sh" >&2; exit 1; }

mkdir -p "$work"
rm -rf "$work/dbprefix" "$work/dbhome"
export WINEPREFIX="$work/dbprefix" HOME="$work/dbhome" WINEDEBUG=-all
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
bench="$WINEPREFIX/drive_c/bench"
mkdir -p "$bench"
cp "$exe" "$bench/erase_bench.exe"
wine 'C:\bench\erase_bench.exe' >/dev/null 2>&1 || true

# The fixtures, made once from the browsers' schemas and copied fresh for every run.
tpl="$work/db.template"
rm -rf "$tpl"
mkdir -p "$tpl/Network"
{
  cat "$root/tests/data/browserdb/chromium-history.sql"
  cat <<'SQL'
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO urls(id, url, title, visit_count, last_visit_time)
  SELECT i, 'https://site' || (i % 5000) || '.example/page/' || i, 'Page ' || i, 3, 13300000000000000 + i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000)
INSERT INTO visits(id, url, visit_time, transition) SELECT i, 1 + i % 100000, 13300000000000000 + i, 805306368 FROM n;
INSERT INTO visit_source SELECT id, 1 FROM visits;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)
INSERT INTO keyword_search_terms SELECT 2, i, 'Term ' || i, 'term ' || i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
INSERT INTO downloads SELECT i, 'guid' || i, 'C:\d\' || i, 'C:\d\' || i, 0, 1, 1, 1, 0, 0, x'', 0, 0, 0, 0,
  '', '', '', '', '', '', '', '', '', '', '', '', '' FROM n;
INSERT INTO downloads_url_chains SELECT id, 0, 'https://dl.example/' || id FROM downloads;
COMMIT;
SQL
} | sqlite3 "$tpl/History" >/dev/null
{
  cat "$root/tests/data/browserdb/chromium-cookies.sql"
  cat <<'SQL'
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)
INSERT INTO cookies SELECT 13300000000000000 + i,
  CASE WHEN i % 2000 = 0 THEN '.kept.example' ELSE '.site' || (i % 2000) || '.example' END, '',
  'name' || i, hex(randomblob(16)), x'', '/', 0, 1, 1, 0, 1, 1, 1, 0, 2, 443, 0, 0, 0 FROM n;
SQL
} | sqlite3 "$tpl/Network/Cookies" >/dev/null

# The shell's rows: every table of History but meta and SQLite's own; the cookies
# of every host but kept.example's.
history_sql="BEGIN;$(sqlite3 "$tpl/History" "SELECT 'DELETE FROM \"' || name || '\";' FROM sqlite_master
  WHERE type = 'table' AND name <> 'meta' AND name NOT LIKE 'sqlite_%'" | tr -d '\n')COMMIT;"
cookies_sql="DELETE FROM cookies WHERE host_key NOT IN ('.kept.example');"
# With secure erasing, the shell overwrites the deleted rows too.
if [ "$extra" -gt 0 ]; then
  history_sql="PRAGMA secure_delete = ON;$history_sql"
  cookies_sql="PRAGMA secure_delete = ON;$cookies_sql"
fi

now() { date +%s.%N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
nimbrel=() shell=()
for ((r = 1; r <= reps; r++)); do
  rm -rf "$bench/Default" "$work/shell"
  cp -r "$tpl" "$bench/Default"
  cp -r "$tpl" "$work/shell"
  sync
  out=$(wine 'C:\bench\erase_bench.exe' databases 'C:\bench\Default' "$extra" | tr -d '\r')
  nimbrel+=("$(sed -n 's/^seconds=\([0-9.]*\).*/\1/p' <<<"$out")")
  start=$(now)
  sqlite3 "$work/shell/History" "$history_sql"
  sqlite3 "$work/shell/Network/Cookies" "$cookies_sql"
  shell+=("$(echo "$(now) - $start" | bc)")
  [ "$(sqlite3 "$bench/Default/History" 'SELECT count(*) FROM visits')" = 0 ] || { echo "visits left" >&2; exit 1; }
  [ "$(sqlite3 "$bench/Default/Network/Cookies" 'SELECT count(*) FROM cookies')" = 10 ] ||
    { echo "cookies: $(sqlite3 "$bench/Default/Network/Cookies" 'SELECT count(*) FROM cookies')" >&2; exit 1; }
done
n=$(printf '%s\n' "${nimbrel[@]}" | median)
s=$(printf '%s\n' "${shell[@]}" | median)
printf 'History %s and Cookies %s (extra passes %s), medians of %d:\n' \
  "$(du -h "$tpl/History" | cut -f1)" "$(du -h "$tpl/Network/Cookies" | cut -f1)" "$extra" "$reps"
printf '  Nimbrel under Wine  %.2f s   (runs: %s)\n' "$n" "${nimbrel[*]}"
printf '  sqlite3 shell       %.2f s   (runs: %s)\n' "$s" "${shell[*]}"
printf '  ratio               %.2f\n' "$(echo "$n / $s" | bc -l)"
