; The installer's options page, in Korean and with the product's name as it
; is written, and the /ADDTOPATH=1 switch that makes the page's choice for
; installs that show no page.

; The page's file, which CPack writes in English, is written anew here while
; the installer is compiled. InstallOptions reads it through the profile
; functions, which keep text outside the ANSI code page only in UTF-16LE.
!define MORVEX_OPTIONS "NSIS.InstallOptions.ini"
!delfile "${MORVEX_OPTIONS}"
!macro MorvexOptionsLine TEXT
  !appendfile /CHARSET=UTF16LEBOM "${MORVEX_OPTIONS}" "${TEXT}$\r$\n"
!macroend
!insertmacro MorvexOptionsLine "[Settings]"
!insertmacro MorvexOptionsLine "NumFields=4"
!insertmacro MorvexOptionsLine "[Field 1]"
!insertmacro MorvexOptionsLine "Type=label"
!insertmacro MorvexOptionsLine "Text=기본 설정에서는 Morvex를 시스템 PATH에 추가하지 않습니다."
!insertmacro MorvexOptionsLine "Left=0"
!insertmacro MorvexOptionsLine "Right=-1"
!insertmacro MorvexOptionsLine "Top=0"
!insertmacro MorvexOptionsLine "Bottom=20"
; Fields 2 to 4 are the choices the stock installer reads back by number.
!insertmacro MorvexOptionsLine "[Field 2]"
!insertmacro MorvexOptionsLine "Type=radiobutton"
!insertmacro MorvexOptionsLine "Text=Morvex를 시스템 PATH에 추가하지 않음"
!insertmacro MorvexOptionsLine "Left=0"
!insertmacro MorvexOptionsLine "Right=-1"
!insertmacro MorvexOptionsLine "Top=30"
!insertmacro MorvexOptionsLine "Bottom=40"
!insertmacro MorvexOptionsLine "State=1"
!insertmacro MorvexOptionsLine "[Field 3]"
!insertmacro MorvexOptionsLine "Type=radiobutton"
!insertmacro MorvexOptionsLine "Text=모든 사용자의 시스템 PATH에 Morvex 추가"
!insertmacro MorvexOptionsLine "Left=0"
!insertmacro MorvexOptionsLine "Right=-1"
!insertmacro MorvexOptionsLine "Top=40"
!insertmacro MorvexOptionsLine "Bottom=50"
!insertmacro MorvexOptionsLine "State=0"
!insertmacro MorvexOptionsLine "[Field 4]"
!insertmacro MorvexOptionsLine "Type=radiobutton"
!insertmacro MorvexOptionsLine "Text=현재 사용자의 PATH에 Morvex 추가"
!insertmacro MorvexOptionsLine "Left=0"
!insertmacro MorvexOptionsLine "Right=-1"
!insertmacro MorvexOptionsLine "Top=50"
!insertmacro MorvexOptionsLine "Bottom=60"
!insertmacro MorvexOptionsLine "State=0"

; The stock page gives itself an English header just before it is shown;
; showing it puts the Korean one in its place.
!macroundef MUI_INSTALLOPTIONS_DISPLAY
!macro MUI_INSTALLOPTIONS_DISPLAY FILE
  !insertmacro MUI_HEADER_TEXT "설치 옵션" "Morvex 설치 옵션을 선택하세요."
  !insertmacro INSTALLOPTIONS_DISPLAY "${FILE}"
!macroend

; /ADDTOPATH=1 chooses "every user's PATH" on the page: before it is shown
; when there is a page, and before the choice is read back when the install
; is silent.
!include FileFunc.nsh
Function MorvexPathSwitch
  Push $R0
  Push $R1
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ADDTOPATH=" $R1
  StrCmp $R1 "1" 0 morvex_path_switch_done
    !insertmacro MUI_INSTALLOPTIONS_WRITE "${MORVEX_OPTIONS}" "Field 2" "State" "0"
    !insertmacro MUI_INSTALLOPTIONS_WRITE "${MORVEX_OPTIONS}" "Field 3" "State" "1"
    !insertmacro MUI_INSTALLOPTIONS_WRITE "${MORVEX_OPTIONS}" "Field 4" "State" "0"
  morvex_path_switch_done:
  Pop $R1
  Pop $R0
FunctionEnd
!define MUI_CUSTOMFUNCTION_GUIINIT MorvexPathSwitch
!macro MorvexSilentPathSwitch
  IfSilent 0 +2
    Call MorvexPathSwitch
!macroend
