; "Zevo LED\Setup.exe": installs the lock-key indicator Lumora and starts it when done.

!define PRODUCT_NAME "Keyboard LED Indicate"
!define PRODUCT_KEY "TarnovaKeyboardLed"
!define PROGRAM "Lumora.exe"
!define MAIN_CAPTION "Keyboard LED Indicate"
!define UNINSTALLER "Uninstall Lumora.exe"
; Lumora writes no autostart entry of its own; without one the indicator is gone after the next
; log-on. A Run value rather than a shortcut in the all-users Startup folder: the same kind of
; entry as the driver's, one value that the uninstaller deletes by name, where a shortcut could be
; renamed or moved by a user and then outlive the uninstall.
!define AUTOSTART_VALUE "KeyboardLedIndicate"
!define AUTOSTART_DATA '"$INSTDIR\${PROGRAM}"'
!define SETUP_ICON "${__FILEDIR__}/../indicator/res/lumora.ico"
!define WIZARD_BITMAP "${__FILEDIR__}/res/led-wizard.bmp"
!define WELCOME_TEXT "This installs the lock-key indicator: when you press Num Lock, Caps Lock or Scroll Lock, a small window at the lower right of the screen shows the three lamps for a moment.$\r$\n$\r$\nClick Install to go on."
!define REBOOT_TEXT "The new indicator is installed in $INSTDIR, but the old one is still in use, for example by another user of this computer.$\r$\n$\r$\nA restart of the computer completes the update."
!define FINISH_TEXT "The indicator is installed in $INSTDIR and starts when you click Finish. Its icon is in the notification area.$\r$\n$\r$\nTo remove it, use Add or Remove Programs."

!include "${__FILEDIR__}/common.nsh"
