#!/usr/bin/env bash
# Checks that an exe imports nothing that Windows XP lacks.
#   tools/check-imports.sh OBJDUMP EXE [ALLOWED]
# OBJDUMP is the MinGW objdump of the exe's architecture; ALLOWED (default
# tools/xp-imports.txt) lists "dll function minimum-client" per line. Prints each import
# missing from the list and exits 1 if there is one; exits 2 when the list itself names a
# function whose documented minimum client is newer than Windows XP, or cannot be read.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 OBJDUMP EXE [ALLOWED]" >&2; exit 2; }
objdump=$1 exe=$2
allowed=${3:-$(dirname "$0")/xp-imports.txt}

# The list: "dll function client", "#" starts a comment. The clients that XP has.
list=$(awk '
  { sub(/#.*/, "") }
  NF == 0 { next }
  NF != 3 {
    printf "%s:%d: expected \"dll function minimum-client\"\n", FILENAME, FNR > "/dev/stderr"
    bad = 1; next }
  $3 !~ /^(95|98|NT4|2000|XP)$/ {
    printf "%s:%d: %s %s needs Windows %s, newer than Windows XP\n", FILENAME, FNR, $1, $2, $3 \
      > "/dev/stderr"
    bad = 1; next }
  { print tolower($1), $2 }
  END { exit bad }' "$allowed") || exit 2

# The import tables as objdump prints them: a "DLL Name:" line, then one line per
# function (hint and name, or an ordinal only).
imports=$("$objdump" -p "$exe" | awk '
  /^The Import Tables/ { inside = 1; next }
  /^The (Export|Delay Import) Tables|^PE File Base Relocations|^The Function Table/ { inside = 0 }
  !inside { next }
  /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
  /^[[:space:]]*vma:/ { next }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, (NF < 3 || $3 == "<none>" ? "#" $2 : $3) }
  /^[[:space:]]*$/ { dll = "" }') || { echo "cannot read the imports of $exe" >&2; exit 2; }
[ -n "$imports" ] || { echo "no imports found in $exe" >&2; exit 2; }

missing=$(comm -23 <(sort -u <<<"$imports") <(sort -u <<<"$list"))
if [ -n "$missing" ]; then
  echo "$(basename "$exe") imports what is not on the XP list ($allowed):"
  sed 's/^/  not on the XP list: /' <<<"$missing"
  exit 1
fi
echo "$(basename "$exe"): $(wc -l <<<"$imports") imports, all on the XP list"
