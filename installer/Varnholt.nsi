; Windows installer of Varnholt, built with makensis (on Linux or Windows):
;   makensis -DBINDIR32=<x86 programs> -DBINDIR64=<x64 programs> -DOUTFILE=<setup.exe> Varnholt.nsi
; The setup program is 32-bit; on 64-bit Windows it installs the x64 programs
; into the native Program Files and writes the uninstall entry in the native
; registry view, on 32-bit Windows the x86 ones, under the same names.
; Silent install: Varnholt-Setup-1.37.exe /S [/D=folder]
; Silent uninstall: uninstall.exe /S  (add /PURGE to delete the backups too)

Unicode true
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Varnholt"
!define VERSION "1.37"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnholt"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; $PROGRAMFILES64 is the native Program Files on either kind of Windows.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "1.37.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Varnholt Software"
VIAddVersionKey "LegalCopyright" "Varnholt Software"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; An update goes where the installed copy is, unless /D= chose a folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${BINDIR64}\Varnholt.exe"
    File "${BINDIR64}\varnholt-cli.exe"
  ${Else}
    File "${BINDIR32}\Varnholt.exe"
    File "${BINDIR32}\varnholt-cli.exe"
  ${EndIf}
  File "/oname=README.txt" "${TEXTFILE}"
  ; The program keeps its backups beside itself.
  CreateDirectory "$INSTDIR\Backup"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Varnholt.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Varnholt.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnholt Software"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\Varnholt.exe"
  Delete "$INSTDIR\varnholt-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; Backups are the user's: they stay unless asked for with /PURGE, or the
  ; user agrees when asked (a silent uninstall never asks).
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  IfErrors 0 purge
  IfSilent keep
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also delete the registry backups in $INSTDIR\Backup?$\nWithout them, removed entries cannot be restored." IDYES purge
  Goto keep
purge:
  RMDir /r "$INSTDIR\Backup"
keep:
  ; Removes the Backup folder only when it is empty.
  RMDir "$INSTDIR\Backup"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
