#include "StringTable.h"

#include "ResourceIds.h"
#include "Version.h"

namespace {

constexpr CResString kStrings[] = {
    {IDS_ABOUTBOX, "&About..."},
    {IDS_APP_TITLE, "Morvex"},
    {IDS_APP_VERSION, MORVEX_VERSION},
    {IDS_SELECT_SOURCE_FIRST, "원본파일을 먼저 선택하세요"},
    {IDS_CONVERSION_DONE, "변환완료"},
    {IDS_CONVERSION_FAILED, "변환실패"},
    {IDS_ENTER_POSITIVE_INTEGER, "1 이상의 정수를 입력하십시오."},
    {IDS_CREATE_PROMPT, "%1\n파일이 없습니다.\n파일을 만드시겠습니까?"},
    {IDS_OPEN_TITLE, "열기"},
    {IDS_ALL_FILES, "All Files (*.*)"},
    {IDS_CANNOT_OPEN_SOURCE, "원본파일 %1을(를) 열 수 없습니다: %2"},
    {IDS_CANNOT_OPEN_DEST, "생성파일 %1을(를) 열 수 없습니다: %2"},
    {IDS_CANNOT_READ_SOURCE, "원본파일 %1을(를) 읽을 수 없습니다: %2"},
    {IDS_CANNOT_WRITE_DEST, "생성파일 %1에 쓸 수 없습니다: %2"},
    {IDS_SAME_FILE, "원본파일과 생성파일이 같은 파일입니다: %1"},
    {IDS_SOURCE_CHANGED, "원본파일 %1이(가) 읽는 중에 바뀌었습니다"},
    {IDS_STDIN_CLOSED, "표준 입력이 닫혀 있습니다"},
    {IDS_STDOUT_CLOSED, "표준 출력이 닫혀 있습니다"},
    {IDS_STDERR_CLOSED, "표준 오류가 닫혀 있습니다"},
    {IDS_OUT_OF_MEMORY, "메모리가 부족합니다"},
    {IDS_DEST_CHANGED, "생성파일 %1이(가) 변환 중에 다른 파일로 바뀌었습니다"},
    {IDS_ENTER_INTEGER, "정수를 입력하십시오."},
    {IDS_ENTER_INTEGER_RANGE, "%1와(과) %2 사이의 정수를 입력하십시오."},
};

} // namespace

std::span<const CResString> ResStrings()
{
    return kStrings;
}

std::string_view LoadResString(int id)
{
    for (const auto& [stringId, text] : kStrings)
        if (stringId == id)
            return text;
    return {};
}

std::string FormatResString(int id, std::initializer_list<std::string_view> inserts)
{
    const std::string_view text = LoadResString(id);
    std::string formatted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const bool placeholder = text[i] == '%' && next >= '1' && next <= '9';
        const auto insert = static_cast<std::size_t>(next - '1');
        if (!placeholder || insert >= inserts.size()) {
            formatted += text[i];
            continue;
        }
        formatted += inserts.begin()[insert];
        ++i;
    }
    return formatted;
}

std::string TitleAndVersion()
{
    return std::string(LoadResString(IDS_APP_TITLE)) + " v" + std::string(LoadResString(IDS_APP_VERSION));
}
