#include "StringTable.h"

#include "ResourceIds.h"
#include "Version.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, std::string_view>, 5> kStrings = {{
    {IDS_ABOUTBOX, "&About..."},
    {IDS_APP_TITLE, "Morvex"},
    {IDS_APP_VERSION, MORVEX_VERSION},
    {IDS_ENTER_INTEGER, "정수를 입력하십시오."},
    {IDS_ENTER_INTEGER_RANGE, "%1와(과) %2 사이의 정수를 입력하십시오."},
}};

} // namespace

std::string_view LoadResString(int id)
{
    for (const auto& [stringId, text] : kStrings)
        if (stringId == id)
            return text;
    return {};
}

std::string TitleAndVersion()
{
    return std::string(LoadResString(IDS_APP_TITLE)) + " v" + std::string(LoadResString(IDS_APP_VERSION));
}
