; Veilkeeper's setup program. Built by makensis with:
;   /DVERSION=1.0.0.1 /DBIN=<folder of Veilkeeper.exe and Onecopy.dll>
;   /DDOCS=<folder of Veilkeeper.html and LICENSE.txt> /DOUTFILE=<setup.exe>
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Veilkeeper"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Onecopy.dll holds one of these mutexes for each running instance.
!define PLACE_PREFIX "Local\Veilkeeper.Onecopy.Place."
!define PLACES 64

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) 2026，MIT 许可证"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${DOCS}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Veilkeeper.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Sets $0 to 1 while an instance of Veilkeeper runs, else 0.
!macro VeilkeeperRunning un
Function ${un}VeilkeeperRunning
  StrCpy $0 0
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PLACE_PREFIX}$1") p .r2'
    ${If} $2 P<> 0
      System::Call 'kernel32::CloseHandle(p r2)'
      StrCpy $0 1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= ${PLACES}
FunctionEnd
!macroend
!insertmacro VeilkeeperRunning ""
!insertmacro VeilkeeperRunning "un."

Function .onInit
  ; A running instance holds the files: ask to end it first.
  Call VeilkeeperRunning
  ${If} $0 == 1
    MessageBox MB_ICONSTOP "Veilkeeper 正在运行。请先从它的菜单选择“退出”，然后再安装。" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
FunctionEnd

Section "Veilkeeper"
  SetOutPath "$INSTDIR"
  File "${BIN}\Veilkeeper.exe"
  File "${DOCS}\Veilkeeper.html"
  File "${DOCS}\LICENSE.txt"

  ; The instance-count library goes to the system directory a 32-bit program
  ; sees (SysWOW64 on 64-bit Windows): where Veilkeeper looks for it.
  SetOutPath "$SYSDIR"
  File "${BIN}\Onecopy.dll"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Veilkeeper.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Veilkeeper.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  Call un.VeilkeeperRunning
  ${If} $0 == 1
    MessageBox MB_ICONSTOP "Veilkeeper 正在运行。请先从它的菜单选择“退出”，然后再卸载。" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
FunctionEnd

; Removes what the setup installed. The user's settings
; (HKEY_CURRENT_USER\Software\Veilkeeper) stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Veilkeeper.exe"
  Delete "$INSTDIR\Veilkeeper.html"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SYSDIR\Onecopy.dll"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
