; "2K Hot key\Setup.exe": installs the hotkey driver Tavisk and starts it when done.

!define PRODUCT_NAME "Multimedia Keyboard Driver"
!define PRODUCT_KEY "TarnovaKeyboardDriver"
!define PROGRAM "Tavisk.exe"
!define MAIN_CAPTION "KeyboardDriver"
!define UNINSTALLER "Uninstall Tavisk.exe"
; Tavisk writes the same value with the same fixed data at every start, but only an administrator
; may write it, and the installer starts Tavisk at the user's normal rights.
!define AUTOSTART_VALUE "MultimediaKeyboard"
!define AUTOSTART_DATA '"C:\Program Files\Multimedia Keyboard\Tavisk.exe"'
!define SETUP_ICON "${__FILEDIR__}/res/driver-setup.ico"
!define WIZARD_BITMAP "${__FILEDIR__}/res/driver-wizard.bmp"
!define WELCOME_TEXT "This installs the driver of the keyboard's launch keys: My Computer, the calculator and the media player.$\r$\n$\r$\nThe driver runs in the notification area and starts again each time you log on.$\r$\n$\r$\nClick Install to go on."
!define REBOOT_TEXT "The new driver is installed in $INSTDIR, but the old one is still in use, for example by another user of this computer.$\r$\n$\r$\nA restart of the computer completes the update."
!define FINISH_TEXT "The driver is installed in $INSTDIR and starts when you click Finish.$\r$\n$\r$\nTo remove it, use Add or Remove Programs."

!include "${__FILEDIR__}/common.nsh"
