; "Zevo LED\Setup.exe": installs the lock-key indicator Lumora and starts it when done.

!define PRODUCT_NAME "Keyboard LED Indicate"
!define PRODUCT_KEY "TarnovaKeyboardLed"
!define PROGRAM "Lumora.exe"
!define MAIN_CAPTION "Keyboard LED Indicate"
!define UNINSTALLER "Uninstall Lumora.exe"
!define SETUP_ICON "${__FILEDIR__}/../indicator/res/lumora.ico"
!define WIZARD_BITMAP "${__FILEDIR__}/res/led-wizard.bmp"
!define WELCOME_TEXT "This installs the lock-key indicator: when you press Num Lock, Caps Lock or Scroll Lock, a small window at the lower right of the screen shows the three lamps for a moment.$\r$\n$\r$\nClick Install to go on."
!define FINISH_TEXT "The indicator is installed in $INSTDIR and starts when you click Finish. Its icon is in the notification area.$\r$\n$\r$\nTo remove it, use Add or Remove Programs."

!include "${__FILEDIR__}/common.nsh"
