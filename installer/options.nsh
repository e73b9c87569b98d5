; Command-line switches that choose optional sections, for silent runs above all:
;   setup.exe      /KEEPSAVER       leave the current screen saver as it is
;   uninstall.exe  /REMOVESETTINGS  also remove the per-user settings
; Without a switch a silent run does what the pages offer by default.

!macro SelectSectionBySwitch SWITCH SECTION SELECTED GETPARAMETERS GETOPTIONS
  Push $0
  Push $1
  ${GETPARAMETERS} $0
  ClearErrors
  ${GETOPTIONS} $0 "${SWITCH}" $1
  ${IfNot} ${Errors}
    !if ${SELECTED} == 1
      !insertmacro SelectSection ${SECTION}
    !else
      !insertmacro UnselectSection ${SECTION}
    !endif
  ${EndIf}
  Pop $1
  Pop $0
!macroend
