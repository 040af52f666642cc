#!/usr/bin/env bash
# The run's template prefix, which every test copies: CTest's fixture around the Wine
# suite (cmake/ScriptTests.cmake), made once before the tests and removed after them.
#   template.sh setup       boots $E2E_TEMPLATE with the exes of $NIMBREL_WIN_BUILD, or
#                           exits 77 (skipped) saying why they cannot run here
#   template.sh cleanup     removes it, and stops a wineserver left by a killed test
#   template.sh skip BIN    prints why the exes of BIN cannot run here, exits 1 if they can
# NIMBREL_WINVER (say winxp) is the Windows version that Wine gives Nimbrel.exe.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export E2E_SOURCED_BY_RUNNER=1
# shellcheck source=lib.sh
. "$here/lib.sh"

case ${1:-} in
  skip)
    e2e_skip_reason "$2"
    exit
    ;;
  setup | cleanup) ;;
  *) echo "usage: $0 setup|cleanup|skip BIN" >&2; exit 2 ;;
esac
: "${E2E_RUN:?}" "${E2E_TEMPLATE:?}" "${NIMBREL_WIN_BUILD:?}"

# The template (also one left by a run that was stopped), and what a test killed
# outright left running.
remove_template() {
  local dir
  [ -d "$E2E_TEMPLATE" ] && WINEPREFIX=$E2E_TEMPLATE wineserver -k 2>/dev/null
  for dir in "$E2E_RUN"/*/; do e2e_stop_leftovers "${dir%/}"; done
  rm -rf "$E2E_TEMPLATE" "$E2E_RUN/fake-browser" "$E2E_RUN/skipped.txt"
}
remove_template
[ "$1" == cleanup ] && exit 0

mkdir -p "$E2E_RUN"
for exe in Nimbrel.exe NimbrelDriver.exe platform_selfcheck.exe; do
  [ -f "$NIMBREL_WIN_BUILD/$exe" ] || { echo "missing $NIMBREL_WIN_BUILD/$exe" >&2; exit 1; }
done
if why=$(e2e_skip_reason "$NIMBREL_WIN_BUILD"); then
  echo "$why" >"$E2E_RUN/skipped.txt"
  echo "SKIP the Wine tests of $NIMBREL_WIN_BUILD: $why"
  exit 77
fi

start=$(date +%s)
trap e2e_stop_xvfb EXIT
e2e_start_xvfb "$E2E_RUN/xvfb.log" || exit 1
e2e_write_fake_browser "$E2E_RUN/fake-browser"
if ! e2e_make_prefix "$E2E_TEMPLATE" "$NIMBREL_WIN_BUILD" "$E2E_RUN/fake-browser"; then
  echo "retrying the template prefix" >&2
  rm -rf "$E2E_TEMPLATE"
  e2e_make_prefix "$E2E_TEMPLATE" "$NIMBREL_WIN_BUILD" "$E2E_RUN/fake-browser" ||
    { echo "cannot make the template prefix" >&2; exit 1; }
fi
echo "template prefix of $(e2e_pe_arch "$NIMBREL_WIN_BUILD/Nimbrel.exe")" \
  "${NIMBREL_WINVER:+(Windows $NIMBREL_WINVER) }ready in $(($(date +%s) - start)) s"
