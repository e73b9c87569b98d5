; Registration of the player control. The control registers itself under the Flash class id
; only where no other server holds it, so an installed Flash player keeps its registration;
; the movie then plays with that one. On 64-bit Windows the rule holds in each registry view:
; the 64-bit control in the 64-bit view, the 32-bit one in the 32-bit view (see architecture.nsh).
; Every macro here reads HKCR in the view SetRegView chose.

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

; Registers the control FILE of BITS (32 or 64) in the current view and says what came of it.
!macro RegisterControlFile BITS FILE
  Push $0
  Push $1
  !insertmacro RunRegsvr32 ${BITS} "/s" "${FILE}"
  !insertmacro IsOurRegistration "${FILE}" $0
  ${If} $0 == 1
    DetailPrint "Registered the ${BITS}-bit player control."
  ${Else}
    !insertmacro ReadClassServer $1
    ${If} $1 != ""
      DetailPrint "A ${BITS}-bit Flash player control is registered already ($1); left as it is."
    ${Else}
      MessageBox MB_OK|MB_ICONEXCLAMATION "The ${BITS}-bit player control could not be registered. \
        The screen saver will stay black until a Flash player control is installed." /SD IDOK
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
!macroend

; Only a registration of this installation's control is removed; another server's, or our
; control's from another folder, stays.
!macro UnregisterControlFile BITS FILE
  Push $0
  !insertmacro IsOurRegistration "${FILE}" $0
  ${If} $0 == 1
    !insertmacro RunRegsvr32 ${BITS} "/u /s" "${FILE}"
    DetailPrint "Unregistered the ${BITS}-bit player control."
  ${EndIf}
  Pop $0
!macroend

!macro RegisterPlayerControl
  ${If} $Native64 == 1
    !insertmacro RegisterControlFile 64 "$INSTDIR\${CONTROL_NAME}"
    !ifdef CONTROL32_FILE
      SetRegView 32
      !insertmacro RegisterControlFile 32 "$INSTDIR\${CONTROL32_NAME}"
      SetRegView 64
    !endif
  ${Else}
    !insertmacro RegisterControlFile 32 "$INSTDIR\${CONTROL_NAME}"
  ${EndIf}
!macroend

!macro UnregisterPlayerControl
  ${If} $Native64 == 1
    !insertmacro UnregisterControlFile 64 "$INSTDIR\${CONTROL_NAME}"
    SetRegView 32
    !insertmacro UnregisterControlFile 32 "$INSTDIR\${CONTROL32_NAME}"
    SetRegView 64
  ${Else}
    !insertmacro UnregisterControlFile 32 "$INSTDIR\${CONTROL_NAME}"
  ${EndIf}
!macroend
