# The Wine harness, sourced by template.sh (the run's template prefix, a CTest fixture)
# and by every test_*.sh (its own X display, its own copy of the template and the
# helpers below). CTest runs the tests: cmake/ScriptTests.cmake registers them.
#
# A test is a bash script that sources this file and calls the helpers; it passes when
# it exits 0, and is skipped when it exits 77 (the template was skipped: no 32-bit Wine).
# It runs with `set -e`: a failed assertion or command ends it at once.

export WINEDEBUG=${WINEDEBUG:--all}

e2e_log() { printf '%s\n' "$*" >&2; }
fail() {
  e2e_log "FAIL: $*"
  exit 1
}

# Polls a command every 0.1 s until it succeeds or SECONDS pass.
poll() {
  local seconds=$1 end
  shift
  end=$(($(date +%s%N) + seconds * 1000000000))
  until "$@" >/dev/null 2>&1; do
    (($(date +%s%N) < end)) || return 1
    sleep 0.1
  done
}

# poll_eq SECONDS EXPECTED COMMAND...: polls until COMMAND prints EXPECTED.
poll_eq() {
  local seconds=$1 expected=$2
  shift 2
  poll "$seconds" e2e_prints "$expected" "$@"
}
e2e_prints() {
  local expected=$1
  shift
  [ "$("$@" 2>/dev/null)" == "$expected" ]
}

# Points HOME and XDG_* at a folder inside the prefix, so nothing Wine does or a
# test erases reaches the real home.
e2e_sandbox_env() {
  export WINEPREFIX=$1
  export HOME=$WINEPREFIX/home
  export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config
  export XDG_CACHE_HOME=$HOME/.cache XDG_STATE_HOME=$HOME/.local/state
  export XDG_RUNTIME_DIR=$HOME/.run
  unset XDG_DESKTOP_DIR XDG_DOCUMENTS_DIR XDG_DOWNLOAD_DIR XDG_MUSIC_DIR XDG_PICTURES_DIR \
    XDG_VIDEOS_DIR XDG_PUBLICSHARE_DIR XDG_TEMPLATES_DIR
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# ---- The run ----

# The machine a Windows exe is built for, as objdump names it: i386 or i386:x86-64.
e2e_pe_arch() {
  x86_64-w64-mingw32-objdump -f "$1" | sed -n 's/^architecture: \([^,]*\),.*/\1/p'
}

# Sets E2E_WINE to the Wine loader of the exes of build folder BIN. Wine's own tools
# (reg, regedit, cmd) and the driver, started with it, run as the exe under test does
# and so see the registry as it does: a 32-bit reg.exe reads HKLM\Software in its
# Wow6432Node. Plain `wine` is the 32-bit loader wherever wine32 is installed, whatever
# the exe, so no test runs it.
e2e_use_loader() {
  if [ "$(e2e_pe_arch "$1/Nimbrel.exe")" == i386 ]; then
    E2E_WINE=/usr/lib/wine/wine
  else
    # What Debian's `wine` does when it runs wine64: the programs Wine starts on its
    # own (winebrowser, a program Nimbrel opens) take the same loader.
    E2E_WINE=/usr/lib/wine/wine64
    export WINELOADER=$E2E_WINE
  fi
  export E2E_WINE
}

# Prints why the exes of build folder BIN cannot run under Wine here and returns 0;
# returns 1 when they can. Only a 32-bit build has a reason: Wine runs a 32-bit
# program in a 32-bit process, which some kernels cannot start, and needs Debian's
# wine32, which tools/install-deps.sh may have failed to install (it wrote why).
e2e_skip_reason() {
  local repo
  repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  [ "$(e2e_pe_arch "$1/Nimbrel.exe")" == i386 ] || return 1
  if ! "$repo/tools/runs-32bit.sh"; then
    echo "this machine's kernel runs no 32-bit programs (32-bit emulation is off)"
  elif [ ! -x /usr/lib/wine/wine ]; then
    cat "$repo/build/skip32.txt" 2>/dev/null || echo "Debian's wine32 is not installed"
  else
    return 1
  fi
}

# Starts one Xvfb on a free display number and exports DISPLAY; E2E_XVFB_PID is its pid.
# It runs in a session of its own, so that the signal that stops a test at its time
# limit (sent to the test's process group) leaves the display up for the screenshot of
# the failure; whoever started it stops it.
e2e_start_xvfb() {
  local log=${1:-/dev/null} number try
  number=$(mktemp)
  for try in 1 2 3; do
    # Xvfb picks a free display itself and writes its number once it listens:
    # two runners starting at once cannot take the same one.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number" \
      >"$log" 2>&1 &
    E2E_XVFB_PID=$!
    if poll 15 test -s "$number" && kill -0 "$E2E_XVFB_PID" 2>/dev/null &&
      xwininfo -root -display ":$(<"$number")" >/dev/null 2>&1; then
      export DISPLAY=:$(<"$number")
      rm -f "$number"
      return 0
    fi
    kill "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
    : >"$number"
  done
  rm -f "$number"
  e2e_log "Xvfb does not start (try $try): $(tail -n 3 "$log" 2>/dev/null)"
  return 1
}

e2e_stop_xvfb() {
  [ -n "${E2E_XVFB_PID:-}" ] || return 0
  kill "$E2E_XVFB_PID" 2>/dev/null
  wait "$E2E_XVFB_PID" 2>/dev/null
  E2E_XVFB_PID=
}

# Stops what a test killed outright (past CTest's own time limit) left running in its
# folder DIR: the wineserver of its prefix and its Xvfb (DIR/xvfb.pid).
e2e_stop_leftovers() {
  local pid
  if [ -d "$1/prefix" ]; then WINEPREFIX=$1/prefix wineserver -k 2>/dev/null || true; fi
  pid=$(cat "$1/xvfb.pid" 2>/dev/null) || return 0
  if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" == Xvfb ]; then kill "$pid" 2>/dev/null || true; fi
  rm -f "$1/xvfb.pid"
}

# Writes the fake browser: a script that logs each URL it is given to
# $WINEPREFIX/browser.log (WINEPREFIX is that of the test that opened it).
e2e_write_fake_browser() {
  cat >"$1" <<'EOF'
#!/bin/sh
printf '%s\n' "$*" >>"$WINEPREFIX/browser.log"
EOF
  chmod +x "$1"
}

# Boots a prefix at DIR, prepared for the program, with the exes of BIN in
# C:\Nimbrel and the fake browser BROWSER. Leaves no wineserver running.
e2e_make_prefix() {
  local dir=$1 bin=$2 browser=$3 link
  (
    e2e_sandbox_env "$dir"
    e2e_use_loader "$bin"
    # No Mono/Gecko installers and no desktop menu entries while booting.
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$E2E_WINE" wineboot -i >/dev/null 2>&1 ||
      { e2e_log "wineboot failed"; exit 1; }
    wineserver -w
    # Booted without mshtml, the prefix has no program for .htm files: they are given to
    # winebrowser, which hands web addresses to the fake browser.
    cat >"$dir/drive_c/e2e-setup.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager]
"ThemeActive"="0"

[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]
"Browsers"="$browser"

[HKEY_CLASSES_ROOT\\.htm]
@="htmlfile"

[HKEY_CLASSES_ROOT\\htmlfile\\shell\\open\\command]
@="C:\\\\windows\\\\system32\\\\winebrowser.exe \\"%1\\""
EOF
    # The Windows version that Wine gives Nimbrel.exe alone (winxp, win2k ...).
    if [ -n "${NIMBREL_WINVER:-}" ]; then
      printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Nimbrel.exe]\n"Version"="%s"\n' \
        "$NIMBREL_WINVER" >>"$dir/drive_c/e2e-setup.reg"
    fi
    "$E2E_WINE" regedit /S 'C:\e2e-setup.reg' >/dev/null 2>&1
    wineserver -w
    grep -q '"Managed"="N"' "$dir/user.reg" || { e2e_log "prefix settings not written"; exit 1; }
    if [ -n "${NIMBREL_WINVER:-}" ] &&
      ! grep -q "\"Version\"=\"$NIMBREL_WINVER\"" "$dir/user.reg"; then
      e2e_log "Windows version $NIMBREL_WINVER not written for Nimbrel.exe"
      exit 1
    fi
    rm -f "$dir/drive_c/e2e-setup.reg"
    # The user folders are links to the home of this boot; make them plain folders so
    # that each copy of the prefix is whole and nothing leads out of it.
    for link in "$dir"/drive_c/users/*/*; do
      [ -L "$link" ] || continue
      rm "$link"
      mkdir "$link"
    done
    mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
    rm -f "$dir/dosdevices/z:"
    mkdir -p "$dir/drive_c/Nimbrel"
    cp "$bin/Nimbrel.exe" "$bin/NimbrelDriver.exe" "$bin/platform_selfcheck.exe" \
      "$bin/FakeBrowser.exe" "$dir/drive_c/Nimbrel/"
    wineserver -k 2>/dev/null || true
  )
}

# ---- A test ----

# The Windows user of the prefix: its folder under C:\users.
e2e_user() {
  local d
  for d in "$WINEPREFIX"/drive_c/users/*/; do
    d=${d%/}
    [ "${d##*/}" != Public ] && { printf '%s\n' "${d##*/}"; return; }
  done
}

# The Unix path of a Windows path in the test's prefix ("C:\users\..."), matching
# existing folders and files case-insensitively as Windows does.
unix_path() {
  local win=$1 drive path part entry name
  local -a parts
  if [[ ! $win =~ ^[A-Za-z]:(\\|$) ]]; then
    printf '%s\n' "$win"
    return
  fi
  drive=${win:0:1}
  path=$WINEPREFIX/dosdevices/${drive,,}:
  # shellcheck disable=SC1003,SC2141  # the separator is the backslash
  IFS='\' read -r -a parts <<<"${win:2}"
  for part in "${parts[@]}"; do
    [ -n "$part" ] || continue
    if [ ! -e "$path/$part" ]; then
      for entry in "$path"/* "$path"/.[!.]*; do
        name=${entry##*/}
        if [ -e "$entry" ] && [ "${name,,}" == "${part,,}" ]; then
          part=$name
          break
        fi
      done
    fi
    path=$path/$part
  done
  printf '%s\n' "$path"
}

# Runs a Wine program from inside the prefix: with no Z: drive the Unix working folder
# has no Windows name.
e2e_wine() { (cd "$WINEPREFIX/drive_c" && exec "$E2E_WINE" "$@"); }

# Runs the driver in the test's prefix; its stdout is the command's result. The
# driver says why whenever it fails; a failure with nothing said is Wine failing
# to run it (seen under load), and the command is given once more, unless the test
# is ending: its end stops the wineserver, and with it a driver still running in the
# background (a holder), which is then never started again.
drv() {
  local rc=0 err=$E2E_DIR/driver.$BASHPID.err
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" NimbrelDriver.exe "$@") 2>"$err" || rc=$?
  if [ "$rc" != 0 ] && [ -e "$E2E_DIR/ending" ]; then
    e2e_log "the driver was stopped by the test's end ($*)"
  elif [ "$rc" != 0 ] && [ ! -s "$err" ]; then
    e2e_log "the driver failed with $rc and said nothing ($*); once more"
    rc=0
    (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" NimbrelDriver.exe "$@") 2>"$err" || rc=$?
  fi
  cat "$err" >&2
  rm -f "$err"
  return "$rc"
}

# Starts Nimbrel.exe in the background with ARGS and waits for its main window.
# Under a loaded machine Wine now and then ends a process as it starts, before its
# first window: a start that ended so, without a window, is given once more.
start_nimbrel() {
  local try
  for try in 1 2; do
    (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" Nimbrel.exe "$@") >>"$E2E_DIR/nimbrel.log" 2>&1 &
    NIMBREL_PID=$!
    drv wait FrmMain 45000 >/dev/null && return 0
    kill -0 "$NIMBREL_PID" 2>/dev/null && fail "FrmMain did not appear within 45 s"
    e2e_log "Nimbrel.exe ended without its window (start $try, exit code $(wait "$NIMBREL_PID"; echo $?))"
  done
  fail "FrmMain did not appear within 45 s (Nimbrel.exe has exited)"
}

# True while the Nimbrel.exe started by start_nimbrel runs.
nimbrel_running() { [ -n "${NIMBREL_PID:-}" ] && kill -0 "$NIMBREL_PID" 2>/dev/null; }

# Waits up to SECONDS (default 20) for Nimbrel.exe to end; fails if it does not.
wait_nimbrel_exit() {
  poll "${1:-20}" eval '! nimbrel_running' || fail "Nimbrel.exe still runs after ${1:-20} s"
  wait "$NIMBREL_PID" 2>/dev/null || true
  NIMBREL_PID=
}

# Ends Nimbrel.exe if it still runs.
stop_nimbrel() {
  nimbrel_running || return 0
  kill "$NIMBREL_PID" 2>/dev/null || true
  poll 10 eval '! nimbrel_running' || kill -9 "$NIMBREL_PID" 2>/dev/null || true
  wait "$NIMBREL_PID" 2>/dev/null || true
  NIMBREL_PID=
}

# reg_exe ARGS...: Wine's reg.exe in the test's prefix; prints what it says. Under
# load Wine now and then fails to start it at all, so a failure is given twice more
# unless reg gave its own answer ("reg: ...", which it prints to stdout, as for a
# value not found). An add is given them in any case: it is idempotent, and no test
# wants one to fail.
reg_exe() {
  local out rc try err=$E2E_DIR/reg.$BASHPID.err
  for try in 1 2 3; do
    rc=0
    out=$(e2e_wine reg "$@" 2>"$err") || rc=$?
    if [ "$rc" == 0 ] || { [ "$1" != add ] && [[ $out == *"reg: "* ]]; }; then break; fi
    e2e_log "reg $1 $2 failed with $rc (try $try): $(cat "$err" - <<<"$out" | tr -d '\r' | tail -n 3)"
    sleep 1
  done
  rm -f "$err"
  [ -z "$out" ] || printf '%s\n' "$out"
  return "$rc"
}

# reg_add KEY [NAME [DATA [TYPE]]]: an empty NAME is the default value.
reg_add() {
  local key=$1 args=()
  if [ $# -ge 2 ]; then
    if [ -z "$2" ]; then args+=(/ve); else args+=(/v "$2"); fi
    args+=(/t "${4:-REG_SZ}" /d "${3:-}")
  fi
  reg_exe add "$key" "${args[@]}" /f >/dev/null || fail "reg add $key ${2:-}"
}

# reg_import NAME WHAT: imports C:\NAME (a .reg file in drive_c) with regedit and
# removes it. regedit /S says nothing either way; an import is idempotent, so a
# failure is given twice more.
reg_import() {
  local try
  for try in 1 2 3; do
    if e2e_wine regedit /S "C:\\$1" >/dev/null 2>&1; then
      rm -f "$WINEPREFIX/drive_c/$1"
      return 0
    fi
    e2e_log "importing $1 failed (try $try)"
    sleep 1
  done
  fail "$2"
}

# reg_query KEY NAME [OPTION...]: prints the value's data; fails (status 1) when it
# is missing. OPTIONs go to reg.exe as they are (/reg:32, a registry view).
reg_query() {
  local key=$1 name=$2 out line shown=$2
  shift 2
  if [ -z "$name" ]; then
    out=$(reg_exe query "$key" /ve "$@") || return 1
    shown='(Default)'
  else
    out=$(reg_exe query "$key" /v "$name" "$@") || return 1
  fi
  while IFS= read -r line; do
    line=${line%$'\r'}
    if [[ $line == "    $shown    REG_"* ]]; then
      line=${line#"    $shown    "}
      line=${line#*    }
      printf '%s\n' "$line"
      return 0
    fi
  done <<<"$out"
  return 1
}

# True when the registry key exists.
reg_key_exists() { reg_exe query "$1" >/dev/null; }

# plant_file PATH [CONTENT]: PATH is Windows ("C:\...") or Unix; folders are made.
plant_file() {
  local path
  path=$(unix_path "$1")
  mkdir -p "$(dirname "$path")"
  printf '%s' "${2:-planted by the test}" >"$path"
}

assert_eq() {
  [ "$1" == "$2" ] || fail "${3:-value}: expected [$2], got [$1]"
}

assert_file_exists() {
  [ -e "$(unix_path "$1")" ] || fail "missing: $1"
}

# A file deleted while another handle holds it open (the WinINet cache's index.dat, which
# the program's own wininet maps) goes when the last handle closes: at the program's end,
# when Wine's server closes the ended process's handles, a moment after `wine` returns.
assert_file_gone() {
  local path
  path=$(unix_path "$1")
  poll 5 test ! -e "$path" || fail "still there: $1"
}

# open_settings_page TAB CONTROL: opens Erasing Settings from the main window and shows
# the page whose tab label is TAB, once CONTROL on it is visible.
open_settings_page() {
  drv click FrmMain Label7
  drv wait FrmEraseingSettings 20000 >/dev/null || fail "the erase-settings dialog did not open"
  drv click FrmEraseingSettings "$1"
  poll_eq 5 1 drv visible FrmEraseingSettings "$2" || fail "the page of $2 is not shown"
}

# erase_in_window [WAIT_MS]: Start Erasing, the completion message closed and the program
# stopped; the progress list's lines are in $progress.
erase_in_window() {
  drv click FrmMain Label2
  drv wait FrmMessage "${1:-60000}" >/dev/null || fail "no completion message"
  progress=$(drv items FrmMain LstShowingTracksErasedProgress)
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "the completion message did not close"
  stop_nimbrel
}

# shot NAME [FORM]: the form's screenshot as NAME.png in the test's folder.
shot() {
  local bmp="$WINEPREFIX/drive_c/e2e-shot.bmp"
  rm -f "$bmp"
  drv shot "${2:-FrmMain}" 'C:\e2e-shot.bmp' || fail "screenshot $1"
  convert "$bmp" "$E2E_DIR/$1.png" || fail "converting screenshot $1"
  rm -f "$bmp"
  # E2E_DOCS=docs collects the screenshots for the README.
  if [ -n "${E2E_DOCS:-}" ]; then cp "$E2E_DIR/$1.png" "$E2E_DOCS/"; fi
}

# shot_area NAME X Y W H: that part of the screen, once it has settled, as NAME.png in
# the test's folder; for what is no form (a popup menu beside the tray).
shot_area() {
  local png=$E2E_DIR/$1.png previous=$E2E_DIR/$1.previous.png i
  rm -f "$previous"
  for i in $(seq 20); do
    import -display "$DISPLAY" -window root -crop "${4}x${5}+${2}+${3}" +repage "$png" ||
      fail "screenshot $1"
    if [ -e "$previous" ] && cmp -s "$png" "$previous"; then break; fi
    cp "$png" "$previous"
    sleep 0.1
  done
  rm -f "$previous"
  if [ -n "${E2E_DOCS:-}" ]; then cp "$png" "$E2E_DOCS/"; fi
}

# Names the failed command and the test's line it came from.
e2e_on_error() {
  local command=$BASH_COMMAND i
  for ((i = 0; i + 1 < ${#BASH_SOURCE[@]}; i++)); do
    if [ "${BASH_SOURCE[i + 1]}" == "$0" ]; then
      e2e_log "FAIL: $(basename "$0"):${BASH_LINENO[i]}: $command"
      return
    fi
  done
  e2e_log "FAIL: $command"
}

# Called by the test's EXIT trap: stops its processes, keeps the folder on failure.
e2e_finish() {
  local rc=$?
  set +e
  trap - EXIT
  if [ "$rc" != 0 ] && [ -n "${DISPLAY:-}" ]; then
    import -display "$DISPLAY" -window root "$E2E_DIR/failure.png" 2>/dev/null
  fi
  : >"$E2E_DIR/ending"
  stop_nimbrel
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  e2e_stop_xvfb
  rm -f "$E2E_DIR/xvfb.pid"
  if [ "$rc" == 0 ]; then
    rm -rf "$WINEPREFIX"
  else
    e2e_log "kept for inspection: $E2E_DIR (prefix, logs, failure.png)"
  fi
  exit "$rc"
}

# A test's set-up, done when a test_*.sh sources this file: E2E_RUN is the run's folder,
# E2E_TEMPLATE its template prefix (both set by CTest), E2E_DIR the test's own folder.
e2e_begin_test() {
  exec </dev/null
  E2E_NAME=$(basename "$0" .sh)
  E2E_DIR=${E2E_RUN:-}/$E2E_NAME
  if [ -z "${E2E_TEMPLATE:-}" ] || [ ! -d "$E2E_TEMPLATE" ]; then
    # The template's set-up skipped the run (a 32-bit build where Wine runs no 32-bit
    # program): it said why, once.
    [ -n "${E2E_RUN:-}" ] && [ -f "$E2E_RUN/skipped.txt" ] && exit 77
    e2e_log "no template prefix: run the tests with ctest (make e2e T=$E2E_NAME)"
    exit 2
  fi
  # What the last run of this test kept.
  e2e_stop_leftovers "$E2E_DIR"
  rm -rf "$E2E_DIR"
  mkdir -p "$E2E_DIR"
  export WINEPREFIX=$E2E_DIR/prefix
  e2e_use_loader "${NIMBREL_WIN_BUILD:?}"
  trap e2e_finish EXIT
  trap 'e2e_log "stopped by a signal (the time limit?)"; exit 143' TERM INT
  # A display of its own: X has one input focus per display, and a window that
  # another test maps would take the foreground from this test's windows.
  e2e_start_xvfb "$E2E_DIR/xvfb.log" || fail "no X display for the test"
  echo "$E2E_XVFB_PID" >"$E2E_DIR/xvfb.pid"
  cp -a "$E2E_TEMPLATE" "$WINEPREFIX" || fail "copying the template prefix"
  e2e_sandbox_env "$WINEPREFIX"
  set -E
  trap e2e_on_error ERR
  # A warm wineserver makes each wine command fast; retry its start once. It keeps no
  # descriptor of the test's output, which CTest reads until every writer has closed it.
  if ! { wineserver -p </dev/null >/dev/null 2>&1 && poll 10 e2e_wine cmd /c exit; }; then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    { wineserver -p </dev/null >/dev/null 2>&1 && poll 20 e2e_wine cmd /c exit; } ||
      fail "wineserver did not start"
  fi
  export E2E_USER E2E_PROFILE E2E_TEMP
  E2E_USER=$(e2e_user)
  E2E_PROFILE="C:\\users\\$E2E_USER"
  E2E_TEMP="$E2E_PROFILE\\Temp"
}

if [ "${E2E_SOURCED_BY_RUNNER:-}" != 1 ]; then
  set -euo pipefail
  e2e_begin_test
fi
