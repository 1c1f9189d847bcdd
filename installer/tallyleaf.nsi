; Tallyleaf's Windows installer: per user, without administrator rights.
;
; Built by scripts/make-dist (and, for the tests, by CMake) with makensis:
;   makensis -DVERSION=2.2 -DVERSION_QUAD=2.2.0.0 -DOUTFILE=setup.exe -DREADME=README.md
;            [-DBIN32=dir-of-the-32-bit-build] [-DBIN64=dir-of-the-64-bit-build]
;            [-DTARGET=amd64] installer/tallyleaf.nsi
; BIN32 and BIN64 each name a folder holding tallyleaf.exe and sqlite3.dll; the
; 64-bit program is installed on 64-bit Windows when it was packed, else the
; 32-bit one. TARGET=amd64 makes a 64-bit installer (for machines that run no
; 32-bit code); without it the installer is a 32-bit program that runs on every
; Windows.
;
; Command line: /S installs silently; /RUNATSTARTUP=1 or /RUNATSTARTUP=0 sets or
; clears "Start Tallyleaf with Windows" (without it the choice stays as it was);
; /D=folder installs elsewhere. The uninstaller takes /S as well. A silent run
; that cannot close a running Tallyleaf ends with exit code 3.

!ifndef VERSION
  !error "VERSION (2.2), VERSION_QUAD (2.2.0.0), OUTFILE and README must be defined"
!endif
!ifdef BIN32
!else ifdef BIN64
!else
  !error "BIN32 or BIN64 must name a build's bin folder"
!endif

!ifdef TARGET
  Target ${TARGET}-unicode
  ; ${RunningX64} is a constant in a 64-bit installer, which leaves the
  ; labels of its ${If}s unused.
  !pragma warning disable 6012
!else
  Unicode true
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Tallyleaf"
!define PUBLISHER "Velmorand"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyleaf"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; What the program's main window is called, and the message that asks it to
; save and end (src/app/CloseForUpdate.h).
!define MAIN_WINDOW_TITLE "Tallyleaf - Work faster."
!define CLOSE_MESSAGE "Tallyleaf.CloseForUpdate"
; Exit code of a silent run that found Tallyleaf still running.
!define EXIT_STILL_RUNNING 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tallyleaf"
; Installing over an earlier version goes into its folder (/D= decides instead).
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION_QUAD}"
VIAddVersionKey "ProductVersion" "${VERSION_QUAD}"
VIAddVersionKey "LegalCopyright" "© 2004-2006 ${PUBLISHER}"

; makensis works in this file's folder.
!define MUI_ICON "../src/res/tallyleaf.ico"
!define MUI_UNICON "../src/res/tallyleaf.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\tallyleaf.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Tallyleaf now (it waits in the tray; Alt+S calls it up)"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running Tallyleaf to save and end, as at a log-off, and waits up to 5
; seconds for its window to go and its program file to be free. If it is still
; there, the user may retry or cancel; a silent run ends with EXIT_STILL_RUNNING.
!macro CLOSE_RUNNING_FUNCTION un
Function ${un}CloseRunningTallyleaf
  Push $0
  Push $1
  Push $2
  System::Call 'user32::RegisterWindowMessageW(w "${CLOSE_MESSAGE}") i .r1'
  retry:
  StrCpy $2 0
  wait:
    FindWindow $0 "" "${MAIN_WINDOW_TITLE}"
    ${If} $0 <> 0
      ${If} $2 = 0
        DetailPrint "Asking the running Tallyleaf to save and close..."
        SendMessage $0 $1 0 0 /TIMEOUT=5000
      ${EndIf}
    ${ElseIfNot} ${FileExists} "$INSTDIR\tallyleaf.exe"
      Goto closed
    ${Else}
      ; The window is gone and the process ends right after it: its file here
      ; is free once it can be opened for writing.
      ClearErrors
      FileOpen $0 "$INSTDIR\tallyleaf.exe" a
      ${IfNot} ${Errors}
        FileClose $0
        Goto closed
      ${EndIf}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 50
      ${If} ${Silent}
        SetErrorLevel ${EXIT_STILL_RUNNING}
        Quit
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tallyleaf is still running and could not be closed.$\r$\n$\r$\nClose it (File > Exit, or answer its open window first), then choose Retry." IDRETRY retry
      SetErrorLevel ${EXIT_STILL_RUNNING}
      Quit
    ${EndIf}
    Sleep 100
    Goto wait
  closed:
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_FUNCTION ""
!insertmacro CLOSE_RUNNING_FUNCTION "un."

Section "Tallyleaf" SecProgram
  SectionIn RO
  Call CloseRunningTallyleaf
  SetOutPath "$INSTDIR"
  SetOverwrite on
!ifdef BIN64
  ${If} ${RunningX64}
    File "/oname=tallyleaf.exe" "${BIN64}/tallyleaf.exe"
    File "/oname=sqlite3.dll" "${BIN64}/sqlite3.dll"
  ${Else}
!endif
!ifdef BIN32
    File "/oname=tallyleaf.exe" "${BIN32}/tallyleaf.exe"
    File "/oname=sqlite3.dll" "${BIN32}/sqlite3.dll"
!endif
!ifdef BIN64
  ${EndIf}
!endif
  File "/oname=README.md" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS"
  CreateShortcut "$SMPROGRAMS\Tallyleaf.lnk" "$INSTDIR\tallyleaf.exe" "" "$INSTDIR\tallyleaf.exe" 0

  ; The entry of the user's "Apps and features" list.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tallyleaf.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The same quoted value the Settings dialog's "Run on Windows startup" writes.
Section /o "Start Tallyleaf with Windows" SecRunAtStartup
  WriteRegStr HKCU "${RUN_KEY}" "Tallyleaf" '"$INSTDIR\tallyleaf.exe"'
SectionEnd

; Unticked: a value this installation wrote goes (one naming another copy stays).
Section "-ClearRunAtStartup"
  ${IfNot} ${SectionIsSelected} ${SecRunAtStartup}
    Call ClearRunValueOfThisInstallation
  ${EndIf}
SectionEnd

!macro CLEAR_RUN_VALUE_FUNCTION un
Function ${un}ClearRunValueOfThisInstallation
  Push $0
  ReadRegStr $0 HKCU "${RUN_KEY}" "Tallyleaf"
  ${If} $0 == '"$INSTDIR\tallyleaf.exe"'
  ${OrIf} $0 == "$INSTDIR\tallyleaf.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "Tallyleaf"
  ${EndIf}
  Pop $0
FunctionEnd
!macroend
!insertmacro CLEAR_RUN_VALUE_FUNCTION ""
!insertmacro CLEAR_RUN_VALUE_FUNCTION "un."

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!ifndef BIN32
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This installer holds only the 64-bit Tallyleaf, which needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
!endif
  ; Installing over an earlier version keeps its choice of starting with
  ; Windows; /RUNATSTARTUP=1 or 0 decides instead.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Tallyleaf"
  ${If} $0 != ""
    SectionSetFlags ${SecRunAtStartup} ${SF_SELECTED}
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/RUNATSTARTUP=" $0
  ${IfNot} ${Errors}
    ${If} $0 == "1"
      SectionSetFlags ${SecRunAtStartup} ${SF_SELECTED}
    ${Else}
      SectionSetFlags ${SecRunAtStartup} 0
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningTallyleaf
  Delete "$INSTDIR\tallyleaf.exe"
  Delete "$INSTDIR\sqlite3.dll"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: the notes never live here unless the user put them here.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tallyleaf.lnk"
  Call un.ClearRunValueOfThisInstallation
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "Your notes, settings and backups are kept in $APPDATA\TallyLeaf."
  MessageBox MB_OK|MB_ICONINFORMATION "Tallyleaf was removed.$\r$\n$\r$\nYour notes, settings and backups are kept in$\r$\n$APPDATA\TallyLeaf$\r$\n(and a database file chosen in Settings stays where it is)." /SD IDOK
SectionEnd
