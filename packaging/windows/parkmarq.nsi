; The Windows installer: the application folder for the current user, no administrator rights.
; scripts/package-windows passes VERSION, APP_DIR (the staged application folder), FILES and
; UNINSTALL_FILES (lists it writes from that folder), ICON, LICENSE_FILE and OUT_FILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "parkmarq"
!define PUBLISHER "The parkmarq developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program looks for this name beside itself to know that it is an installed copy.
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"
; The program writes tools\ and parkmarq.ini beside itself, so it lives where the user may write.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; Installing again offers the folder of the copy installed before.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
LicenseData "${LICENSE_FILE}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) ${PUBLISHER}, MIT licence"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!addincludedir "${__FILEDIR__}"
!include "file_hash.nsh"
!insertmacro FileHashFunction "un."

; Removes a shipped file only while its content is what the installer put there: its MD5 is the one
; recorded when the package was made. A file the user edited stays.
!macro RemoveIfUnchanged FILE HASH
  StrCpy $R0 "${FILE}"
  Call un.FileHash
  ${If} $R9 == "${HASH}"
    Delete "${FILE}"
  ${ElseIf} ${FileExists} "${FILE}"
    DetailPrint "Kept, changed since installation: ${FILE}"
  ${EndIf}
!macroend

Section "Install"
  SetShellVarContext current
  ; A copy installed before in another folder goes first, as its own uninstaller removes it, so that
  ; no orphaned copy stays behind.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    DetailPrint "Removing the copy installed in $0"
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0'
    ; Run in place, the old uninstaller cannot delete itself.
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
  ${EndIf}

  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\parkmarq.exe"
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\parkmarq.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed and is unchanged, and what the program writes for itself (the working
; files in tools\ and the settings file), then every folder the installer made that is left empty;
; anything else, such as models saved in the folder or
; templates the user edited, stays, and so do the folders that still hold it.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\tools\*.asm"
  Delete "$INSTDIR\tools\compile.log"
  Delete "$INSTDIR\parkmarq.ini"
  Delete "$INSTDIR\${UNINSTALLER}"
  !include "${UNINSTALL_FILES}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
