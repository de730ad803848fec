; The installer of the player and its tray: both programs and the data files go into one folder
; that the programs write into (settings, cache, history), so it is a per-user folder and the
; installer needs no administrator.
;
; makensis -DTARGET=x86-unicode|amd64-unicode -DVERSION=<text> -DDIST=<folder> -DOUTFILE=<file>
;
; Command line of the uninstaller: /S runs it silently; /KEEPDATA keeps the downloaded cartoons,
; the play history and the settings without asking.

!ifndef TARGET | VERSION | DIST | OUTFILE
  !error "TARGET, VERSION, DIST and OUTFILE must be defined"
!endif

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Tolubeni"
!define PLAYER "Variz.exe"
!define TRAY "Zorvane.exe"
!define SETTINGS "Variz.dat"
!define PLAYER_CLASS "Tfrm_wuxplay"
; The player's close request (WM_USER + 1): the same message the tray sends.
!define CLOSE_REQUEST 0x0401
; The tray's hidden dialog.
!define TRAY_WINDOW_CLASS "#32770"
!define TRAY_WINDOW_TITLE "Zorvane"
!define TRAY_MUTEX "0xa8a66d88, 0x18c8, 0x448b, 0x80, 0xc, 0xa3, 0x20, 0xea, 0x4f, 0xb6, 0xe8"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PRODUCT_KEY "Software\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\${PRODUCT}"
; An update started by the tray installs over the folder the user chose before.
InstallDirRegKey HKCU "${PRODUCT_KEY}" "InstallDir"
VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PRODUCT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PLAYER}"
!define MUI_FINISHPAGE_RUN_TEXT "运行 ${PRODUCT} 播放器"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Asks a running player to close as the tray does, then waits until its window is gone.
; Leaves 1 in $R0 when the player is gone, 0 when it still runs after ten seconds.
!macro CLOSE_PLAYER un
Function ${un}ClosePlayer
  StrCpy $R0 1
  FindWindow $R1 "${PLAYER_CLASS}"
  ${If} $R1 == 0
    Return
  ${EndIf}
  SendMessage $R1 ${CLOSE_REQUEST} 0 0 /TIMEOUT=5000
  StrCpy $R2 0
  ${Do}
    FindWindow $R1 "${PLAYER_CLASS}"
    ${If} $R1 == 0
      ; The window goes before the process lets go of its file.
      Sleep 500
      Return
    ${EndIf}
    IntOp $R2 $R2 + 1
    ${If} $R2 > 50
      StrCpy $R0 0
      Return
    ${EndIf}
    Sleep 200
  ${Loop}
FunctionEnd

; The tray's hidden main window ends the tray when it is closed; the tray also ends itself after
; it starts an update. Then its mutex goes. Leaves 1 in $R0 when no tray runs, 0 when one still
; runs after ten seconds.
Function ${un}StopTray
  FindWindow $R1 "${TRAY_WINDOW_CLASS}" "${TRAY_WINDOW_TITLE}"
  ${If} $R1 != 0
    SendMessage $R1 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  StrCpy $R2 0
  ${Do}
    ; SYNCHRONIZE is enough to see whether the mutex exists.
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${TRAY_MUTEX}") p .R1'
    ${If} $R1 P= 0
      StrCpy $R0 1
      Sleep 500
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R1)'
    IntOp $R2 $R2 + 1
    ${If} $R2 > 50
      StrCpy $R0 0
      Return
    ${EndIf}
    Sleep 200
  ${Loop}
FunctionEnd

Function ${un}StopPrograms
  ${Do}
    Call ${un}ClosePlayer
    ${If} $R0 == 1
      Call ${un}StopTray
    ${EndIf}
    ${If} $R0 == 1
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} 播放器或托盘程序仍在运行。请退出后点击“重试”。" /SD IDCANCEL IDRETRY retry
    Abort
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_PLAYER ""
!insertmacro CLOSE_PLAYER "un."

Section "Install"
  Call StopPrograms

  SetOutPath "$INSTDIR"
  File "${DIST}\${PLAYER}"
  File "${DIST}\${TRAY}"
  SetOutPath "$INSTDIR\web"
  File "${DIST}\web\logo.swf"
  File "${DIST}\web\load.swf"
  File "${DIST}\web\load.gif"
  SetOutPath "$INSTDIR"

  ; The tray compares this version with the server's; a fresh installation has no update
  ; waiting any more, and an installer left by the tray has done its work.
  ClearErrors
  WriteINIStr "$INSTDIR\${SETTINGS}" "update" "childver" "${VERSION}"
  WriteINIStr "$INSTDIR\${SETTINGS}" "update" "down" "0"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "无法写入 $INSTDIR\${SETTINGS}" /SD IDOK
    Abort
  ${EndIf}
  Delete "$INSTDIR\update.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PLAYER}" "" "$INSTDIR\${PLAYER}" 0

  WriteRegStr HKCU "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PLAYER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Call un.StopPrograms

  ${GetParameters} $R3
  ClearErrors
  ${GetOptions} $R3 "/KEEPDATA" $R4
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION \
      "保留已下载的动画、播放记录和设置吗？$\r$\n$\r$\n以后重新安装时可以继续使用。" \
      /SD IDNO IDYES keep
    StrCpy $R5 0
    Goto decided
    keep:
    StrCpy $R5 1
    decided:
  ${Else}
    StrCpy $R5 1
  ${EndIf}

  Delete "$INSTDIR\${PLAYER}"
  Delete "$INSTDIR\${TRAY}"
  Delete "$INSTDIR\update.exe"
  Delete "$INSTDIR\web\logo.swf"
  Delete "$INSTDIR\web\load.swf"
  Delete "$INSTDIR\web\load.gif"
  ${If} $R5 == 0
    ; What the programs wrote: the cache, the history, refreshed logos, the member picture,
    ; leftovers of cut downloads, and the settings.
    RMDir /r "$INSTDIR\cache"
    RMDir /r "$INSTDIR\web"
    Delete "$INSTDIR\${SETTINGS}"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  ; Never recursive: files the user put here stay, and so does the folder then.
  RMDir "$INSTDIR\web"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${PRODUCT_KEY}"
SectionEnd
