; Making the screen saver the current one (HKCU\Control Panel\Desktop, SCRNSAVE.EXE) and
; putting the user's previous choice back on uninstall. What was replaced is recorded under
; the machine-wide product key, which the uninstaller reads and then removes.

; The path Windows runs: the native system folder for the 64-bit program; on 64-bit Windows a
; 32-bit program that a 32-bit setup put into "system32" lives in SysWOW64, which the 64-bit
; system does not see as system32.
!macro SaverPathTo OUT
  ${If} $Native64 != 1
  ${AndIf} $OnX64 == 1
    StrCpy ${OUT} "$WINDIR\SysWOW64\${SAVER_NAME}"
  ${Else}
    StrCpy ${OUT} "$SYSDIR\${SAVER_NAME}"
  ${EndIf}
!macroend

; OUT = 1 when VALUE (not $R7..$R9) names the installed screen saver, in full or short form.
!macro IsOurSaver VALUE OUT
  Push $R7
  Push $R8
  Push $R9
  StrCpy $R7 0
  !insertmacro SaverPathTo $R8
  ${If} ${VALUE} == $R8
  ${OrIf} ${VALUE} == "$SYSDIR\${SAVER_NAME}"
    StrCpy $R7 1
  ${ElseIf} ${VALUE} != ""
    ; The long form of the value, empty when no such file exists.
    !insertmacro BeginNativeFiles
    GetFullPathName $R9 ${VALUE}
    !insertmacro EndNativeFiles
    ${If} $R9 == $R8
      StrCpy $R7 1
    ${EndIf}
  ${EndIf}
  StrCpy ${OUT} $R7
  Pop $R9
  Pop $R8
  Pop $R7
!macroend

!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDWININICHANGE 2

; The running session learns of the change at once, not only at the next log-on.
!macro AnnounceSaverActive ACTIVE
  System::Call "user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i ${ACTIVE}, p 0, i ${SPIF_SENDWININICHANGE})"
!macroend

; Copies a per-user desktop value to the record NAME, or removes the record when the value
; does not exist, so that "absent" is restored as absent.
!macro RecordDesktopValue VALUE_NAME RECORD_NAME
  ClearErrors
  ReadRegStr $R9 HKCU "${DESKTOP_KEY}" "${VALUE_NAME}"
  ${If} ${Errors}
    DeleteRegValue HKLM "${PRODUCT_KEY}" "${RECORD_NAME}"
  ${Else}
    WriteRegStr HKLM "${PRODUCT_KEY}" "${RECORD_NAME}" $R9
  ${EndIf}
!macroend

!macro RestoreDesktopValue VALUE_NAME RECORD_NAME
  ClearErrors
  ReadRegStr $R9 HKLM "${PRODUCT_KEY}" "${RECORD_NAME}"
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${VALUE_NAME}"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "${VALUE_NAME}" $R9
  ${EndIf}
!macroend

!macro MakeCurrentSaver
  Push $0
  Push $1
  Push $R9
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  !insertmacro IsOurSaver $0 $1
  ; Already ours (a reinstall): the record of the earlier choice stays as it is.
  ${If} $1 == 0
    !insertmacro RecordDesktopValue "SCRNSAVE.EXE" "${RECORD_PREVIOUS}"
    !insertmacro RecordDesktopValue "ScreenSaveActive" "${RECORD_PREVIOUS_ACTIVE}"
    WriteRegStr HKLM "${PRODUCT_KEY}" "${RECORD_CHANGED}" "1"
  ${EndIf}
  !insertmacro SaverPathTo $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  !insertmacro AnnounceSaverActive 1
  DetailPrint "The current screen saver is now $0."
  Pop $R9
  Pop $1
  Pop $0
!macroend

; Only when setup made it current and the user has not chosen another screen saver since.
!macro RestorePreviousSaver
  Push $0
  Push $1
  Push $R9
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "${RECORD_CHANGED}"
  ${If} $0 == "1"
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    !insertmacro IsOurSaver $0 $1
    ${If} $1 == 1
      !insertmacro RestoreDesktopValue "SCRNSAVE.EXE" "${RECORD_PREVIOUS}"
      !insertmacro RestoreDesktopValue "ScreenSaveActive" "${RECORD_PREVIOUS_ACTIVE}"
      ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
      ${If} $0 == "1"
        !insertmacro AnnounceSaverActive 1
      ${Else}
        !insertmacro AnnounceSaverActive 0
      ${EndIf}
      DetailPrint "Restored the previous screen saver setting."
    ${EndIf}
  ${EndIf}
  Pop $R9
  Pop $1
  Pop $0
!macroend
