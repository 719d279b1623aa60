; Installer of stravo.exe, built by scripts/package with Debian's makensis:
;   makensis -DVERSION=1.0.0.0 -DSOURCE=<folder with stravo.exe and VEXOLOGO.DIB>
;            -DOUTFILE=<installer> -DGUIDE=<guide.nsh> scripts/stravo.nsi
; GUIDE names the files of the user's guide, which lie in SOURCE\guide, in two
; macros: InstallGuide puts them down, RemoveGuide removes them and their folders.
; A 32-bit ANSI installer, like the program it carries. The uninstaller removes
; only what the installer put down: the program's registry values belong to the
; user and to the capture software, and stay.

!ifndef VERSION | SOURCE | OUTFILE | GUIDE
  !error "VERSION, SOURCE, OUTFILE and GUIDE are given by scripts/package"
!endif

!include "LogicLib.nsh"
!include "${GUIDE}"

!define PRODUCT "vexoVIDEO STRAVO"
!define MAKER "vexo Computer Products"
!define CAPTION "vexoVIDEO STRAVO (Stravometer)"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${MAKER}\${PRODUCT}"
; A second installation goes where the first one is, so that its uninstaller
; keeps knowing all the files.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Program Files, the Start menu of all users and the Add/Remove entry need an
; administrator; Windows 95 and NT 4 ignore the request.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright ${MAKER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; A running program keeps its file open on Windows, and a half-replaced or
; half-removed folder is worse than none: both sides refuse while the main
; dialog or one of the program's message boxes is up. Silently they end with
; exit code 2 and change nothing.
!macro RefuseWhileRunning
  FindWindow $0 "#32770" "${CAPTION}"
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running. Close it and start again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RefuseWhileRunning
FunctionEnd

Function un.onInit
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "Program"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${SOURCE}\stravo.exe"
  File "${SOURCE}\VEXOLOGO.DIB"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  !insertmacro InstallGuide

  ; The shortcut starts in the program's folder, where the default logo lies.
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\stravo.exe" "" "$INSTDIR\stravo.exe" 0
  ; The guide's entry opens the page of the user's language, named in that
  ; language; each page links the other two.
  System::Call "kernel32::GetUserDefaultLangID() i .r0"
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 0x07
    CreateShortCut "$SMPROGRAMS\${PRODUCT} Kurzanleitung.lnk" "$INSTDIR\guide\de.htm"
  ${ElseIf} $0 = 0x0C
    CreateShortCut "$SMPROGRAMS\${PRODUCT} Guide d'utilisation.lnk" "$INSTDIR\guide\fr.htm"
  ${Else}
    CreateShortCut "$SMPROGRAMS\${PRODUCT} User's Guide.lnk" "$INSTDIR\guide\en.htm"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\stravo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The files by name, never the folder with /r: the folder may be one the user
  ; chose and shares with other files.
  Delete "$INSTDIR\stravo.exe"
  Delete "$INSTDIR\VEXOLOGO.DIB"
  Delete "$INSTDIR\uninstall.exe"
  !insertmacro RemoveGuide
  RMDir "$INSTDIR"
  ; The maker's folder under Program Files only when nothing else is left in it.
  RMDir "$PROGRAMFILES\${MAKER}"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; The guide's entry under whichever of its names the installer chose.
  Delete "$SMPROGRAMS\${PRODUCT} User's Guide.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Kurzanleitung.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Guide d'utilisation.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
