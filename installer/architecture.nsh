; Which Windows setup runs on, and what it installs there. One script makes two programs: the
; 32-bit setup.exe, which runs on every Windows, and a 64-bit build of it (Target amd64-unicode)
; for machines that can run only 64-bit programs. Files passed in:
;   SAVER32_FILE, CONTROL32_FILE   the 32-bit screen saver and control
;   SAVER64_FILE, CONTROL64_FILE   the 64-bit ones
; On 64-bit Windows with the 64-bit files at hand ($Native64 = 1) the 64-bit screen saver goes
; into the native system folder and the 64-bit control is registered in the 64-bit registry view
; (a 64-bit host loads only a 64-bit in-process control); the 32-bit control goes beside it and
; is registered in the 32-bit view, for 32-bit hosts of the class id. Machine-wide keys are
; written in the native view, where the 64-bit screen saver reads them. Elsewhere (32-bit
; Windows, or a setup built without the 64-bit files) the 32-bit program and control are
; installed as on 32-bit Windows.

!ifdef SAVER64_FILE & CONTROL64_FILE
  !define HAVE_X64_FILES
!endif
!ifdef SAVER32_FILE
  !define HAVE_X86_PROGRAM
!endif
!if ${NSIS_PTR_SIZE} > 4
  !ifndef HAVE_X64_FILES
    !error "a 64-bit setup needs SAVER64_FILE and CONTROL64_FILE"
  !endif
!else ifndef HAVE_X86_PROGRAM
  !error "a 32-bit setup needs SAVER32_FILE"
!endif
!ifdef HAVE_X86_PROGRAM
  !ifndef CONTROL32_FILE
    !error "SAVER32_FILE needs CONTROL32_FILE"
  !endif
!endif

Var OnX64     ; 1 on 64-bit Windows
Var Native64  ; 1 when the 64-bit program is installed (64-bit Windows, 64-bit files at hand)

; For .onInit and un.onInit, before anything reads or writes the registry. A 64-bit setup knows
; at compile time: a run-time test there would leave LogicLib branches that never run.
!macro ChooseArchitecture
  !if ${NSIS_PTR_SIZE} > 4
    StrCpy $OnX64 1
  !else
    StrCpy $OnX64 0
    ${If} ${RunningX64}
      StrCpy $OnX64 1
    ${EndIf}
  !endif
  StrCpy $Native64 0
  !ifdef HAVE_X64_FILES
    StrCpy $Native64 $OnX64
    ${If} $Native64 == 1
      SetRegView 64
    ${EndIf}
  !endif
!macroend

; A 32-bit setup sees SysWOW64 as "system32"; between these two it sees the native folder.
!macro BeginNativeFiles
  ${If} $Native64 == 1
    ${DisableX64FSRedirection}
  ${EndIf}
!macroend
!macro EndNativeFiles
  ${If} $Native64 == 1
    ${EnableX64FSRedirection}
  ${EndIf}
!macroend

; The system folder's regsvr32 of BITS (32 or 64) runs SWITCHES on FILE: a control is registered
; by a process of its own architecture, whichever this setup is.
!macro RunRegsvr32 BITS SWITCHES FILE
  ${If} ${BITS} == 64
    ${DisableX64FSRedirection}
    ExecWait '"$WINDIR\System32\regsvr32.exe" ${SWITCHES} "${FILE}"'
    ${EnableX64FSRedirection}
  ${ElseIf} $OnX64 == 1
    ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" ${SWITCHES} "${FILE}"'
  ${Else}
    ExecWait '"$SYSDIR\regsvr32.exe" ${SWITCHES} "${FILE}"'
  ${EndIf}
!macroend
