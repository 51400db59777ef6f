; Installer of the UHF reader configuration tool for Windows, built by scripts/package-windows.sh
; with NSIS: the programs into Program Files, the example config.ini into a folder every user may
; edit, a Start-menu entry, an uninstaller and the entry in Add/Remove Programs.
;   makensis -DARCH=x86_64|i686 -DSTAGE=<staged folder> -DOUTFILE=<setup.exe> -DOUTNAME=<its name>
;            -DVERSION=<x.y> -DVERSION4=<x.y.z.w> -DPUBLISHER=<name> [-DSTUB=amd64|x86]
; The 64-bit and the 32-bit package install side by side: each has its own folder, uninstall key,
; name in the list of programs, Start-menu entry and texts folder. The 64-bit setup.exe is a
; 64-bit program itself; the 32-bit one a 32-bit program (STUB overrides that, for tests only).
Unicode true
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APPNAME "UHF Reader Tool"
!if "${ARCH}" == "x86_64"
  !define DISPLAYNAME "${APPNAME}"
  !ifndef STUB
    !define STUB amd64
  !endif
!else
  !define DISPLAYNAME "${APPNAME} (32-bit)"
  !ifndef STUB
    !define STUB x86
  !endif
!endif
!define APPKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\UhfReaderTool-${ARCH}"
Target ${STUB}-unicode

Name "${DISPLAYNAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if "${ARCH}" == "x86_64"
  InstallDir "$PROGRAMFILES64\${APPNAME}"
!else
  InstallDir "$PROGRAMFILES32\${APPNAME}"
!endif
; An upgrade goes where the last install of the same package went.
InstallDirRegKey HKLM "${APPKEY}" "InstallLocation"

; The version in setup.exe's own properties.
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=0 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${DISPLAYNAME} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "OriginalFilename" "${OUTNAME}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the system's language: Chinese on a Chinese system, English (the first
; one, the default) everywhere else.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

; The texts (config.ini) in the public documents, where a standard user may change them; the
; Start-menu entry starts the tool there, so that it reads them.
!define TEXTSDIR "$DOCUMENTS\${DISPLAYNAME}"

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}/uhf-reader-tool.exe"
  File "${STAGE}/uhf-readerctl.exe"
  File "${STAGE}/README.txt"
  SetOutPath "$INSTDIR\simulator"
  File "${STAGE}/simulator\tagvane.dll"

  ; An existing config.ini holds the operator's own texts: keep it. A new one's time is noted,
  ; so that the uninstaller can tell whether it was changed since.
  SetOutPath "${TEXTSDIR}"
  ${IfNot} ${FileExists} "${TEXTSDIR}\config.ini"
    File "${STAGE}/config.ini"
    GetFileTime "${TEXTSDIR}\config.ini" $0 $1
    WriteRegStr HKLM "${APPKEY}" "ConfigTime" "$0.$1"
  ${EndIf}
  CreateShortCut "$SMPROGRAMS\${DISPLAYNAME}.lnk" "$INSTDIR\uhf-reader-tool.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${APPKEY}" "DisplayName" "${DISPLAYNAME}"
  WriteRegStr HKLM "${APPKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${APPKEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${APPKEY}" "DisplayIcon" "$INSTDIR\uhf-reader-tool.exe"
  WriteRegStr HKLM "${APPKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${APPKEY}" "TextsLocation" "${TEXTSDIR}"
  WriteRegStr HKLM "${APPKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${APPKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${APPKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${APPKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${APPKEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${DISPLAYNAME}.lnk"
  ; The texts stay when they were changed since they were installed.
  ReadRegStr $0 HKLM "${APPKEY}" "ConfigTime"
  ${If} ${FileExists} "${TEXTSDIR}\config.ini"
    GetFileTime "${TEXTSDIR}\config.ini" $1 $2
    ${If} "$1.$2" == $0
      Delete "${TEXTSDIR}\config.ini"
    ${EndIf}
  ${EndIf}
  RMDir "${TEXTSDIR}"
  ; The programs' folder goes, with a driver library the operator put there.
  Delete "$INSTDIR\uhf-reader-tool.exe"
  Delete "$INSTDIR\uhf-readerctl.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\tagvane.dll"
  Delete "$INSTDIR\simulator\tagvane.dll"
  RMDir "$INSTDIR\simulator"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${APPKEY}"
SectionEnd
