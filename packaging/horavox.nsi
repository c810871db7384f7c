; The Horavox installer: a per-user install without elevation into
; %LOCALAPPDATA%\Programs\Horavox, a Start-menu shortcut, optionally the start with
; Windows, and an uninstaller registered for "Apps & features".
; scripts/package runs makensis with /DVERSION=, /DSTAGE= (the files to install),
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

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
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
  SetOutPath "$INSTDIR"
  File "${STAGE}\${EXE}"
  File "${STAGE}\hvplus.dll"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  SetOutPath "$INSTDIR\Horavx"
  File "${STAGE}\Horavx\*.*"
  SetOutPath "$INSTDIR"
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

; The same Run value as the program's own setup-menu item.
Section /o "Windows の起動時に実行" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Horavox" '"$INSTDIR\${EXE}"'
  DeleteRegValue HKCU "${APPROVED_KEY}" "Horavox"
SectionEnd

Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKCU "${RUN_KEY}" "Horavox"
    DeleteRegValue HKCU "${APPROVED_KEY}" "Horavox"
  ${EndIf}
SectionEnd

Function .onInit
  ; An upgrade keeps the choice made before: the box starts ticked when the Run value exists.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Horavox"
  ${If} $0 != ""
    SectionSetFlags ${SecAutostart} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\hvplus.dll"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\log.txt"
  RMDir /r "$INSTDIR\Horavx"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Horavox.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Horavox"
  DeleteRegValue HKCU "${APPROVED_KEY}" "Horavox"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings stay unless the user says otherwise (a silent uninstall keeps them).
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON1 \
    "Horavox の設定 (ウィンドウの位置、アラーム、発声方法など) を残しますか?$\r$\n$\r$\n\
残しておくと、再びインストールしたときにそのまま使えます。" /SD IDYES IDYES keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Kelvane"
keep:
SectionEnd
