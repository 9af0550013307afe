; The Windows setup program of Starmoat, made by tools/package-windows.sh with Debian's makensis:
;   makensis -DVERSION=x.y.z -DSTAGE=<the game folder> -DFILES=<installed.nsh> -DOUTFILE=<exe>
;            -DICON=<starmoat.ico> installer.nsi
; A 64-bit installer (the game is 64-bit) into Program Files, with a Start-menu entry, an
; entry in the system's list of programs, and an uninstaller that removes exactly what was
; installed. The settings in %APPDATA%\Starmoat stay for a later installation.
; installed.txt beside the executable tells the game to keep its settings there, not in
; Program Files. /S installs (and Uninstall.exe /S removes) without asking.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Starmoat"

Name "Starmoat ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Starmoat"
InstallDirRegKey HKLM "Software\Starmoat" "InstallDir"
BrandingText "Starmoat ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\starmoat.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Starmoat"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Starmoat"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Starmoat setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "The Starmoat developers"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "The Starmoat developers"

; The program is for every user of the machine: its Start-menu entry too.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Starmoat"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  FileOpen $0 "$INSTDIR\installed.txt" w
  FileWrite $0 "Installed by the Starmoat setup program: the game keeps its settings and high$\r$\n"
  FileWrite $0 "scores in %APPDATA%\Starmoat\Config.cfg. Uninstall.exe removes the program.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Shortcuts start the game in its own folder.
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Starmoat"
  CreateShortcut "$SMPROGRAMS\Starmoat\Starmoat.lnk" "$INSTDIR\starmoat.exe" "" "$INSTDIR\starmoat.exe" 0
  CreateShortcut "$SMPROGRAMS\Starmoat\Uninstall Starmoat.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "Software\Starmoat" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Starmoat"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Starmoat developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\starmoat.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Exactly the files the installer put there (listed when the setup program was made), then
  ; the folders if that left them empty: nothing else in the folder is touched.
  !include "${FILES}"
  Delete "$INSTDIR\installed.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Starmoat\Starmoat.lnk"
  Delete "$SMPROGRAMS\Starmoat\Uninstall Starmoat.lnk"
  RMDir "$SMPROGRAMS\Starmoat"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Starmoat"
SectionEnd
