; What the two installers of the disc share. A script defines, then includes this file:
;   PRODUCT_NAME   shown in the wizard and in Add/Remove Programs
;   PRODUCT_KEY    its key under ...\CurrentVersion\Uninstall
;   PROGRAM        the program's file name, e.g. Tavisk.exe
;   MAIN_CAPTION   caption of the program's main window: a second copy finds the first by it,
;                  and a WM_CLOSE to it runs the program's own Exit path
;   UNINSTALLER    file name of the uninstaller in the install folder
;   SETUP_ICON, WIZARD_BITMAP, WELCOME_TEXT, FINISH_TEXT
;   REBOOT_TEXT    the finish page's text when the old program file waits for a restart
;   AUTOSTART_VALUE, AUTOSTART_DATA  the value under HKLM ...\Run that starts the program at log-on:
;                  written by the installer while it has an administrator's rights, removed on uninstall
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
; Shared by both products' shortcuts in the all-users Start menu: it goes with the last of them.
!define START_MENU_FOLDER "$SMPROGRAMS\Multimedia Keyboard"
; Each installer is built for the width of the program it carries. A 32-bit program's HKLM\Software
; is the 32-bit view (Wow6432Node on 64-bit Windows), a 64-bit one's the native view: the installer
; writes and deletes the autostart value in the view where the program itself writes it, so that
; there is one value, not two, and the uninstaller takes the one there is.
!if ${NSIS_PTR_SIZE} > 4
  !define PROGRAM_REG_VIEW 64
!else
  !define PROGRAM_REG_VIEW 32
!endif

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
; Shown instead when the old program file was still in use (MoveProgramAside). The new program is
; in place already; the restart only ends the old copy and deletes its file, so it can wait.
!define MUI_FINISHPAGE_TEXT_REBOOT "${REBOOT_TEXT}"
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
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

; A copy that CloseProgram cannot see, because it runs in another user's session (Fast User
; Switching, Remote Desktop), still holds the program's file: Windows refuses to write or delete a
; running program's file, but lets it be renamed. So the file moves to a free name in the same
; folder and is deleted at the next restart (Delete /REBOOTOK sets the reboot flag only when the
; file is still held); its own name is free for the new file at once. The uninstaller moves it
; aside too: a delete at restart under the program's own name would take a program that is
; installed again before that restart.
!macro KBD_MOVE_PROGRAM_ASIDE un
Function ${un}MoveProgramAside
  Push $0
  ${If} ${FileExists} "$INSTDIR\${PROGRAM}"
    GetTempFileName $0 "$INSTDIR"
    Delete "$0"
    ClearErrors
    Rename "$INSTDIR\${PROGRAM}" "$0"
    ${If} ${Errors}
      ; Held without leave to rename: the copy below reports the file it cannot write.
      Delete "$0"
    ${Else}
      Delete /REBOOTOK "$0"
    ${EndIf}
  ${EndIf}
  Pop $0
FunctionEnd
!macroend
!insertmacro KBD_MOVE_PROGRAM_ASIDE ""
!insertmacro KBD_MOVE_PROGRAM_ASIDE "un."

; A file could not go until the next restart: 3010 (ERROR_SUCCESS_REBOOT_REQUIRED) tells a silent
; caller what the wizard's finish page or a message tells a user.
!macro KBD_REBOOT_STATUS
  ${If} ${RebootFlag}
    SetErrorLevel 3010
  ${EndIf}
!macroend

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

; The programs are installed for the machine: their shortcuts go to the all-users Start menu.
Function .onInit
  !insertmacro KBD_REQUIRE_ADMIN
  SetShellVarContext all
  SetRegView ${PROGRAM_REG_VIEW}
FunctionEnd

Function un.onInit
  !insertmacro KBD_REQUIRE_ADMIN
  SetShellVarContext all
  SetRegView ${PROGRAM_REG_VIEW}
FunctionEnd

Section "${PRODUCT_NAME}"
  ; A running copy holds its file, and a new copy would only hand off to it and end.
  Call CloseProgram
  SetOutPath "$INSTDIR"
  Call MoveProgramAside
  File "/oname=${PROGRAM}" "${PROGRAM_FILE}"
  ${If} ${RebootFlag}
    DetailPrint "The old version is still in use: a restart of the computer completes the update."
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The shortcut starts in the install folder (the out path), not in the installer's.
  CreateDirectory "${START_MENU_FOLDER}"
  CreateShortCut "${START_MENU_FOLDER}\${PRODUCT_NAME}.lnk" "$INSTDIR\${PROGRAM}"
  ; Written here, before .onInstSuccess starts the program: the program runs at the user's
  ; normal rights, and Windows refuses it the write under HKLM.
  WriteRegStr HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}" '${AUTOSTART_DATA}'

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
  !insertmacro KBD_REBOOT_STATUS
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
  Call un.MoveProgramAside
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegValue HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
  Delete "${START_MENU_FOLDER}\${PRODUCT_NAME}.lnk"
  RMDir "${START_MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Both products share the folder: it goes with the last of them. If it still holds files that
  ; wait for the restart, and no other product's uninstaller ("Uninstall *.exe"), it goes at the
  ; restart after them.
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
  ${AndIfNot} ${FileExists} "$INSTDIR\Uninstall *.exe"
    RMDir /REBOOTOK "$INSTDIR"
  ${EndIf}
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "$(^Name) is removed, but its program is still in use, for example by another user of this computer. Its last files are deleted when you restart the computer." /SD IDOK
  ${EndIf}
  !insertmacro KBD_REBOOT_STATUS
SectionEnd
