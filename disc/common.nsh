; What the two installers of the disc share. A script defines, then includes this file:
;   PRODUCT_NAME   shown in the wizard and in Add/Remove Programs
;   PRODUCT_KEY    its key under ...\CurrentVersion\Uninstall
;   PROGRAM        the program's file name, e.g. Tavisk.exe
;   MAIN_CAPTION   caption of the program's main window: a second copy finds the first by it,
;                  and a WM_CLOSE to it runs the program's own Exit path
;   UNINSTALLER    file name of the uninstaller in the install folder
;   SETUP_ICON, WIZARD_BITMAP, WELCOME_TEXT, FINISH_TEXT
;   AUTOSTART_VALUE (optional) a value under HKLM ...\Run that the program writes, removed on uninstall
; The build passes on the command line:
;   OUTFILE, PROGRAM_FILE (the built program), VERSION (1.1.0), COMPANY, COPYRIGHT

Unicode true
; The launcher starts "Setup.exe" by that name. The warning is about Windows' installer detection,
; which the manifest below turns off (it names an execution level).
!pragma warning disable 9000
SetCompressor /SOLID lzma
; The installed files get the time of their install, not the build's: two builds give one installer.
SetDateSave off
; HKLM and Program Files: the manifest asks for an administrator.
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_KEY}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
; The driver's autostart value names this folder, so it is fixed: no directory page. A 32-bit
; installer's $PROGRAMFILES is "Program Files (x86)" on 64-bit Windows; $PROGRAMFILES64 is the
; native folder there and the same as $PROGRAMFILES on 32-bit Windows.
InstallDir "$PROGRAMFILES64\Multimedia Keyboard"
BrandingText "${COMPANY}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "ProductName" "Multimedia Keyboard"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "Setup.exe"

!define MUI_ICON "${SETUP_ICON}"
!define MUI_UNICON "${SETUP_ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_WELCOMEPAGE_TEXT "${WELCOME_TEXT}"
!define MUI_FINISHPAGE_TEXT "${FINISH_TEXT}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends the running program through its own Exit path, so that it takes its tray icon, hook and
; hotkeys with it: WM_CLOSE to its main window, then a wait for the process. An About box that is
; still open keeps the program alive after that, so its visible windows are closed next; only a
; program that still runs after both is terminated, because its file must go.
!macro KBD_CLOSE_PROGRAM un
Function ${un}CloseProgram
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  FindWindow $0 "" "${MAIN_CAPTION}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2'
    System::Call "user32::PostMessageA(p r0, i ${WM_CLOSE}, p 0, p 0)"
    System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i .r3'
    ${If} $3 <> 0
      StrCpy $0 0
      ${Do}
        FindWindow $0 "" "" 0 $0
        ${If} $0 = 0
          ${ExitDo}
        ${EndIf}
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r4)'
        System::Call 'user32::IsWindowVisible(p r0) i .r3'
        ${If} $4 = $1
        ${AndIf} $3 <> 0
          System::Call "user32::PostMessageA(p r0, i ${WM_CLOSE}, p 0, p 0)"
        ${EndIf}
      ${Loop}
      System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i .r3'
      ${If} $3 <> 0
        System::Call 'kernel32::TerminateProcess(p r2, i 1)'
        System::Call 'kernel32::WaitForSingleObject(p r2, i 5000)'
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro KBD_CLOSE_PROGRAM ""
!insertmacro KBD_CLOSE_PROGRAM "un."

; Without administrator rights neither HKLM nor Program Files can be written (Windows 2000 and
; XP have no elevation prompt): say so and stop before anything is changed.
!macro KBD_REQUIRE_ADMIN
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "$(^Name) must be installed or removed by an administrator." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro KBD_REQUIRE_ADMIN
FunctionEnd

Function un.onInit
  !insertmacro KBD_REQUIRE_ADMIN
FunctionEnd

Section "${PRODUCT_NAME}"
  ; A running copy holds its file, and a new copy would only hand off to it and end.
  Call CloseProgram
  SetOutPath "$INSTDIR"
  File "/oname=${PROGRAM}" "${PROGRAM_FILE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Runs when the installer has closed, after its last page or at the end of a silent install.
; The installer runs as an administrator, and a program it started would keep that token for as long
; as it runs. A second explorer.exe hands its command line to the running shell and ends, so the
; program starts as the logged-on user at normal rights. Neither starts in a folder on the disc,
; which could then not be ejected.
Function .onInstSuccess
  SetOutPath "$INSTDIR"
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${PROGRAM}"'
FunctionEnd

Section "Uninstall"
  Call un.CloseProgram
  Delete /REBOOTOK "$INSTDIR\${PROGRAM}"
  Delete "$INSTDIR\${UNINSTALLER}"
  !ifdef AUTOSTART_VALUE
    DeleteRegValue HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
  !endif
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Both products share the folder: it goes with the last of them.
  RMDir "$INSTDIR"
SectionEnd
