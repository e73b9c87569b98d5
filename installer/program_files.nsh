; The files of an installation. The list is kept here once, for installing them and for
; removing exactly them again (uninstall, or a reinstall that moves to another folder).

; The screen saver goes where the system's screen-saver list looks for a 32-bit .scr: the
; system folder, which on 64-bit Windows this 32-bit installer reaches as SysWOW64 through
; the file-system redirection.
!macro InstallProgramFiles
  SetOutPath "$INSTDIR"
  File "/oname=${CONTROL_NAME}" "${CONTROL_FILE}"
  File "/oname=readme.txt" "${README_FILE}"
  SetOutPath "$INSTDIR\swf"
  File "/oname=Default.swf" "${MOVIE_DIR}/Default.swf"
  File "/oname=Default.txt" "${MOVIE_DIR}/Default.txt"
  File "/oname=Default.bmp" "${MOVIE_DIR}/Default.bmp"
  SetOutPath "$SYSDIR"
  File "/oname=${SAVER_NAME}" "${SAVER_FILE}"
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
  Delete "${DIR}\${UNINSTALLER_NAME}"
  RMDir /REBOOTOK "${DIR}"
!macroend

!macro RemoveSaverFile
  Delete /REBOOTOK "$SYSDIR\${SAVER_NAME}"
!macroend
