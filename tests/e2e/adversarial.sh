# Helpers of test_adversarial.sh: the planted trees, the hash of everything outside a
# target, and one run of the program with a given temp folder. Sourced after lib.sh and
# catalogue.sh.

c=$WINEPREFIX/drive_c
OPTIONS_KEY='HKCU\Software\NimbrelSoft\Nimbrel\Options'
MESSAGE=" All selected tracks were erased sucessfully."
# The longest file of the long-path tree, relative to C:\adv\long (set by plant_targets).
LONG_LAST=
# The progress lines of the last run.
PROGRESS=

# Every entry of drive C but the log the runs append to, one line each with the path in
# the second tab field: a file or link with its size, inode, link target and its
# modification and change times (no program can set a change time back, so any write,
# truncation, rename or attribute change shows), a folder by its path (what it holds
# shows in the lines of its entries). The last one made is kept: a run's "after" is
# the next run's "before" unless something was planted in between (the plant_*
# helpers and swap_case forget it).
LAST_MANIFEST=
full_manifest() {
  (cd "$c" && find . -path ./Nimbrel/Log.txt -prune -o -type d -printf 'd\t%p\n' \
    -o -printf '%y\t%p\t%s\t%i\t%l\t%T@\t%C@\n' | LC_ALL=C sort)
}
# The file outside that a target holds a hard link to: erasing the target deletes that
# name, which lowers the file's link count and so moves its change time, and nothing else
# (its size, inode, modification time and hash are still compared).
HARD_LINKED=./advoutside/hard.txt
# manifest TARGET: the full manifest without the lines of TARGET (relative to drive_c,
# "" for none).
manifest() {
  [ -n "$LAST_MANIFEST" ] || LAST_MANIFEST=$(full_manifest)
  awk -F'\t' -v OFS='\t' -v t="./$1" -v h="$HARD_LINKED" '
    t == "./" || ($2 != t && index($2, t "/") != 1) { if ($2 == h) $7 = ""; print }' \
    <<<"$LAST_MANIFEST"
}
# The SHA-1 of every file of drive C outside C:\adv (where the cases' targets lie) but
# the log: taken when the trees are planted and again at the end, it must not differ.
hashes() {
  (cd "$c" && find . \( -path ./adv -o -path ./Nimbrel/Log.txt \) -prune -o -type f -print0 |
    LC_ALL=C sort -z | xargs -0 -r sha1sum)
}
same_hashes() {
  local now
  now=$(hashes)
  [ "$now" == "$HASHES" ] || {
    diff <(printf '%s\n' "$HASHES") <(printf '%s\n' "$now") | head -n 20 >&2
    fail "a file outside C:\\adv differs from its hash when the trees were planted"
  }
}

# The 8.3 name Wine gives a path.
short_name() { drv shortname "$1"; }

fill() { head -c "$2" /dev/urandom >"$1"; }

# The data outside every target, and the trees the cases aim at.
plant_targets() {
  local p i level name
  LAST_MANIFEST=
  mkdir -p "$c/advoutside/data/sub" "$c/adv"
  printf 'secret outside' >"$c/advoutside/secret.txt"
  printf 'hard outside' >"$c/advoutside/hard.txt"
  fill "$c/advoutside/data/inner.bin" 3000
  fill "$c/advoutside/data/sub/deep.bin" 5000

  ln -s "$c/advoutside/data" "$c/adv/linkdir"

  mkdir -p "$c/adv/mixed/sub"
  fill "$c/adv/mixed/a.txt" 100
  fill "$c/adv/mixed/sub/b.txt" 2100
  ln -s "$c/advoutside/data" "$c/adv/mixed/dirlink"
  ln -s "$c/advoutside/secret.txt" "$c/adv/mixed/filelink"
  ln "$c/advoutside/hard.txt" "$c/adv/mixed/hard.txt"
  ln -s . "$c/adv/mixed/loop"
  ln -s "$c/advoutside/none" "$c/adv/mixed/dangling"

  p=$c/adv/deep
  for i in $(seq 200); do
    fill "$p/f$i.txt" 10 2>/dev/null || { mkdir -p "$p"; fill "$p/f$i.txt" 10; }
    p=$p/d
  done
  mkdir -p "$p"

  # Six levels of 50-character names, 40 files a level: paths of 160 to 330 characters,
  # most of them past 260.
  p=$c/adv/long
  name=
  for level in 1 2 3 4 5 6; do
    p=$p/$(printf "level$level%.0s" $(seq 8))xx
    mkdir -p "$p"
    name=${name:+$name\\}${p##*/}
    for i in $(seq 40); do
      fill "$p/file number $i of level $level.txt" $((i * 37))
    done
  done
  LONG_LAST="$name\\file number 40 of level 6.txt"
  [ ${#LONG_LAST} -gt 260 ] || fail "the long tree is not long enough"
  HASHES=$(hashes)
}

plant_spelling_tree() {
  LAST_MANIFEST=
  rm -rf "$c/adv/spell"
  mkdir -p "$c/adv/spell/tmp/sub" "$c/adv/spell/tmp long name"
  fill "$c/adv/spell/tmp long name/c.txt" 300
  fill "$c/adv/spell/tmp/a.txt" 500
  fill "$c/adv/spell/tmp/sub/b.txt" 700
  fill "$c/adv/spell/kept.txt" 50
}

# assert_no_files DIR WHAT: no file is left below drive_c/DIR (links may be).
assert_no_files() {
  local left
  left=$(find "$c/$1" -type f | head -n 5)
  [ -z "$left" ] || fail "$2: files left: $left"
}

# Starts the program, runs the erase and waits for the completion message; PROGRESS
# gets the progress lines. The message is closed and the program ended.
erase_once() {
  start_nimbrel
  drv click FrmMain Label2
  drv wait FrmMessage 180000 >/dev/null || fail "$1: no completion message"
  assert_eq "$(drv text FrmMessage lblMesage)" "$MESSAGE" "$1: the message"
  PROGRESS=$(drv items FrmMain LstShowingTracksErasedProgress)
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "$1: the message did not close"
  stop_nimbrel
}

# Fails when anything outside TARGET differs from the manifest BEFORE.
same_outside() {
  local name=$1 target=$2 before=$3 after
  LAST_MANIFEST=$(full_manifest)
  after=$(manifest "$target")
  if [ "$before" != "$after" ]; then
    diff <(printf '%s\n' "$before") <(printf '%s\n' "$after") | head -n 20 >&2
    fail "$name: something outside ${target:-the erased folders} changed"
  fi
}

# run_case NAME TEMP TARGET: one run with TEMP as the temp folder.
run_case() {
  local name=$1 temp=$2 target=$3 before
  before=$(manifest "$target")
  reg_add 'HKCU\Environment' TEMP "$temp"
  erase_once "$name"
  same_outside "$name" "$target" "$before"
  e2e_log "ok: $name ($(grep -c '^  ' <<<"$PROGRESS" || true) files listed)"
}

# A 64 MiB file erased with 11 passes keeps the run busy in the temp folder's top level
# while the sub-folder, already listed, becomes a link to the data outside.
swap_case() {
  local before
  LAST_MANIFEST=
  mkdir -p "$c/adv/swap/zsub"
  fill "$c/adv/swap/big.bin" $((64 << 20))
  fill "$c/adv/swap/zsub/z.txt" 300
  reg_add "$OPTIONS_KEY" chkenablesecureerasing 1
  reg_add "$OPTIONS_KEY" cmboverwriteTracksFiles 10
  reg_add 'HKCU\Environment' TEMP 'C:\adv\swap'
  before=$(manifest adv/swap)
  start_nimbrel
  drv click FrmMain Label2
  poll 60 eval 'drv items FrmMain LstShowingTracksErasedProgress | grep -qF "big.bin"' ||
    fail "the big file was not reached"
  rm -rf "$c/adv/swap/zsub"
  ln -s "$c/advoutside/data" "$c/adv/swap/zsub"
  drv wait FrmMessage 180000 >/dev/null || fail "swap: no completion message"
  assert_eq "$(drv text FrmMessage lblMesage)" "$MESSAGE" "swap: the message"
  PROGRESS=$(drv items FrmMain LstShowingTracksErasedProgress)
  drv click FrmMessage cmdOK
  stop_nimbrel
  # Still busy with big.bin when the swap came: nothing of the link's target is listed.
  grep -qF 'inner.bin' <<<"$PROGRESS" && fail "swap: the walk went through the new link"
  [ ! -e "$c/adv/swap/big.bin" ] || fail "swap: big.bin not erased"
  same_outside "a sub-folder swapped for a link during the run" adv/swap "$before"
  reg_add "$OPTIONS_KEY" chkenablesecureerasing 0
  e2e_log "ok: a sub-folder swapped for a link during the run"
}

# The definitions of two applications whose lines start at the program-files folder,
# with that folder spelt as a root or a system folder: nothing may change.
definitions_cases() {
  local cv='HKLM\Software\Microsoft\Windows\CurrentVersion' pf before app
  choose
  for app in "Ad Adware 6" "Agent NewsReader" "BearShare" "Download Accelerator"; do
    reg_add "$OPTIONS_KEY" "$app" True
  done
  reg_add 'HKCU\Environment' TEMP 'C:\adv\deftemp'
  mkdir -p "$c/adv/deftemp"
  LAST_MANIFEST=
  for pf in 'C:\.' 'C:\windows\..' '\\?\C:\' 'C:' 'C:/' 'C:\windows' ''; do
    reg_add "$cv" PROG_FILES_DIR "$pf"
    before=$(manifest adv/deftemp)
    erase_once "program files spelt [$pf]"
    same_outside "program files spelt [$pf]" adv/deftemp "$before"
    e2e_log "ok: program files spelt [$pf]"
  done
}

# The variables no process of the run may see: Wine sets them for the first process of a
# command only, so the program is started by cmd with them unset.
UNSET_VARIABLES=(ProgramFiles 'ProgramFiles(x86)' ProgramW6432 USERPROFILE)
# cmd_unset COMMAND: COMMAND run by cmd with UNSET_VARIABLES unset ("set X=" with nothing
# after the "=" removes X).
cmd_unset() {
  local sets='' v
  for v in "${UNSET_VARIABLES[@]}"; do sets+="set $v=&"; done
  (cd "$WINEPREFIX/drive_c/Nimbrel" && exec "$E2E_WINE" cmd /c "$sets$1")
}

# TEMP at C:\Program Files and the cookie folder at C:\windows\syswow64, with both
# categories chosen and UNSET_VARIABLES unset: the run completes and nothing changes.
run_unset_case() {
  local name="variables unset" shell_folders before seen v
  shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
  seen=$(cmd_unset 'cmd /c set' 2>/dev/null | tr -d '\r')
  for v in "${UNSET_VARIABLES[@]}"; do
    ! grep -qi "^$v=" <<<"$seen" || fail "$name: $v is still set for the program"
  done
  choose chkWindowsTemp chkCookies
  reg_add 'HKCU\Environment' TEMP 'C:\Program Files'
  reg_add "$shell_folders" Cookies 'C:\windows\syswow64'
  before=$(manifest '')
  cmd_unset Nimbrel.exe >>"$E2E_DIR/nimbrel.log" 2>&1 &
  NIMBREL_PID=$!
  drv wait FrmMain 45000 >/dev/null || fail "$name: FrmMain did not appear"
  drv click FrmMain Label2
  drv wait FrmMessage 180000 >/dev/null || fail "$name: no completion message"
  assert_eq "$(drv text FrmMessage lblMesage)" "$MESSAGE" "$name: the message"
  drv click FrmMessage cmdOK
  drv gone FrmMessage 10000 || fail "$name: the message did not close"
  drv click FrmMain Image1
  drv gone FrmMain 20000 || fail "$name: the program did not end"
  stop_nimbrel
  same_outside "$name" '' "$before"
  e2e_log "ok: $name"
}
