; The Windows installer: the application folder for the current user, no administrator rights.
; scripts/package-windows passes VERSION, APP_DIR (the staged application folder), FILES and
; UNINSTALL_FILES (lists it writes from that folder) and OUT_FILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "parkmarq"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
; The program writes tools\ and parkmarq.ini beside itself, so it lives where the user may write.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\parkmarq.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\parkmarq.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed and what the program writes for itself (the working files in tools\ and
; the settings file); anything else, such as models saved in the folder, stays, and so do the
; folders that still hold it.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\tools\*.asm"
  Delete "$INSTDIR\tools\compile.log"
  Delete "$INSTDIR\parkmarq.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\tools"
  RMDir "$INSTDIR\vgds_source"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
