; Veilkeeper's setup program. Built by makensis with:
;   /DVERSION=1.0.0.1 /DBIN=<folder of Veilkeeper.exe and Onecopy.dll>
;   /DDOCS=<folder of Veilkeeper.html and LICENSE.txt> /DOUTFILE=<setup.exe>
; and /DAMD64 for a 64-bit setup of the x86_64 flavour. That one is never
; shipped: it lets this script be tested where 32-bit programs cannot run.
!ifdef AMD64
  Target amd64-unicode
  ; A 64-bit program goes under the 64-bit Program Files.
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  Unicode true
  !define PROGRAM_FILES "$PROGRAMFILES"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Veilkeeper"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Onecopy.dll holds one of these mutexes, named with the user's SID and
; owned by the user, for each running instance.
!define PLACE_PREFIX "Local\Veilkeeper."
!define PLACES 64

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) 2026，MIT 许可证"

; No directory page: the program goes under Program Files, which only
; administrators may change, because an administrator later runs its
; uninstaller elevated. No run option on the finish page: this process runs
; elevated, possibly as another account, and so would the program.
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${DOCS}\LICENSE.txt"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Sets $0 to 1 while an instance of Veilkeeper runs for this account, else 0.
; A place counts only when it is the user's own: names made first by anyone
; else, or that cannot be opened, are nobody's instance.
!macro VeilkeeperRunning un
Function ${un}VeilkeeperRunning
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  StrCpy $0 0
  ; The user's SID, as a pointer ($4) and as text ($5).
  System::Call 'advapi32::OpenProcessToken(p -1, i 0x8, *p .r1) i .r2'
  ${If} $2 == 0
    Goto done
  ${EndIf}
  System::Alloc 512
  Pop $3
  System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r3, i 512, *i .r2) i .r2'
  System::Call 'kernel32::CloseHandle(p r1)'
  ${If} $2 == 0
    System::Free $3
    Goto done
  ${EndIf}
  System::Call '*$3(p .r4)'
  System::Call 'advapi32::ConvertSidToStringSidW(p r4, *p .r2) i .r1'
  ${If} $1 == 0
    System::Free $3
    Goto done
  ${EndIf}
  System::Call '*$2(&w256 .r5)'
  System::Call 'kernel32::LocalFree(p r2)'

  StrCpy $1 0
  ${Do}
    ; SYNCHRONIZE | READ_CONTROL
    System::Call 'kernel32::OpenMutexW(i 0x00120000, i 0, w "${PLACE_PREFIX}$5.Place.$1") p .r2'
    ${If} $2 P<> 0
      ; Its owner: SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION.
      System::Call 'advapi32::GetSecurityInfo(p r2, i 6, i 1, *p .r6, p 0, p 0, p 0, *p .r7) i .r8'
      ${If} $8 == 0
        System::Call 'advapi32::EqualSid(p r6, p r4) i .r8'
        System::Call 'kernel32::LocalFree(p r7)'
        ${If} $8 <> 0
          StrCpy $0 1
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    ${If} $0 == 1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= ${PLACES}
  System::Free $3
done:
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro VeilkeeperRunning ""
!insertmacro VeilkeeperRunning "un."

Function .onInit
  ; Only here, whatever /D= says.
  StrCpy $INSTDIR "${PROGRAM_FILES}\${PRODUCT}"
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

  ; The instance-count library goes to the system directory a program of the
  ; setup's own width sees, where Veilkeeper of that width looks for it:
  ; SysWOW64 for the 32-bit one on 64-bit Windows, System32 for the 64-bit one.
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
