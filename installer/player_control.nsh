; Registration of the player control. The control registers itself under the Flash class id
; only where no other server holds it, so an installed Flash player keeps its registration;
; the movie then plays with that one.

; The class id's server as the registry names it, "" when none: into OUT.
!macro ReadClassServer OUT
  ReadRegStr ${OUT} HKCR "${FLASH_CLASS_KEY}\InprocServer32" ""
!macroend

; True (OUT = 1) when the class id is registered to the control at PATH by the control itself.
!macro IsOurRegistration PATH OUT
  Push $9
  StrCpy ${OUT} 0
  ClearErrors
  ReadRegStr $9 HKCR "${FLASH_CLASS_KEY}" "${CONTROL_OWNER_MARKER}"
  ${IfNot} ${Errors}
    !insertmacro ReadClassServer $9
    ${If} $9 == "${PATH}"
      StrCpy ${OUT} 1
    ${EndIf}
  ${EndIf}
  Pop $9
!macroend

!macro RegisterPlayerControl
  Push $0
  Push $1
  ClearErrors
  RegDLL "$INSTDIR\${CONTROL_NAME}"
  !insertmacro IsOurRegistration "$INSTDIR\${CONTROL_NAME}" $0
  ${If} $0 == 1
    DetailPrint "Registered the player control."
  ${Else}
    !insertmacro ReadClassServer $1
    ${If} $1 != ""
      DetailPrint "A Flash player control is registered already ($1); left as it is."
    ${Else}
      MessageBox MB_OK|MB_ICONEXCLAMATION "The player control could not be registered. \
        The screen saver will stay black until a Flash player control is installed." /SD IDOK
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
!macroend

; Only a registration of this installation's control is removed; another server's, or our
; control's from another folder, stays.
!macro UnregisterPlayerControl
  Push $0
  !insertmacro IsOurRegistration "$INSTDIR\${CONTROL_NAME}" $0
  ${If} $0 == 1
    UnRegDLL "$INSTDIR\${CONTROL_NAME}"
    DetailPrint "Unregistered the player control."
  ${EndIf}
  Pop $0
!macroend
