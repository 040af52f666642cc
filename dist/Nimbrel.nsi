; Nimbrel's installer: Program Files, a Start-menu shortcut, an entry in "Add or Remove
; Programs" and an uninstaller that leaves the user's data unless told otherwise.
;   makensis -DEXE=path/to/Nimbrel.exe -DOUTFILE=Nimbrel-3.0.0-setup.exe dist/Nimbrel.nsi
; ARCH=x86 (the default) is the installer that runs on every Windows from XP on and
; installs the 32-bit exe; ARCH=amd64 builds the same installer as a 64-bit program
; around the 64-bit exe.
; Silent: setup.exe /S [/D=folder]; Uninstall.exe /S [/REMOVEDATA].

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION
  !define VERSION 3.0.0
!endif
!ifndef ARCH
  !define ARCH x86
!endif
!ifndef EXE
  !error "give the exe to install: -DEXE=path/to/Nimbrel.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE Nimbrel-${VERSION}-setup.exe
!endif

!define PRODUCT Nimbrel
!define PUBLISHER NimbrelSoft
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\${PUBLISHER}\${PRODUCT}"
; The class of every Nimbrel window.
!define WINDOW_CLASS NimbrelForm

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "..\res\Nimbrel.ico"
UninstallIcon "..\res\Nimbrel.ico"
BrandingText "${PUBLISHER}"
!if ${ARCH} == amd64
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  ; The 32-bit folder: "Program Files (x86)" on 64-bit Windows, as Windows does.
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var RemoveData

; The registry view of the exe this installer installs.
!macro RegView
  !if ${ARCH} == amd64
    SetRegView 64
  !else
    SetRegView default
  !endif
!macroend

; A running Nimbrel holds its exe: say so instead of failing half-way.
!macro RefuseWhileRunning
  FindWindow $0 "${WINDOW_CLASS}"
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it and try again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RegView
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  File "/oname=Nimbrel.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Nimbrel.exe" "" "$INSTDIR\Nimbrel.exe" 0
  ; Explorer's Send To (the installing user's): the chosen files and folders
  ; come as the arguments of /shred, which asks before it shreds.
  SetShellVarContext current
  CreateShortcut "$SENDTO\Shred with ${PRODUCT}.lnk" "$INSTDIR\Nimbrel.exe" "/shred" \
    "$INSTDIR\Nimbrel.exe" 0
  SetShellVarContext all

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nimbrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  !insertmacro RegView
  !insertmacro RefuseWhileRunning
  StrCpy $RemoveData 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveData 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Only the files this installer put there: the folder may hold the user's own.
  Delete "$INSTDIR\Nimbrel.exe"
  Delete "$INSTDIR\Uninstall.exe"

  ${If} $RemoveData != 1
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Also remove your ${PRODUCT} settings, activity log (Log.txt) and keep lists \
(Cookies.ini, Backup.dat)?" \
      /SD IDNO IDNO keep
    StrCpy $RemoveData 1
    keep:
  ${EndIf}
  ${If} $RemoveData == 1
    Delete "$INSTDIR\Log.txt"
    Delete "$INSTDIR\Cookies.ini"
    Delete "$INSTDIR\Backup.dat"
    ; Where the program keeps them when it may not write beside its exe (in
    ; Program Files, run without administrator rights): the user's own folder.
    SetShellVarContext current
    Delete "$APPDATA\${PRODUCT}\Log.txt"
    Delete "$APPDATA\${PRODUCT}\Cookies.ini"
    Delete "$APPDATA\${PRODUCT}\Backup.dat"
    RMDir "$APPDATA\${PRODUCT}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
  ${EndIf}
  RMDir "$INSTDIR"

  SetShellVarContext current
  Delete "$SENDTO\Shred with ${PRODUCT}.lnk"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; The start-with-Windows values, in both registry views on 64-bit Windows: the
  ; 32-bit and the 64-bit exe each write where their view leads.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ${If} ${RunningX64}
    SetRegView 32
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    SetRegView 64
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    !insertmacro RegView
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
