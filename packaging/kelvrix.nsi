; The Windows installer for kelvrix.aex and the OpenFX bundle, built by the `installer` target
; of the Windows build:
;   makensis -DNAME=kelvrix -DVERSION=1.1.0 -DPUBLISHER=Torvendale -DAEX=<stripped kelvrix.aex>
;            -DOFX=<stripped kelvrix.ofx> -DOFXICON=<bundle icon> -DSOURCE=<repository>
;            -DOUTFILE=<setup.exe> kelvrix.nsi
; A 64-bit installer (the plug-in is 64-bit only), so Program Files and the registry are the
; native 64-bit ones without redirection. Exit codes: 0 installed, 1 cancelled, 2 refused.
; /NOOFX on the command line unticks the OpenFX component (for silent installs: /S /NOOFX).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define UNINSTALLER "Uninstall ${NAME}.exe"
; The folder After Effects and Premiere Pro both scan for plug-ins.
!define MEDIACORE "$PROGRAMFILES64\Adobe\Common\Plug-ins\7.0\MediaCore"
; The folder every OpenFX host on Windows scans (Resolve, Nuke, Vegas, Natron, ...).
!define OFXBUNDLE "$PROGRAMFILES64\Common Files\OFX\Plugins\${NAME}.ofx.bundle"

Name "${NAME}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER}"
InstallDir "${MEDIACORE}\${NAME}"
; An earlier installation is replaced where it is, so the host never finds two copies.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "${NAME}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "${NAME} ${VERSION} installer"
VIAddVersionKey /LANG=1033 LegalCopyright "${PUBLISHER}"

Var AePlugins  ; the Plug-ins folder of the After Effects found, or empty
Var AeChoice   ; the radio button that picks it

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_COMPONENTS
Page custom LocationPage LocationPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; After Effects records each installed version under this key with its "Support Files" folder
; as InstallPath. The last one listed whose Plug-ins folder exists wins: versions sort as text,
; which is their order while they have two digits.
Function FindAfterEffects
  StrCpy $AePlugins ""
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKLM "Software\Adobe\After Effects" $0
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $2 HKLM "Software\Adobe\After Effects\$1" "InstallPath"
    ${If} $2 != ""
      GetFullPathName $2 "$2\Plug-ins"
      ${IfThen} ${FileExists} "$2\*.*" ${|} StrCpy $AePlugins $2 ${|}
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd

Function .onInit
  Call FindAfterEffects
  Call ComponentsFromCommandLine
FunctionEnd

; Shown only when After Effects was found and nothing was installed before: the shared folder
; stays the default, its own Plug-ins folder is offered.
Function LocationPage
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $AePlugins == ""
  ${OrIf} $0 != ""
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Plug-in folder" "Where After Effects should find ${NAME}."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateFirstRadioButton} 0 10u 100% 24u "The folder After Effects and Premiere Pro share (recommended):$\n$INSTDIR"
  Pop $0
  ${NSD_Check} $0
  ${NSD_CreateAdditionalRadioButton} 0 44u 100% 24u "After Effects only:$\n$AePlugins\${NAME}"
  Pop $AeChoice
  nsDialogs::Show
FunctionEnd

Function LocationPageLeave
  ${NSD_GetState} $AeChoice $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $INSTDIR "$AePlugins\${NAME}"
  ${EndIf}
FunctionEnd

; Shows the reason in $R9, writes it to the console a silent run was started from, and stops
; with exit code 2.
Function Refuse
  StrCpy $R9 "${NAME} was not installed: $R9"
  DetailPrint $R9
  StrLen $7 "$R9$\r$\n"
  System::Call 'kernel32::AttachConsole(i -1)'
  System::Call 'kernel32::GetStdHandle(i -12) p .r8'
  System::Call 'kernel32::WriteConsoleW(p r8, w "$R9$\r$\n", i r7, *i .r6, p 0) i .r5'
  ${If} $5 == 0  ; not a console but a pipe or a file: bytes
    System::Call 'kernel32::WriteFile(p r8, m "$R9$\r$\n", i r7, *i .r6, p 0)'
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP $R9 /SD IDOK
  SetErrorLevel 2
  Abort
FunctionEnd

!macro Refuse reason
  StrCpy $R9 "${reason}"
  Call Refuse
!macroend

!macro Put source
  File "${source}"
  ${If} ${Errors}
    !insertmacro Refuse "cannot write its files to $INSTDIR; close After Effects and Premiere Pro and run it again."
  ${EndIf}
!macroend

Section "kelvrix for After Effects and Premiere Pro" SecAex
  SectionIn RO
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${If} ${Errors}
    !insertmacro Refuse "cannot create the folder $INSTDIR."
  ${EndIf}
  ; A probe first, so a folder that exists but cannot be written stops us before any file does.
  FileOpen $0 "$INSTDIR\${NAME}-write-check.tmp" w
  ${If} ${Errors}
    !insertmacro Refuse "cannot write to the folder $INSTDIR."
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\${NAME}-write-check.tmp"

  SetOutPath "$INSTDIR"
  ; A file that cannot be replaced (the host has it open) sets the error flag. The plug-in goes
  ; first: it is the one a running host holds, so a refusal then leaves nothing half-written.
  SetOverwrite try
  !insertmacro Put "${AEX}"
  !insertmacro Put "${SOURCE}/LICENSE.txt"
  !insertmacro Put "${SOURCE}/resources/font/OpenSans-LICENSE-Apache-2.0.txt"
  !insertmacro Put "${SOURCE}/README.md"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    !insertmacro Refuse "cannot write its uninstaller to $INSTDIR."
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecAex} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ${If} ${Errors}
    !insertmacro Refuse "cannot register its uninstaller."
  ${EndIf}
SectionEnd

; Ticked by default, so silent installs include it; the uninstaller removes it when the
; uninstall entry says it was installed (an upgrade without it keeps an earlier one's record).
Section "kelvrix for OpenFX hosts (Resolve, Nuke, Vegas, Natron, ...)" SecOfx
  ClearErrors
  CreateDirectory "${OFXBUNDLE}\Contents\Win64"
  CreateDirectory "${OFXBUNDLE}\Contents\Resources"
  ${If} ${Errors}
    !insertmacro Refuse "cannot create the folder ${OFXBUNDLE}."
  ${EndIf}
  SetOverwrite try
  SetOutPath "${OFXBUNDLE}\Contents\Win64"
  File "${OFX}"
  ${If} ${Errors}
    !insertmacro Refuse "cannot write ${OFXBUNDLE}; close your OpenFX hosts and run it again."
  ${EndIf}
  SetOutPath "${OFXBUNDLE}\Contents\Resources"
  File "${OFXICON}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "OfxBundle" "${OFXBUNDLE}"
  ${If} ${Errors}
    !insertmacro Refuse "cannot write ${OFXBUNDLE}."
  ${EndIf}
SectionEnd

; Here, after the sections whose indexes it uses.
Function ComponentsFromCommandLine
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOOFX" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecOfx}
  ${EndIf}
FunctionEnd

LangString DESC_SecAex ${LANG_ENGLISH} "kelvrix.aex in the plug-in folder of After Effects and Premiere Pro."
LangString DESC_SecOfx ${LANG_ENGLISH} "kelvrix.ofx.bundle in Common Files\OFX\Plugins, where OpenFX hosts look."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAex} $(DESC_SecAex)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecOfx} $(DESC_SecOfx)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Removes exactly the files the installer wrote, then the folders only if nothing else is in them.
Section "Uninstall"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "OfxBundle"
  ${If} $0 != ""
    Delete "$0\Contents\Win64\kelvrix.ofx"
    Delete "$0\Contents\Resources\com.torvendale.kelvrix.png"
    RMDir "$0\Contents\Win64"
    RMDir "$0\Contents\Resources"
    RMDir "$0\Contents"
    RMDir "$0"
  ${EndIf}
  Delete "$INSTDIR\kelvrix.aex"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\OpenSans-LICENSE-Apache-2.0.txt"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
