; glimra-setup.exe: installs, upgrades and removes Glimra on Windows 95/98.
; Made by the 32-bit build (setup/CMakeLists.txt), which passes
;   VERSION      the program's version, major.minor.revision
;   BIN          the folder of the 32-bit binaries
;   SCHEMES      the folder of the shipped fade schemes
;   SCHEME_LIST  an include with one "!insertmacro ShipScheme NAME" a scheme
;   OUTFILE      the setup program to write
; "/S" runs it without a window; every question then takes its default.

Unicode false  ; ANSI: the Unicode stub does not run on Windows 95/98
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include Library.nsh
!include MUI2.nsh

!define MAKER "Zol Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimra"
!define SETTINGS_KEY "Software\Zol Software\Glimra"
; Glimra's own previous-instance test holds this mutex while it runs.
!define RUNNING_MUTEX "Zol Software Glimra running"
!define SYNCHRONIZE 0x00100000
!define MENU_FOLDER "$SMPROGRAMS\Glimra"

Name "Glimra ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${MAKER}\Glimra"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${MAKER}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Glimra"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "FileDescription" "Glimra ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${MAKER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\glimra.hlp"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show Glimra's help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Not empty when an earlier Glimra is installed: its shared files are counted already.
Var AlreadyInstalled
Var RemoveSettings

; Both directions refuse while Glimra runs: its files are in use, and an
; upgrade must not pull the program from under the member.
!macro CLOSE_GLIMRA_FIRST un
Function ${un}CloseGlimraFirst
  retry:
  System::Call 'kernel32::OpenMutexA(i ${SYNCHRONIZE}, i 0, t "${RUNNING_MUTEX}") i .r0'
  ${If} $0 <> 0
    System::Call 'kernel32::CloseHandle(i r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Glimra is running.$\n$\nPlease close Glimra first (choose Exit on its chat tools window or on its menu in AOL), then choose Retry." \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel 3
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_GLIMRA_FIRST ""
!insertmacro CLOSE_GLIMRA_FIRST "un."

Function .onInit
  Call CloseGlimraFirst
  ReadRegStr $AlreadyInstalled HKLM "${UNINSTALL_KEY}" "UninstallString"
  ; relay32.dll comes with the AOL client; without it Glimra will not start.
  ${IfNot} ${FileExists} "$SYSDIR\relay32.dll"
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "Glimra works beside the 32-bit AOL 4.0 or 5.0 client, which puts relay32.dll into $SYSDIR. That file is not there, so AOL does not seem to be installed, and Glimra will not start until it is.$\n$\nInstall Glimra anyway?" \
      /SD IDOK IDOK install_anyway
    SetErrorLevel 4
    Quit
    install_anyway:
  ${EndIf}
FunctionEnd

; A shipped scheme waits in "incoming" for the first start to import it,
; unless the member already has a scheme of that name (an upgrade or a
; reinstallation after settings were kept): theirs stays as it is.
!macro ShipScheme NAME
  ${If} HKCU ${RegKeyIsEmpty} "${SETTINGS_KEY}\Schemes\${NAME}"
    File "${SCHEMES}\${NAME}.fde"
  ${EndIf}
!macroend

Section "Glimra" SecGlimra
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN}\glimra.exe"
  File "${BIN}\glimra.hlp"
  CreateDirectory "$INSTDIR\outgoing"
  SetOutPath "$INSTDIR\incoming"
  !include "${SCHEME_LIST}"

  ; The system files: counted in SharedDLLs (once per installation, not per
  ; upgrade), never replacing a newer version, the controls registered.
  !insertmacro InstallLib REGDLL $AlreadyInstalled NOREBOOT_NOTPROTECTED "${BIN}\zolbtns.ocx" "$SYSDIR\zolbtns.ocx" "$SYSDIR"
  !insertmacro InstallLib REGDLL $AlreadyInstalled NOREBOOT_NOTPROTECTED "${BIN}\zolbar.ocx" "$SYSDIR\zolbar.ocx" "$SYSDIR"
  !insertmacro InstallLib REGDLL $AlreadyInstalled NOREBOOT_NOTPROTECTED "${BIN}\dwsbc36.ocx" "$SYSDIR\dwsbc36.ocx" "$SYSDIR"
  !insertmacro InstallLib DLL $AlreadyInstalled NOREBOOT_NOTPROTECTED "${BIN}\dwspy36.dll" "$SYSDIR\dwspy36.dll" "$SYSDIR"

  SetOutPath "$INSTDIR"  ; the shortcuts' working folder
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortCut "${MENU_FOLDER}\Glimra.lnk" "$INSTDIR\glimra.exe"
  CreateShortCut "${MENU_FOLDER}\Glimra Help.lnk" "$INSTDIR\glimra.hlp"
  CreateShortCut "${MENU_FOLDER}\Uninstall Glimra.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Glimra"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\glimra.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  Call un.CloseGlimraFirst
FunctionEnd

; In the uninstaller, a shipped scheme still waiting in "incoming" goes.
!macroundef ShipScheme
!macro ShipScheme NAME
  Delete "$INSTDIR\incoming\${NAME}.fde"
!macroend

Section "Uninstall"
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your Glimra settings and your fade schemes?$\n$\nChoose No to keep them for a later installation of Glimra." \
    /SD IDNO IDNO keep_settings
  StrCpy $RemoveSettings 1
  keep_settings:

  ; A shared file goes only when no other program counts it any more.
  !insertmacro UnInstallLib REGDLL SHARED NOREBOOT_NOTPROTECTED "$SYSDIR\zolbtns.ocx"
  !insertmacro UnInstallLib REGDLL SHARED NOREBOOT_NOTPROTECTED "$SYSDIR\zolbar.ocx"
  !insertmacro UnInstallLib REGDLL SHARED NOREBOOT_NOTPROTECTED "$SYSDIR\dwsbc36.ocx"
  !insertmacro UnInstallLib DLL SHARED NOREBOOT_NOTPROTECTED "$SYSDIR\dwspy36.dll"

  Delete "$INSTDIR\glimra.exe"
  Delete "$INSTDIR\glimra.hlp"
  !include "${SCHEME_LIST}"
  ; Only when empty: a scheme file waiting there, or one the member exported
  ; into "outgoing", stays with its folder.
  RMDir "$INSTDIR\incoming"
  RMDir "$INSTDIR\outgoing"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES\${MAKER}"

  Delete "${MENU_FOLDER}\Glimra.lnk"
  Delete "${MENU_FOLDER}\Glimra Help.lnk"
  Delete "${MENU_FOLDER}\Uninstall Glimra.lnk"
  RMDir "${MENU_FOLDER}"

  ${If} $RemoveSettings != ""
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${MAKER}"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
