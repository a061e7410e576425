#include "DialogTemplates.h"
#include "ResourceIds.h"
#include "Version.h"

namespace {

using enum EControlKind;

constexpr CControlTemplate kControls[] = {
    {IDC_STATIC, StaticText, "", kIcon, 11, 17, 20, 21},
    {IDC_VERSION_TEXT, StaticText, "Morvex Version " MORVEX_VERSION, kNoStyle, 42, 10, 108, 8},
    {IDC_STATIC, StaticText, "Copyright (C) Morvex project", kNoStyle, 40, 25, 119, 8},
    {IDOK, PushButton, "확인", kTabStop | kDefaultButton, 178, 150, 50, 16},
    {IDC_RELEASE_NOTES, Edit, "", kMultiLine | kReadOnly | kVScroll, 41, 67, 187, 73},
    {IDC_STATIC, StaticText, "S/W 개발작업을 위한, 바이너리파일과 텍스트파일간의 변환 프로그램입니다.", kNoStyle, 40,
        47, 188, 18},
};

// The version line's text is replaced when the dialog opens.
constexpr CDialogTemplate kTemplate = {"About...", 235, 173, "굴림", 9, kControls};

} // namespace

const CDialogTemplate& AboutDialogTemplate()
{
    return kTemplate;
}
