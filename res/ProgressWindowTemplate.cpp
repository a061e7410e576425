#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

using enum EControlKind;

constexpr CControlTemplate kControls[] = {
    {IDC_PROGRESS_SOURCE, StaticText, "", kPathEllipsis, 7, 7, 186, 8},
    {IDC_PROGRESS_BAR, ProgressBar, "", kNoStyle, 7, 20, 186, 10},
    {IDCANCEL, PushButton, "취소", kTabStop | kDefaultButton, 75, 38, 50, 14},
};

// The source's name is filled in when the window opens.
constexpr CDialogTemplate kTemplate = {"변환 중", 200, 60, "굴림", 9, kControls};

} // namespace

const CDialogTemplate& ProgressWindowTemplate()
{
    return kTemplate;
}
