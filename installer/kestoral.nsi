; Setup program of the screen saver. Built by installer/CMakeLists.txt, which passes:
;   VERSION_NSH   the version and product texts made from resources/version.h
;   OUT_FILE      where setup.exe goes
;   SAVER32_FILE, CONTROL32_FILE, SAVER64_FILE, CONTROL64_FILE   the programs and controls
;                 of each architecture (see architecture.nsh; a 64-bit build, TARGET_AMD64,
;                 needs the 64-bit pair)
;   MOVIE_DIR, README_FILE   what else it installs
;   ICON_FILE, WIZARD_BITMAP   the program icon and the picture beside the welcome and finish
;                              pages (made by make_wizard_bitmap.sh)
;
; Command line: /S silent, /D=<folder> install folder (last on the line), /KEEPSAVER leave the
; current screen saver as it is. The uninstaller: /S silent, /REMOVESETTINGS also remove the
; per-user settings.

!ifdef TARGET_AMD64
  Target amd64-unicode
!else
  Unicode true
!endif
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The distribution calls the program setup.exe, a name Windows treats as an installer
; (compatibility shims); makensis warns about that name.
!pragma warning disable 9000

!include "${VERSION_NSH}"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"
!include "names.nsh"
!include "architecture.nsh"
!include "options.nsh"
!include "program_files.nsh"
!include "player_control.nsh"
!include "current_saver.nsh"

Name "${KESTORAL_PRODUCT_NAME}"
Caption "${KESTORAL_PRODUCT_NAME} ${KESTORAL_VERSION_MAJOR}.${KESTORAL_VERSION_MINOR} Setup"
UninstallCaption "${KESTORAL_PRODUCT_NAME} ${KESTORAL_VERSION_MAJOR}.${KESTORAL_VERSION_MINOR} Uninstall"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\Marvane Screensaver"
; A reinstall offers the folder of the installation it updates.
InstallDirRegKey HKLM "${PRODUCT_KEY}" "Install_Dir"
BrandingText "${KESTORAL_COMPANY_NAME}"
ShowInstDetails show
ShowUninstDetails show

; -- pages -----------------------------------------------------------------------------------
!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_WELCOMEPAGE_TEXT "This will install ${KESTORAL_PRODUCT_NAME} \
  ${KESTORAL_VERSION_MAJOR}.${KESTORAL_VERSION_MINOR}, which plays a Flash movie as your \
  screen saver.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${KESTORAL_FILE_VERSION_TEXT}"
VIFileVersion "${KESTORAL_FILE_VERSION_TEXT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${KESTORAL_PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${KESTORAL_PRODUCT_VERSION_TEXT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${KESTORAL_COMPANY_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${KESTORAL_LEGAL_COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${KESTORAL_PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${KESTORAL_FILE_VERSION_TEXT}"

; -- install ---------------------------------------------------------------------------------
Section "!${KESTORAL_PRODUCT_NAME}" SecProgram
  SectionIn RO

  ; A reinstall into another folder takes the earlier installation's files away first.
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Install_Dir"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    DetailPrint "Removing the earlier installation in $0"
    !insertmacro RemoveFolderFiles $0
  ${EndIf}

  !insertmacro InstallProgramFiles
  WriteUninstaller "$INSTDIR\${UNINSTALLER_NAME}"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Install_Dir" "$INSTDIR"
  !insertmacro RegisterPlayerControl

  !insertmacro SaverPathTo $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${KESTORAL_PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${KESTORAL_FILE_VERSION_TEXT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${KESTORAL_COMPANY_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_NAME}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_NAME}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$1,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${KESTORAL_VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${KESTORAL_VERSION_MINOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $2 $3 $4
  IntFmt $2 "0x%08X" $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
SectionEnd

Section "Use as the current screen saver" SecCurrent
  !insertmacro MakeCurrentSaver
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The screen saver, its default movie, the player control and the readme."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCurrent} "Choose ${KESTORAL_PRODUCT_NAME} as your screen saver now. Uninstalling puts your previous choice back."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Without administrator rights the system folder and the machine-wide keys cannot be written:
; say so before any page instead of failing half-way.
!macro RequireAdministrator ACTION
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "${ACTION} ${KESTORAL_PRODUCT_NAME} needs administrator rights." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdministrator "Installing"
  !insertmacro ChooseArchitecture
  ; The 64-bit program belongs under the native program folder. InstallDirRegKey read the
  ; default view, so a reinstall's folder is read again in the native one; /D= still wins.
  ${If} $Native64 == 1
  ${AndIf} $INSTDIR == "$PROGRAMFILES\Marvane Screensaver"
    ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Install_Dir"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES64\Marvane Screensaver"
    ${EndIf}
  ${EndIf}
  !insertmacro SelectSectionBySwitch "${SWITCH_KEEP_SAVER}" ${SecCurrent} 0 "${GetParameters}" "${GetOptions}"
FunctionEnd

; -- uninstall -------------------------------------------------------------------------------
Section "un.${KESTORAL_PRODUCT_NAME}" SecUnProgram
  SectionIn RO
  ; The records of the screen-saver choice and the control's registration are read before
  ; the key and the files that hold them go.
  !insertmacro RestorePreviousSaver
  !insertmacro UnregisterPlayerControl
  !insertmacro RemoveSaverFile
  !insertmacro RemoveFolderFiles $INSTDIR
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "${PRODUCT_PARENT_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnProgram} "The screen saver, its default movie, the player control and the readme."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnSettings} "Also forget your chosen movie and other settings."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  !insertmacro RequireAdministrator "Uninstalling"
  !insertmacro ChooseArchitecture
  !insertmacro SelectSectionBySwitch "${SWITCH_REMOVE_SETTINGS}" ${SecUnSettings} 1 "${un.GetParameters}" "${un.GetOptions}"
FunctionEnd
