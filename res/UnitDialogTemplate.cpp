#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

using enum EControlKind;

constexpr CControlTemplate kControls[] = {
    {IDC_BYTE_UNIT, Edit, "", kTabStop, 66, 31, 23, 12},
    {IDOK, PushButton, "확    인", kTabStop | kDefaultButton, 90, 100, 50, 14},
    {IDC_BYTE_UNIT_LABEL, StaticText, "몇 바이트 단위로 생성할까요?", kNoStyle, 15, 17, 98, 8},
    {IDC_STATIC, GroupBox, "", kNoStyle, 7, 3, 133, 89},
    {IDC_STATIC, StaticText, "바이트 단위", kNoStyle, 92, 33, 38, 8},
    {IDC_LINE_UNIT, Edit, "", kTabStop, 66, 72, 23, 12},
    {IDC_LINE_UNIT_LABEL, StaticText, "텍스트 한줄에 몇개씩 생성할까요?", kNoStyle, 15, 58, 116, 8},
    {IDC_LINE_UNIT_SUFFIX, StaticText, "개씩", kNoStyle, 92, 74, 15, 8},
};

constexpr CDialogTemplate kTemplate = {"단위", 147, 121, "굴림", 9, kControls};

} // namespace

const CDialogTemplate& UnitDialogTemplate()
{
    return kTemplate;
}
