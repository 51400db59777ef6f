; Installer of the UHF reader configuration tool for Windows, built by scripts/package-windows.sh
; with NSIS: installs into Program Files, adds a Start-menu entry and an uninstaller.
;   makensis -DARCH=x86_64|i686 -DSTAGE=<staged folder> -DOUTFILE=<setup.exe> -DVERSION=<x.y>
Unicode true
!include "MUI2.nsh"
!include "x64.nsh"

!define APPNAME "UHF Reader Tool"
!define APPKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\UhfReaderTool"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if "${ARCH}" == "x86_64"
  InstallDir "$PROGRAMFILES64\${APPNAME}"
!else
  InstallDir "$PROGRAMFILES32\${APPNAME}"
!endif

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Function .onInit
!if "${ARCH}" == "x86_64"
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit build; use the 32-bit installer on this computer."
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}/uhf-reader-tool.exe"
  !if /FileExists "${STAGE}/uhf-readerctl.exe"
    File "${STAGE}/uhf-readerctl.exe"
  !endif
  File "${STAGE}/README.txt"
  ; An existing config.ini holds the operator's own texts: keep it.
  SetOverwrite off
  File "${STAGE}/config.ini"
  SetOverwrite on
  SetOutPath "$INSTDIR\simulator"
  File "${STAGE}/simulator\tagvane.dll"
  ; The program's folder is the working folder of the shortcut, so its config.ini is read.
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\uhf-reader-tool.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${APPKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKLM "${APPKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${APPKEY}" "DisplayIcon" "$INSTDIR\uhf-reader-tool.exe"
  WriteRegStr HKLM "${APPKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${APPKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${APPKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${APPKEY}" "NoRepair" 1
SectionEnd

Function un.onInit
!if "${ARCH}" == "x86_64"
  SetRegView 64
!endif
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  Delete "$INSTDIR\uhf-reader-tool.exe"
  Delete "$INSTDIR\uhf-readerctl.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\simulator\tagvane.dll"
  RMDir "$INSTDIR\simulator"
  Delete "$INSTDIR\uninstall.exe"
  ; config.ini and a vendor's tagvane.dll put there by the operator stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${APPKEY}"
SectionEnd
