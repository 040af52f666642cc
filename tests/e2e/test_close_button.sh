#!/usr/bin/env bash
# The title strip's close image ends the program.
. "$(dirname "$0")/lib.sh"

start_nimbrel
drv click FrmMain Image1
wait_nimbrel_exit 20
drv gone FrmMain 5000 || fail "FrmMain still there after Image1"
