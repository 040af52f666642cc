#!/usr/bin/env bash
# "Nothing outside the target" over an adversarial set of temp folders: the temp folder
# (and the program-files folder of the definitions) spelt as a root, a system folder or
# the profile in every way Windows accepts, a folder link, a folder holding links and
# hard links to data outside, a tree 200 folders deep, a tree whose paths pass 260
# characters, and a sub-folder swapped for a link while the run works. Before and after
# each run every file of drive C but the case's target is hashed; the run must complete
# with its message, and nothing outside its target may differ.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"
. "$(dirname "$0")/adversarial.sh"

choose chkWindowsTemp
user=$E2E_USER

# ---- Temp spelt as a drive root, a protected folder or a folder above one: nothing
# at all may change (the other cases' trees planted below included).
plant_targets
progfiles_short=$(short_name 'C:\Program Files')
users_short=$(short_name 'C:\users')
for temp in 'C:\.' 'C:\' 'C:' 'C:\windows\..' 'C:\users\..\' 'C:\windows.' 'C:\windows. .' \
  'C:\windows .' 'C:/windows/' 'C:/' "$progfiles_short" "$users_short\\$user" '\\?\C:\windows' \
  '\\.\C:\windows' '\\?\C:\' '\\?\UNC\localhost\c$' '\\localhost\c$' '\\localhost\c$\windows' \
  'c:\WINDOWS\SYSTEM32' 'C:\WINDOWS\system32\drivers' "C:\\USERS\\${user^^}" \
  "C:\\users\\$user\\..\\$user" 'C:\users\Public\..' 'C:\Program Files' \
  'C:\Program Files (x86)' 'C:\ProgramData\..' '%SystemRoot%' ''; do
  run_case "temp spelt [$temp]" "$temp" ''
done

# ---- Spellings of an ordinary folder: it is erased, and nothing else.
plant_spelling_tree
spelt_short=$(short_name 'C:\adv\spell\tmp long name')
for temp in 'C:/adv/spell/tmp/' 'c:\ADV\SPELL\TMP' "$spelt_short"; do
  plant_spelling_tree
  run_case "folder spelt [$temp]" "$temp" adv/spell
  [ "$temp" == "$spelt_short" ] && erased='adv/spell/tmp long name' || erased=adv/spell/tmp
  assert_no_files "$erased" "[$temp]"
  [ -f "$c/adv/spell/kept.txt" ] || fail "[$temp]: a file beside the folder was erased"
done
# Spellings with "." or ".." parts, trailing dots and blanks, the long-path and the
# device forms: the folder may be erased or not, but nothing else.
for temp in 'C:\adv\spell\tmp\.' 'C:\adv\spell\tmp. ' 'C:\adv\spell\x\..\tmp' \
  '\\?\C:\adv\spell\tmp' '\\.\C:\adv\spell\tmp'; do
  plant_spelling_tree
  run_case "folder spelt [$temp]" "$temp" adv/spell
done

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
stop_nimbrel
