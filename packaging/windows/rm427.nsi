; The Windows installer: the program with its Qt libraries, plugins and
; translations in Program Files, a Start menu entry, the .dat file type and an
; uninstaller. Built by tools/windows-check.sh:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder of rm427.exe and its DLLs> -DOUTFILE=rm427-setup.exe rm427.nsi
Unicode true
; 64-bit, as the program: wine64 runs it without a 32-bit wine.
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "VERSION is not set"
!endif
!ifndef STAGE
  !error "STAGE is not set"
!endif
!ifndef OUTFILE
  !define OUTFILE "rm427-setup.exe"
!endif

!define PRODUCT "RM-427"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RM-427"
!define FILE_TYPE "RM427.DataFile"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show

!define MUI_ICON "rm427.ico"
!define MUI_UNICON "rm427.ico"
!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "RM-427"
  SetShellVarContext all
  SetRegView 64
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\rm427.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (demo).lnk" "$INSTDIR\rm427.exe" "--demo"

  ; .dat: many programs use the extension, so rm427 joins its "Open with"
  ; list and becomes the default only where no other program is.
  WriteRegStr HKCR "${FILE_TYPE}" "" "RM-427 data file"
  WriteRegStr HKCR "${FILE_TYPE}\DefaultIcon" "" "$INSTDIR\rm427.exe,0"
  WriteRegStr HKCR "${FILE_TYPE}\shell\open\command" "" '"$INSTDIR\rm427.exe" "%1"'
  WriteRegStr HKCR ".dat\OpenWithProgids" "${FILE_TYPE}" ""
  ReadRegStr $0 HKCR ".dat" ""
  StrCmp $0 "" 0 +2
    WriteRegStr HKCR ".dat" "" "${FILE_TYPE}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (demo).lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ReadRegStr $0 HKCR ".dat" ""
  StrCmp $0 "${FILE_TYPE}" 0 +2
    DeleteRegValue HKCR ".dat" ""
  DeleteRegValue HKCR ".dat\OpenWithProgids" "${FILE_TYPE}"
  DeleteRegKey /ifempty HKCR ".dat\OpenWithProgids"
  DeleteRegKey /ifempty HKCR ".dat"
  DeleteRegKey HKCR "${FILE_TYPE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The program's files only: the settings under SoftWare\RM-427 stay.
  RMDir /r "$INSTDIR\plugins"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\qt.conf"
  RMDir "$INSTDIR"
SectionEnd
