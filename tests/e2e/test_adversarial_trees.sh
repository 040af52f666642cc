#!/usr/bin/env bash
# "Nothing outside the target" over adversarial temp trees: a temp folder that is a
# folder link, one holding folder, file and hard links to data outside (and a link to
# itself), a tree 200 folders deep, a tree whose paths pass 260 characters, a sub-folder
# swapped for a link to a folder outside while the run works, and the definitions'
# program-files folder spelt as a root or a system folder. As in test_adversarial, each
# run must complete with its message and change nothing outside its target.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"
. "$(dirname "$0")/adversarial.sh"

choose chkWindowsTemp
plant_targets

# ---- Links: temp is a folder link; temp holds folder, file and hard links outside.
run_case "temp is a folder link" 'C:\adv\linkdir' ''
run_case "temp holds links and hard links to data outside" 'C:\adv\mixed' adv/mixed
assert_no_files adv/mixed "the folder of links"
for l in dirlink filelink loop dangling; do
  [ -L "$c/adv/mixed/$l" ] || fail "the link $l is gone"
done
assert_eq "$(cat "$c/advoutside/hard.txt")" "hard outside" "the hard link's data"

# ---- Depth and length: every file erased, the folders left.
run_case "a tree 200 folders deep" 'C:\adv\deep' adv/deep
assert_no_files adv/deep "the deep tree"
[ -d "$c/adv/deep/$(printf 'd/%.0s' $(seq 200))" ] || fail "the deep folders must stay"
run_case "a tree of paths over 260 characters" 'C:\adv\long' adv/long
assert_no_files adv/long "the long-path tree"
grep -qF "  C:\\adv\\long\\$LONG_LAST" <<<"$PROGRESS" ||
  fail "no progress line for the longest path (ordinary spelling)"

# ---- A sub-folder swapped for a link to a folder outside while the run works.
swap_case

# ---- The program-files folder of the definitions spelt as a root or a system folder.
definitions_cases

same_hashes
stop_nimbrel
