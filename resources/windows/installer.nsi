; The Windows installer of the wizard and its command-line companion (built by scripts/windows-build with makensis):
; the programs and their DLLs below Program Files, a Start menu entry, an uninstaller registered with Windows, and
; inbound firewall rules for both programs, because the recorders answer a search with UDP datagrams that a default
; Windows firewall drops.
;   makensis -DVERSION=2.2.0 -DSOURCE_DIR=<portable folder> -DOUT_FILE=<setup.exe> installer.nsi
Unicode true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "HXT-914Q Setup Wizard"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\HXT-914Q Setup Wizard"
!define RULE_WIZARD "HXT-914Q Setup Wizard (recorder search)"
!define RULE_TOOL "HXT-914Q command-line companion (recorder search)"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\HXT-914Q Setup Wizard"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Program Files and the firewall belong to the administrators.
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Veskor"
VIAddVersionKey "LegalCopyright" "Veskor"
!define MUI_ICON "${SOURCE_DIR}\hxt914q.ico"
!define MUI_UNICON "${SOURCE_DIR}\hxt914q.ico"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\hxt914q-setup.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows 10 or later."
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Section "Install"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${SOURCE_DIR}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\hxt914q-setup.exe" "" "$INSTDIR\hxt914q-setup.exe" 0

    ; One rule per program, for its UDP datagrams only; removed first so that reinstalling never doubles them.
    nsExec::Exec 'netsh advfirewall firewall delete rule name="${RULE_WIZARD}"'
    nsExec::Exec 'netsh advfirewall firewall delete rule name="${RULE_TOOL}"'
    nsExec::Exec 'netsh advfirewall firewall add rule name="${RULE_WIZARD}" dir=in action=allow protocol=UDP profile=any program="$INSTDIR\hxt914q-setup.exe" enable=yes'
    nsExec::Exec 'netsh advfirewall firewall add rule name="${RULE_TOOL}" dir=in action=allow protocol=UDP profile=any program="$INSTDIR\hxt914q-cli.exe" enable=yes'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Veskor"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\hxt914q-setup.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    nsExec::Exec 'netsh advfirewall firewall delete rule name="${RULE_WIZARD}"'
    nsExec::Exec 'netsh advfirewall firewall delete rule name="${RULE_TOOL}"'
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    RMDir /r "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
