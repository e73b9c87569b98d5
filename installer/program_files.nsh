; The files of an installation. The list is kept here once, for installing them and for
; removing exactly them again (uninstall, or a reinstall that moves to another folder).

; The screen saver goes where the system's screen-saver list looks for it: the system folder,
; the native one for the 64-bit program ($Native64, see architecture.nsh). A 32-bit program on
; 64-bit Windows (a setup without the 64-bit files) lands in SysWOW64 through the file-system
; redirection. The control of the program's architecture is CONTROL_NAME; on 64-bit Windows the
; 32-bit control for 32-bit hosts sits beside it as CONTROL32_NAME.
!macro InstallProgramFiles
  SetOutPath "$INSTDIR"
  ${If} $Native64 == 1
    !ifdef HAVE_X64_FILES
      File "/oname=${CONTROL_NAME}" "${CONTROL64_FILE}"
    !endif
    !ifdef CONTROL32_FILE
      File "/oname=${CONTROL32_NAME}" "${CONTROL32_FILE}"
    !endif
  ${Else}
    !ifdef HAVE_X86_PROGRAM
      File "/oname=${CONTROL_NAME}" "${CONTROL32_FILE}"
    !endif
  ${EndIf}
  File "/oname=readme.txt" "${README_FILE}"
  SetOutPath "$INSTDIR\swf"
  File "/oname=Default.swf" "${MOVIE_DIR}/Default.swf"
  File "/oname=Default.txt" "${MOVIE_DIR}/Default.txt"
  File "/oname=Default.bmp" "${MOVIE_DIR}/Default.bmp"
  !insertmacro BeginNativeFiles
  SetOutPath "$SYSDIR"
  ${If} $Native64 == 1
    !ifdef HAVE_X64_FILES
      File "/oname=${SAVER_NAME}" "${SAVER64_FILE}"
    !endif
  ${Else}
    !ifdef HAVE_X86_PROGRAM
      File "/oname=${SAVER_NAME}" "${SAVER32_FILE}"
    !endif
  ${EndIf}
  !insertmacro EndNativeFiles
  SetOutPath "$INSTDIR"
!macroend

; Folders go only when empty: movies the user put into swf\ stay.
!macro RemoveFolderFiles DIR
  Delete "${DIR}\swf\Default.swf"
  Delete "${DIR}\swf\Default.txt"
  Delete "${DIR}\swf\Default.bmp"
  RMDir "${DIR}\swf"
  Delete "${DIR}\readme.txt"
  Delete /REBOOTOK "${DIR}\${CONTROL_NAME}"
  Delete /REBOOTOK "${DIR}\${CONTROL32_NAME}"
  Delete "${DIR}\${UNINSTALLER_NAME}"
  RMDir /REBOOTOK "${DIR}"
!macroend

!macro RemoveSaverFile
  !insertmacro BeginNativeFiles
  Delete /REBOOTOK "$SYSDIR\${SAVER_NAME}"
  !insertmacro EndNativeFiles
!macroend
