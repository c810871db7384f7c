; The Horavox installer: a per-user install without elevation into
; %LOCALAPPDATA%\Programs\Horavox, a Start-menu shortcut, optionally the start with
; Windows, and an uninstaller registered for "Apps & features".
; scripts/package runs makensis with /DVERSION=, /DSTAGE= (the files to install),
; /DFILES= (files.nsh: the macros that install them and remove them again),
; /DFILEVERSION= (four numbers), /DICON= and /DOUTFILE=.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include "${FILES}"

!define PRODUCT "Horavox"
!define PUBLISHER "Kelvane"
!define EXE "Horavx.exe"
!define WINDOW_CLASS "HoravoxMain"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Horavox"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SETTINGS_KEY "Software\Kelvane\Horavox"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Horavox"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${FILEVERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Horavox ${VERSION} をこのユーザー用にインストールします。管理者の権限は要りません。$\r$\n$\r$\nHoravox が起動中であれば、設定を保存して終了してからファイルを置き換えます。$\r$\n$\r$\n続けるには [次へ] をクリックして下さい。"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Horavox を起動する"

Var WasRunning        ; 1 once the installer has closed a running Horavox
Var StartsInstalled   ; 1 when the Run value starts the program in $INSTDIR
Var SwitchedOff       ; 1 when the Task Manager's start-up list switched that off
Var AutostartWasOn    ; what the installed program showed before: on and not switched off

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Asks a running Horavox to close, as its own window's close does, so that it saves its
; settings before its files are replaced or removed; waits until it has gone.
!macro CloseRunningProgram un
Function ${un}CloseRunningProgram
  FindWindow $0 "${WINDOW_CLASS}"
  ${If} $0 = 0
    Return
  ${EndIf}
  StrCpy $WasRunning 1
  DetailPrint "起動中の Horavox を終了しています..."
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  StrCpy $1 0
  ${Do}
    Sleep 100
    IntOp $1 $1 + 1
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 = 0
    ${OrIf} $1 >= 100
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ; The window is gone; give the process a moment to end and release its files.
  Sleep 500
FunctionEnd
!macroend
!insertmacro CloseRunningProgram ""
!insertmacro CloseRunningProgram "un."

Section "Horavox" SecProgram
  SectionIn RO
  Call CloseRunningProgram
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Horavox.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program's own rule for its start with Windows (app/autostart.cpp), so that the
; installer's box shows what the program's menu item shows: the Run value "Horavox" starts
; this program (the command's first word, quoted or not, names $INSTDIR\Horavx.exe, ASCII
; letters compared without case) and the Task Manager's start-up list has not switched it
; off (a binary value under StartupApproved\Run whose first byte is odd). Sets
; StartsInstalled and SwitchedOff; uses $R0-$R7.
!macro AutostartRule un
Function ${un}ReadAutostart
  StrCpy $StartsInstalled 0
  StrCpy $SwitchedOff 0
  ReadRegStr $R0 HKCU "${RUN_KEY}" "Horavox"
  ${Do}  ; blanks at either end do not count
    StrCpy $R1 $R0 1
    ${If} $R1 != " "
    ${AndIf} $R1 != "$\t"
      ${ExitDo}
    ${EndIf}
    StrCpy $R0 $R0 "" 1
  ${Loop}
  ${Do}
    StrCpy $R1 $R0 "" -1
    ${If} $R1 != " "
    ${AndIf} $R1 != "$\t"
      ${ExitDo}
    ${EndIf}
    StrCpy $R0 $R0 -1
  ${Loop}
  StrCpy $R1 $R0 1
  ${If} $R1 == '"'  ; quoted: the program is the first word
    StrCpy $R0 $R0 "" 1
    StrCpy $R2 0
    ${Do}
      StrCpy $R1 $R0 1 $R2
      ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
      ${IfThen} $R1 == '"' ${|} ${ExitDo} ${|}
      IntOp $R2 $R2 + 1
    ${Loop}
    StrCpy $R0 $R0 $R2
  ${EndIf}
  StrCpy $R1 "$INSTDIR\${EXE}"
  StrLen $R2 $R0
  StrLen $R3 $R1
  ${If} $R2 = $R3
  ${AndIf} $R2 > 0
    StrCpy $StartsInstalled 1
    StrCpy $R2 0
    ${Do}
      StrCpy $R4 $R0 1 $R2
      ${IfThen} $R4 == "" ${|} ${ExitDo} ${|}
      StrCpy $R5 $R1 1 $R2
      ${If} $R4 S!= $R5
        Call ${un}FoldAsciiLetters
        ${IfThen} $R4 S!= $R5 ${|} StrCpy $StartsInstalled 0 ${|}
      ${EndIf}
      IntOp $R2 $R2 + 1
    ${Loop}
  ${EndIf}

  System::Call 'advapi32::RegOpenCurrentUser(i 0x20019, *p .R0) i .R1'
  ${If} $R1 = 0
    System::Alloc 64
    Pop $R2
    System::Call 'advapi32::RegGetValueW(p $R0, w "${APPROVED_KEY}", w "Horavox", i 8, p 0, p $R2, *i 64 .R3) i .R1'
    ${If} $R1 = 0
    ${AndIf} $R3 > 0
      System::Call '*$R2(&i1 .R4)'
      IntOp $SwitchedOff $R4 & 1
    ${EndIf}
    System::Free $R2
    System::Call 'advapi32::RegCloseKey(p $R0)'
  ${EndIf}
FunctionEnd

; $R4 and $R5, one character each, with A-Z made a-z.
Function ${un}FoldAsciiLetters
  StrCpy $R6 0
  ${Do}
    StrCpy $R7 "ABCDEFGHIJKLMNOPQRSTUVWXYZ" 1 $R6
    ${IfThen} $R7 == "" ${|} ${ExitDo} ${|}
    ${IfThen} $R4 S== $R7 ${|} StrCpy $R4 "abcdefghijklmnopqrstuvwxyz" 1 $R6 ${|}
    ${IfThen} $R5 S== $R7 ${|} StrCpy $R5 "abcdefghijklmnopqrstuvwxyz" 1 $R6 ${|}
    IntOp $R6 $R6 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro AutostartRule ""
!insertmacro AutostartRule "un."

; Ticked: what the program's menu item does when switched on.
Section /o "Windows の起動時に実行" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Horavox" '"$INSTDIR\${EXE}" /autostart'
  DeleteRegValue HKCU "${APPROVED_KEY}" "Horavox"
SectionEnd

; Unticked where the program showed it on: what its menu item does when switched off.
; Otherwise nothing changes: a start switched off in the Task Manager stays listed there
; as switched off, and a Run value that starts another copy stays that copy's.
Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
  ${AndIf} $AutostartWasOn = 1
    DeleteRegValue HKCU "${RUN_KEY}" "Horavox"
    DeleteRegValue HKCU "${APPROVED_KEY}" "Horavox"
  ${EndIf}
SectionEnd

; A typed folder that already holds other files and no Horavox gets a folder of its own
; inside it: the uninstaller removes the folder once its own files are gone, and the
; user's files never sit among the program's.
Function AdjustInstallFolder
  ${If} ${FileExists} "$INSTDIR\${EXE}"
    Return
  ${EndIf}
  ${DirState} "$INSTDIR" $0
  ${If} $0 = 1
    StrCpy $0 $INSTDIR "" -1
    ${If} $0 == "\"
      StrCpy $INSTDIR "$INSTDIR${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call AdjustInstallFolder
FunctionEnd

; An upgrade keeps the choice made before: the box starts as the installed program shows
; its start with Windows.
Function AutostartFromInstalled
  Call ReadAutostart
  StrCpy $AutostartWasOn 0
  ${If} $StartsInstalled = 1
  ${AndIf} $SwitchedOff = 0
    StrCpy $AutostartWasOn 1
  ${EndIf}
  ${If} $AutostartWasOn = 1
    SectionSetFlags ${SecAutostart} ${SF_SELECTED}
  ${Else}
    SectionSetFlags ${SecAutostart} 0
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $WasRunning 0
  ${If} ${Silent}
    Call AdjustInstallFolder  ; the folder of /D= or of the earlier install
  ${EndIf}
  Call AutostartFromInstalled
FunctionEnd

; A silent upgrade (a script or a package manager) leaves the clock running if it was;
; the finish page offers the same interactively.
Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $WasRunning = 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\${EXE}"'
  ${EndIf}
FunctionEnd

; Removes what the installer put there (and the program's own output), the folder once
; it is empty, and the start with Windows only where it starts this copy.
Section "Uninstall"
  Call un.CloseRunningProgram
  !insertmacro UninstallFiles
  Delete "$INSTDIR\log.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Horavox.lnk"
  Call un.ReadAutostart
  ${If} $StartsInstalled = 1
    DeleteRegValue HKCU "${RUN_KEY}" "Horavox"
    DeleteRegValue HKCU "${APPROVED_KEY}" "Horavox"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings stay unless the user says otherwise (a silent uninstall keeps them).
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON1 \
    "Horavox の設定 (ウィンドウの位置、アラーム、発声方法など) を残しますか?$\r$\n$\r$\n\
残しておくと、再びインストールしたときにそのまま使えます。" /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Kelvane"
keep:
SectionEnd
