; "2K Hot key\Setup.exe": installs the hotkey driver Tavisk and starts it when done.

!define PRODUCT_NAME "Multimedia Keyboard Driver"
!define PRODUCT_KEY "TarnovaKeyboardDriver"
!define PROGRAM "Tavisk.exe"
!define MAIN_CAPTION "KeyboardDriver"
!define UNINSTALLER "Uninstall Tavisk.exe"
; Written by Tavisk itself at every start.
!define AUTOSTART_VALUE "MultimediaKeyboard"
!define SETUP_ICON "${__FILEDIR__}/res/driver-setup.ico"
!define WIZARD_BITMAP "${__FILEDIR__}/res/driver-wizard.bmp"
!define WELCOME_TEXT "This installs the driver of the keyboard's launch keys: My Computer, the calculator and the media player.$\r$\n$\r$\nThe driver runs in the notification area and starts again each time you log on.$\r$\n$\r$\nClick Install to go on."
!define FINISH_TEXT "The driver is installed in $INSTDIR and starts when you click Finish.$\r$\n$\r$\nTo remove it, use Add or Remove Programs."

!include "${__FILEDIR__}/common.nsh"
