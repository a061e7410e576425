#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

using enum EControlKind;

constexpr unsigned kPathEdit = kTabStop | kAcceptFiles;

constexpr CControlTemplate kControls[] = {
    {IDC_SOURCE_PATH, Edit, "", kPathEdit, 14, 21, 92, 13},
    {IDC_BROWSE_SOURCE, PushButton, "원본파일", kTabStop | kDefaultButton, 107, 21, 50, 14},
    {IDC_DEST_PATH, Edit, "", kPathEdit, 14, 39, 92, 13},
    {IDC_BROWSE_DEST, PushButton, "생성파일", kTabStop, 107, 39, 50, 14},
    {IDC_HEX_INVERT, PushButton, "Hexa Invert", kTabStop, 7, 142, 50, 27},
    {IDC_TXT_TO_BIN, PushButton, "TXT → BIN", kTabStop, 7, 109, 50, 27},
    {IDC_HOMEPAGE, PushButton, "Morvex 홈페이지 바로가기 - morvex.example.org", kTabStop | kFlat, 7, 220, 157, 14},
    {IDC_STATIC, GroupBox, "파일선택", kNoStyle, 7, 7, 158, 56},
    {IDC_STATIC, GroupBox, "", kNoStyle, 64, 138, 100, 32},
    {IDC_STATIC, StaticText, "Text 배열 파일을 반전\n  ( 예 : 0x5F → 0xA0 )", kNoStyle, 69, 148, 85, 19},
    {IDC_STATIC, GroupBox, "", kNoStyle, 64, 105, 100, 32},
    {IDC_STATIC, StaticText, "TXT 배열을 Binary로 변환\n  ( 예 : 0x41, 0x42 → AB )", kNoStyle, 69, 115, 85, 19},
    {IDC_COMMAND_HELP, PushButton, "커맨드명령", kTabStop, 7, 175, 50, 27},
    {IDC_STATIC, GroupBox, "", kNoStyle, 64, 171, 100, 32},
    {IDC_STATIC, StaticText, "DOS창에서 실행시키는 방법\n및 파라메타 설명", kNoStyle, 69, 181, 89, 19},
    {IDC_BIN_TO_TXT, PushButton, "BIN → TXT", kTabStop, 7, 76, 50, 27},
    {IDC_STATIC, GroupBox, "", kNoStyle, 64, 72, 100, 32},
    {IDC_STATIC, StaticText, "Binary를 TXT 배열로 변환\n  ( 예 : AB → 0x41, 0x42 )", kNoStyle, 69, 82, 85, 19},
};

// The caption is replaced by title and version when the dialog opens.
constexpr CDialogTemplate kTemplate = {"Morvex", 171, 241, "굴림", 9, kControls};

} // namespace

const CDialogTemplate& MainDialogTemplate()
{
    return kTemplate;
}
