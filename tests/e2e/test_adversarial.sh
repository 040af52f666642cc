#!/usr/bin/env bash
# "Nothing outside the target" over the spellings of a temp folder: a drive root, a
# system folder or the profile in every way Windows accepts (".", "..", trailing dots
# and blanks, "/", 8.3 names, "\\?\" and "\\.\", UNC roots, another letter case), and an
# ordinary folder spelt so. Before and after each run every entry of drive C but the
# case's target is taken down with its size and times, and every file outside the
# targets is hashed before the first and after the last: the run must complete with its
# message, and nothing outside its target may differ. test_adversarial_trees does the
# same for links, deep and long trees and a folder swapped mid-run.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/catalogue.sh"
. "$(dirname "$0")/adversarial.sh"

choose chkWindowsTemp
user=$E2E_USER
# A file in the 32-bit system folder (empty in a prefix without 32-bit Wine), for the
# case of the cookie folder set there.
plant_file 'C:\windows\syswow64\nimbrel-probe.dll' probe

# ---- Temp spelt as a drive root, a protected folder or a folder above one: nothing
# at all may change, the trees planted for the other cases included.
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

# ---- The program-files and profile variables unset, the temp folder at C:\Program Files
# and the cookie folder at the 32-bit system folder: the shell still names each protected
# folder, and nothing at all may change.
run_unset_case

same_hashes
stop_nimbrel
