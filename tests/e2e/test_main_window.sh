#!/usr/bin/env bash
# The main window: its size, title, controls, tray menu, the hover look of a command,
# moving it by its title strip, and the Exit command.
. "$(dirname "$0")/lib.sh"

start_nimbrel
assert_eq "$(drv client FrmMain)" "785 513" "FrmMain client size"
assert_eq "$(drv text FrmMain Label4)" "Nimbrel v3.0" "title"

for c in lvwToBeErased LstShowingTracksErasedProgress PgbTemp lblstatus lblScannedRegKeys \
  lblFilesDelete lblSize ImgStartErasingNormal ImgStartErasingMouseMove ImgEraseSettingNormal \
  ImgEraseSettingMouseMove ImgOptionsNormal ImgOptionsMouseMove ImgAboutNormal \
  ImgAboutMouseMove ImgExitnormal ImgExitMouseMove Image1 Image2 Image8 Image7 ImgFormMove \
  Picture1; do
  drv exists FrmMain "$c" || fail "FrmMain has no $c"
done
assert_eq "$(drv text FrmMain Label2)" "Start Erasing" "Label2"
assert_eq "$(drv text FrmMain Label7)" "Erasing Settings" "Label7"
assert_eq "$(drv text FrmMain Label8)" "Options" "Label8"
assert_eq "$(drv text FrmMain Label9)" "About" "Label9"
assert_eq "$(drv text FrmMain Label10)" "Exit" "Label10"

# Each command shows its normal look at rest.
for c in StartErasing EraseSetting Options About; do
  assert_eq "$(drv visible FrmMain "Img${c}Normal")" 1 "Img${c}Normal at rest"
  assert_eq "$(drv visible FrmMain "Img${c}MouseMove")" 0 "Img${c}MouseMove at rest"
done

assert_eq "$(drv menu FrmMain mnuMain | cut -f1)" "$(printf '%s\n' "Visit Nimbrel WebSite" Help \
  - Restore "Start Erasing" - Options "Erase Settings" "Wipe Free Space" - Exit)" "mnuMain entries"

shot main-window

# The pointer over a command lights it: the normal image goes, the lit one shows.
drv hover FrmMain ImgStartErasingNormal
poll_eq 5 1 drv visible FrmMain ImgStartErasingMouseMove ||
  fail "ImgStartErasingMouseMove not shown on hover"
assert_eq "$(drv visible FrmMain ImgStartErasingNormal)" 0 "ImgStartErasingNormal on hover"
shot hover-start-erasing

# Dragging the title strip moves the window with the pointer.
read -r x y _ < <(drv rect FrmMain)
drv drag FrmMain ImgFormMove 60 40
poll_eq 5 "$((x + 60)) $((y + 40))" eval 'drv rect FrmMain | cut -d" " -f1,2' ||
  fail "FrmMain at [$(drv rect FrmMain)] after a drag by 60 40 from $x $y"

drv click FrmMain Label10
wait_nimbrel_exit 20
drv gone FrmMain 5000 || fail "FrmMain still there after Exit"
