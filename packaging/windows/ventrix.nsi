; The Windows installer of ventrix: 64-bit, for all users, into
; Program Files\ventrix, with a Start-menu shortcut, an entry in Add/Remove
; Programs and an uninstaller that takes all of it away again.
;   makensis /DVERSION=X.Y.Z /DSTAGE=DIR /DOUTFILE=FILE ventrix.nsi
; STAGE holds the files to install (the program's folder with its licences)
; and, beside it, STAGE.uninstall.nsh with a Delete or RMDir line for each of
; them, deepest first (both written by scripts/package-windows).
; While ventrix runs it holds the mutex below: installer and uninstaller then
; ask to close it first, or end with exit code 2 when silent (/S).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PROGRAM ventrix
!define PUBLISHER "ventrix project"
!define MUTEX "Global\ventrix-running"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PROGRAM}"
!define SHORTCUT "$SMPROGRAMS\${PROGRAM}.lnk"

!include FileFunc.nsh
!include MUI2.nsh

Name "${PROGRAM} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PROGRAM}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" InstallLocation
BrandingText "${PROGRAM} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "${PROGRAM}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "${PROGRAM} ${VERSION} installer"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "MIT licence; Qt under the LGPL-3"

!define MUI_ICON "${STAGE}\exe.ico"
!define MUI_UNICON "${STAGE}\exe.ico"
!define MUI_PAGE_HEADER_TEXT "Licences"
!define MUI_PAGE_HEADER_SUBTEXT "ventrix and the libraries it is built with."
!define MUI_LICENSEPAGE_TEXT_TOP "ventrix is linked with Qt, Qwt and the libraries named below."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The full texts are installed in the licences folder."
!define MUI_LICENSEPAGE_BUTTON "&Next >"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\licences\NOTICE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; Returns while ventrix does not run. Otherwise asks to close it (Retry) or
; quits (Cancel); a silent run quits at once. Either way the exit code is 2.
!macro DEFINE_CLOSE_PROGRAM_FIRST PREFIX
Function ${PREFIX}CloseProgramFirst
    check:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .r0'
    IntPtrCmp $0 0 done
    System::Call 'kernel32::CloseHandle(p r0)'
    SetErrorLevel 2
    IfSilent quit
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PROGRAM} is running.$\n$\nClose it, then choose Retry." IDRETRY check
    quit:
    Quit
    done:
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_PROGRAM_FIRST ""
!insertmacro DEFINE_CLOSE_PROGRAM_FIRST "un."

Function .onInit
    Call CloseProgramFirst
FunctionEnd

Function un.onInit
    Call un.CloseProgramFirst
FunctionEnd

Section Install
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut's working folder is the output path: the install folder.
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}.exe" "" "$INSTDIR\exe.ico"
    Call WriteUninstallEntry
SectionEnd

Function WriteUninstallEntry
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${PROGRAM}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\${PROGRAM}.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
FunctionEnd

Section Uninstall
    SetShellVarContext all
    Delete "${SHORTCUT}"
    !include "${STAGE}.uninstall.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
