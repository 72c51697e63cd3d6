; The Windows installer: zentrik.exe and zentrikctl.exe with the licence and the readme in
; Program Files, a Start-menu folder, the file type of *.zcfg, and an uninstaller listed under
; installed programs.
; Silent with /S, both ways. scripts/windows_package.sh runs makensis with:
;   VERSION   the release's version (x.y.z)
;   STAGE     the folder holding the files to install
;   OUTFILE   the installer to write
;   ICON      the application icon
;   WINDOW    defined when STAGE holds zentrik.exe
; A 64-bit installer: Debian's wine runs 64-bit programs only.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Halvorn Zentrik"
!define PUBLISHER "Halvorn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\HalvornZentrik"
!define START_MENU "$SMPROGRAMS\${PRODUCT}"
; Configuration files (*.zcfg), opened by a double click in the window.
!define CONFIG_CLASS "Zentrik.Configuration"
!define CONFIG_TYPE "Zentrik Configuration"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright 2026 the Zentrik developers"

LicenseData "${STAGE}\licence.txt"
Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} needs 64-bit Windows." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${PRODUCT}"
    SetOutPath "$INSTDIR"
!ifdef WINDOW
    File "${STAGE}\zentrik.exe"
!endif
    File "${STAGE}\zentrikctl.exe"
    File "${STAGE}\licence.txt"
    File "${STAGE}\readme.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${START_MENU}"
!ifdef WINDOW
    CreateShortcut "${START_MENU}\${PRODUCT}.lnk" "$INSTDIR\zentrik.exe"
!endif
    ; zentrikctl is a command-line program: a command prompt in its folder.
    CreateShortcut "${START_MENU}\Zentrik Command Prompt.lnk" "$SYSDIR\cmd.exe" \
        '/k zentrikctl --help' "$SYSDIR\cmd.exe" 0 SW_SHOWNORMAL "" \
        "Command prompt for zentrikctl"
    CreateShortcut "${START_MENU}\Readme.lnk" "$INSTDIR\readme.txt"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
!ifdef WINDOW
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zentrik.exe,0"
!else
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
!endif
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

!ifdef WINDOW
    WriteRegStr HKLM "Software\Classes\.zcfg" "" "${CONFIG_CLASS}"
    WriteRegStr HKLM "Software\Classes\${CONFIG_CLASS}" "" "${CONFIG_TYPE}"
    WriteRegStr HKLM "Software\Classes\${CONFIG_CLASS}\DefaultIcon" "" "$INSTDIR\zentrik.exe,0"
    WriteRegStr HKLM "Software\Classes\${CONFIG_CLASS}\shell\open\command" "" \
        '"$INSTDIR\zentrik.exe" "%1"'
    ; SHCNE_ASSOCCHANGED: Explorer shows the new type's icon at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!endif
SectionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; Removes what the installer put down and nothing else: a Zentrik.ini written beside the
; programs is the user's and stays (and with it the folder).
Section "Uninstall"
    Delete "$INSTDIR\zentrik.exe"
    Delete "$INSTDIR\zentrikctl.exe"
    Delete "$INSTDIR\licence.txt"
    Delete "$INSTDIR\readme.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "${START_MENU}\${PRODUCT}.lnk"
    Delete "${START_MENU}\Zentrik Command Prompt.lnk"
    Delete "${START_MENU}\Readme.lnk"
    RMDir "${START_MENU}"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    ; The file type, and the extension unless another program has taken it since.
    DeleteRegKey HKLM "Software\Classes\${CONFIG_CLASS}"
    ReadRegStr $0 HKLM "Software\Classes\.zcfg" ""
    ${If} $0 == "${CONFIG_CLASS}"
        DeleteRegKey HKLM "Software\Classes\.zcfg"
    ${EndIf}
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
