; Names the installer and the uninstaller share: registry keys, files, switches.

; Read by the screen saver at start: Install_Dir is the install folder without a trailing
; backslash (the program appends one). The installer keeps its own records here too.
!define PRODUCT_KEY "SOFTWARE\OrvinSoftware\MarvaneScreenSaver"
!define PRODUCT_PARENT_KEY "SOFTWARE\OrvinSoftware"
; The user's own settings, written by the configuration dialog.
!define SETTINGS_KEY "Software\OrvinSoftware\MarvaneScreenSaver"
!define SETTINGS_PARENT_KEY "Software\OrvinSoftware"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MarvaneScreenSaver"
!define DESKTOP_KEY "Control Panel\Desktop"

!define SAVER_NAME "kestoral.scr"
!define CONTROL_NAME "swfplayer-control.dll"
; On 64-bit Windows: the 32-bit control, for 32-bit hosts.
!define CONTROL32_NAME "swfplayer-control32.dll"
!define UNINSTALLER_NAME "uninstall.exe"

; The player control registers under this class id only where no other server holds it, and
; marks its own registration with the value below (see player/control/registration.h).
!define FLASH_CLASS_KEY "CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}"
!define CONTROL_OWNER_MARKER "KestoralPlayerControl"

; What the installer remembers about the screen-saver setting it replaced.
!define RECORD_CHANGED "SetupChangedScreenSaver"
!define RECORD_PREVIOUS "SetupPreviousScreenSaver"
!define RECORD_PREVIOUS_ACTIVE "SetupPreviousScreenSaveActive"

; Command-line switches besides NSIS's own /S and /D=.
!define SWITCH_KEEP_SAVER "/KEEPSAVER"
!define SWITCH_REMOVE_SETTINGS "/REMOVESETTINGS"
