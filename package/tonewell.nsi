; The installer: makensis -DARCH=win32|win64 -DVERSION=x.y.z -DSTAGE=folder -DOUTFILE=file
;   tonewell.nsi
; STAGE holds tonewell.exe, TWSYNTH.DLL (the software card), README.md and LICENSE as the zip
; has them. Installs them under Program Files with a Start menu entry, "Open with Tonewell" for
; .sf2 files and an uninstaller registered with Windows. The uninstaller removes exactly what
; was installed: the settings (tnw.ini beside the program or in the user's application data),
; what the software card holds (its state in the user's application data) and the SoundFonts
; stay. /S installs and uninstalls silently.
Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma

!define PRODUCT "Tonewell"
!define PROGID "Tonewell.SoundFont"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tonewell"
!define APP_KEY "Software\Classes\Applications\tonewell.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
!if "${ARCH}" == "win64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro ChooseViews
  SetShellVarContext all
  !if "${ARCH}" == "win64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro ChooseViews
FunctionEnd

Function un.onInit
  !insertmacro ChooseViews
FunctionEnd

Section "Tonewell"
  SetOutPath "$INSTDIR"
  File "${STAGE}/tonewell.exe"
  File "${STAGE}/TWSYNTH.DLL"
  File "${STAGE}/README.md"
  File "${STAGE}/LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tonewell.exe"

  ; "Open with Tonewell" for .sf2, and the double-click when no other program has it.
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "SoundFont"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\tonewell.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open" "" "Open with Tonewell"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\tonewell.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\.sf2\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\tonewell.exe" "%1"'
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".sf2" ""
  ReadRegStr $0 HKLM "Software\Classes\.sf2" ""
  StrCmp $0 "" 0 +2
    WriteRegStr HKLM "Software\Classes\.sf2" "" "${PROGID}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tonewell.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\tonewell.exe"
  Delete "$INSTDIR\TWSYNTH.DLL"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\uninstall.exe"
  ; Not recursive: a tnw.ini beside the program keeps the folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ReadRegStr $0 HKLM "Software\Classes\.sf2" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegValue HKLM "Software\Classes\.sf2" ""
  DeleteRegValue HKLM "Software\Classes\.sf2\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty /ifnovalues HKLM "Software\Classes\.sf2\OpenWithProgids"
  DeleteRegKey /ifempty /ifnovalues HKLM "Software\Classes\.sf2"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegKey HKLM "${APP_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
