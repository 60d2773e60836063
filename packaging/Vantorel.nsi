; Vantorel installer: a per-user installation that needs no administrator rights.
; makensis -DVERSION=1.20 -DFILES=<folder with the files to ship> -DICON=<program icon> -DOUTFILE=<setup.exe>
;          -DBITS=32|64 Vantorel.nsi
; The installer itself is a 32-bit program either way; the one of the 64-bit build refuses to
; install on a 32-bit Windows, where its program could not start.
;
; What it installs, and what the uninstaller takes away again:
;   $LOCALAPPDATA\Programs\Vantorel      the program, its three libraries, zentrixctl, help, readme
;   Start menu                           Vantorel.lnk
;   HKCU\Software\Classes                "Open with Vantorel" for common video types
;   HKCU\...\Uninstall\Vantorel          the entry under Apps / Programs and Features
; The user's settings (%APPDATA%\Zentrix\Zentrix.ini) are never touched.

!ifndef VERSION | FILES | ICON | OUTFILE | BITS
  !error "define VERSION, FILES, ICON, OUTFILE and BITS"
!endif

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT     "Vantorel"
!define PROGRAM     "Zentrix.exe"
!define PROGID      "Vantorel.Video"
!define UNINSTALLER "Uninstall.exe"
!define CLASSES     "Software\Classes"
!define APPKEY      "${CLASSES}\Applications\${PROGRAM}"
!define UNINSTKEY   "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SHCNE_ASSOCCHANGED 0x08000000

!include "x64.nsh"

Name "${PRODUCT} ${VERSION} (${BITS}-bit)"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "The ${PRODUCT} developers"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\ZentrixHelp.pdf"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The shipped files, listed once for both directions.
!macro ShippedFiles action
  !insertmacro ${action} "${PROGRAM}"
  !insertmacro ${action} "QUORVEL.DLL"
  !insertmacro ${action} "OSGRIM.DLL"
  !insertmacro ${action} "ZENTRIXKEY.DLL"
  !insertmacro ${action} "zentrixctl.exe"
  !insertmacro ${action} "ZentrixHelp.pdf"
  !insertmacro ${action} "README.txt"
!macroend
!macro InstallFile name
  File "${FILES}\${name}"
!macroend
!macro RemoveFile name
  Delete "$INSTDIR\${name}"
!macroend

; The video types that offer "Open with Vantorel".
!macro VideoTypes action
  !insertmacro ${action} ".mp4"
  !insertmacro ${action} ".avi"
  !insertmacro ${action} ".mov"
  !insertmacro ${action} ".mkv"
  !insertmacro ${action} ".wmv"
  !insertmacro ${action} ".mpg"
!macroend
!macro OfferType ext
  WriteRegStr HKCU "${APPKEY}\SupportedTypes" "${ext}" ""
  WriteRegNone HKCU "${CLASSES}\${ext}\OpenWithProgids" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\${ext}\OpenWithList\${PROGRAM}" "" ""
!macroend
; Only our own entries go; keys that other programs share are removed only when we left them empty.
!macro WithdrawType ext
  DeleteRegValue HKCU "${CLASSES}\${ext}\OpenWithProgids" "${PROGID}"
  DeleteRegKey HKCU "${CLASSES}\${ext}\OpenWithList\${PROGRAM}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${ext}\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${ext}\OpenWithList"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${ext}"
!macroend

Function .onInit
  SetShellVarContext current
!if ${BITS} == 64
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit ${PRODUCT}, and this Windows is a 32-bit one.$\r$\nPlease install the 32-bit ${PRODUCT} (win32) instead." /SD IDOK
    Abort
  ${EndIf}
!endif
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Vantorel"
  SetOutPath "$INSTDIR"
  !insertmacro ShippedFiles InstallFile
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0 \
                 SW_SHOWNORMAL "" "Play a video and type its timecode into other programs"

  ; "Open with": the application itself, and a ProgID that the video types list.
  WriteRegStr HKCU "${APPKEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKCU "${APPKEY}\DefaultIcon" "" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${APPKEY}\shell\open\command" "" '"$INSTDIR\${PROGRAM}" "%1"'
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Video (${PRODUCT})"
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "FriendlyTypeName" "Video"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\${PROGRAM}" "%1"'
  !insertmacro VideoTypes OfferType

  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "The ${PRODUCT} developers"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" $0

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  ; A running player would keep its files: ask it to close, as its own close box does.
  FindWindow $0 "VANTORELDLGCLASS"
  StrCmp $0 0 +2
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000

  !insertmacro ShippedFiles RemoveFile
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  !insertmacro VideoTypes WithdrawType
  DeleteRegKey HKCU "${APPKEY}"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegKey HKCU "${UNINSTKEY}"

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
