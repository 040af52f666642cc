#!/usr/bin/env bash
# What tools/install-deps.sh decides when apt fails, with apt-get, dpkg, id, the
# 32-bit probe and the wine32 loader replaced by stubs, on a PATH that has none of
# the tools it installs (so every package is wanted). Each case: how `apt-get update`
# and the wine32:i386 install fare, and what the script must then have done.
set -uo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/tools/install-deps.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/install-deps-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# stub NAME BODY: an executable NAME in the stubs' folder running BODY.
stub() { printf '#!%s\n%s\n' "$BASH" "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }

# run_case UPDATE_FAILURES WINE32_INSTALLS [SKIP32]: UPDATE_FAILURES is how many
# `apt-get update` calls fail before one succeeds (9: all), WINE32_INSTALLS 0 or 1,
# SKIP32 what the skip file holds before (default: an old reason of another kind).
# Leaves the calls in $work/apt.log, the output in $work/out, the exit code in $rc.
run_case() {
  rm -rf "${work:?}"/{bin,apt.log,out,skip32.txt,updates}
  mkdir -p "$work/bin"
  local tool
  for tool in cat dirname find grep mkdir rm sleep tr; do
    ln -s "$(command -v "$tool")" "$work/bin/$tool"
  done
  stub id 'echo 0'
  stub runs32 'exit 0'
  stub dpkg "echo \"dpkg \$*\" >>'$work/apt.log'"
  stub apt-get "
log='$work/apt.log'
echo \"apt-get \$*\" >>\"\$log\"
case \" \$* \" in
  *' update '*)
    n=\$(cat '$work/updates' 2>/dev/null || echo 0)
    echo \$((n + 1)) >'$work/updates'
    [ \"\$n\" -ge $1 ] && exit 0
    echo 'E: Failed to fetch i386/Packages.xz  File has unexpected size' >&2
    exit 100 ;;
  *' wine32:i386 '*)
    [ $2 == 1 ] && exit 0
    echo ' libwine:i386 : Depends: libgstreamer1.0-0:i386 (>= 1.4.0) but it is not going to be installed'
    echo 'E: Unable to correct problems, you have held broken packages.' >&2
    exit 100 ;;
esac"
  echo "${3:-an old reason}" >"$work/skip32.txt"
  : >"$work/apt.log"
  PATH=$work/bin NIMBREL_APT_RETRY_SECONDS=0 NIMBREL_SKIP32_FILE=$work/skip32.txt \
    NIMBREL_RUNS32_PROBE=$work/bin/runs32 NIMBREL_WINE32_LOADER=$work/no-such-loader \
    "$BASH" "$script" >"$work/out" 2>&1
  rc=$?
}

# check CASE COMMAND...: COMMAND must succeed.
check() {
  local name=$1
  shift
  if ! "$@"; then
    echo "FAIL $name: $*"
    sed 's/^/    /' "$work/out" "$work/apt.log"
    failures=$((failures + 1))
  fi
}
updates() { grep -c '^apt-get .*update' "$work/apt.log"; }
said() { grep -qxF "$1" "$work/out"; }
unsaid() { ! said "$1"; }
# True when one `apt-get install` call asked for every package named.
installed_together() {
  local line package
  while read -r line; do
    for package in "$@"; do [[ " $line " == *" $package "* ]] || continue 2; done
    return 0
  done < <(grep '^apt-get .* install ' "$work/apt.log")
  return 1
}
never_asked() { ! installed_together "$@"; }

# The mirror is mid-sync: every update fails and wine32:i386 cannot be had.
run_case 9 0
reason="wine32:i386 could not be installed (the package lists could not be updated; libwine:i386 : Depends: libgstreamer1.0-0:i386 (>= 1.4.0) but it is not going to be installed)"
check "all fail: exit 0" [ "$rc" == 0 ]
check "all fail: three updates" [ "$(updates)" == 3 ]
check "all fail: i386 added" grep -q "^dpkg --add-architecture i386" "$work/apt.log"
check "all fail: 64-bit packages" installed_together wine64 g++-mingw-w64-x86-64-win32 xvfb
check "all fail: wine32 tried" installed_together wine32:i386
check "all fail: reason written" [ "$(cat "$work/skip32.txt")" == "$reason" ]
check "all fail: reason said" said "The 32-bit pass will be skipped: $reason"

# Two failed updates, then one that works: it goes on and wine32 installs.
run_case 2 1
check "update retried: exit 0" [ "$rc" == 0 ]
check "update retried: three updates" [ "$(updates)" == 3 ]
check "update retried: no give-up" unsaid "apt-get update failed three times; going on with the package lists apt has"
check "update retried: 64-bit packages" installed_together wine64 g++-mingw-w64-x86-64-win32 xvfb
check "update retried: wine32" installed_together wine32:i386
check "update retried: old reason gone" [ ! -e "$work/skip32.txt" ]

# The install failed within the hour: it is not tried again (each try costs three index
# downloads), and the reason stays.
run_case 0 1 "$reason"
check "failed within the hour: exit 0" [ "$rc" == 0 ]
check "failed within the hour: not tried" never_asked wine32:i386
check "failed within the hour: reason kept" [ "$(cat "$work/skip32.txt")" == "$reason" ]

[ "$failures" == 0 ] && echo "install-deps.sh: all checks passed"
[ "$failures" == 0 ]
