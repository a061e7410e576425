// The resource ids must build where <windows.h> has already defined the two
// common buttons as macros of its own.
#define IDOK 1
#define IDCANCEL 2
#include "ResourceIds.h"
#include "StringTable.h"
#include "Version.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(ResourceIds, CommonButtonsKeepTheirValuesBesideTheWindowsMacros)
{
    const int buttons[] = {IDOK, IDCANCEL, IDC_SOURCE_PATH};
    EXPECT_EQ(buttons[0], 1);
    EXPECT_EQ(buttons[1], 2);
    EXPECT_EQ(buttons[2], 1000);
}

// Every string of the table by its id, exactly as the dialogs show it.
struct StringCase
{
    int id;
    const char* text;
};

const StringCase kStringCases[] = {
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
    {IDS_ENTER_INTEGER, "정수를 입력하십시오."},
    {IDS_ENTER_INTEGER_RANGE, "%1와(과) %2 사이의 정수를 입력하십시오."},
};

class StringTable : public testing::TestWithParam<StringCase>
{
};

TEST_P(StringTable, HoldsTheTextUnderItsId)
{
    EXPECT_EQ(LoadResString(GetParam().id), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Ids, StringTable, testing::ValuesIn(kStringCases),
    [](const auto& info) { return std::to_string(info.param.id); });

TEST(StringTableWhole, EveryEntryHasAUniqueIdATextAndARowAbove)
{
    std::set<int> ids;
    for (const CResString& entry : ResStrings()) {
        EXPECT_FALSE(entry.text.empty()) << entry.id;
        EXPECT_TRUE(ids.insert(entry.id).second) << "twice: " << entry.id;
    }
    std::set<int> tested;
    for (const StringCase& c : kStringCases)
        tested.insert(c.id);
    EXPECT_EQ(ids, tested);
}

TEST(StringTableWhole, UnknownIdGivesTheEmptyText)
{
    EXPECT_EQ(LoadResString(0), "");
    EXPECT_EQ(FormatResString(0, {"x"}), "");
}

// Placeholders replaced in one pass.
struct FormatCase
{
    const char* name;
    int id;
    const char* first;
    const char* second;  // nullptr: one insert only
    const char* formatted;
};

class StringTableFormat : public testing::TestWithParam<FormatCase>
{
};

TEST_P(StringTableFormat, ReplacesEachPlaceholderOnce)
{
    const FormatCase& c = GetParam();
    const std::string formatted = c.second ? FormatResString(c.id, {c.first, c.second}) : FormatResString(c.id, {c.first});
    EXPECT_EQ(formatted, c.formatted);
}

INSTANTIATE_TEST_SUITE_P(Cases, StringTableFormat,
    testing::Values(
        FormatCase{"Range", IDS_ENTER_INTEGER_RANGE, "1", "9", "1와(과) 9 사이의 정수를 입력하십시오."},
        FormatCase{"InsertHoldingAPlaceholder", IDS_ENTER_INTEGER_RANGE, "%2", "9", "%2와(과) 9 사이의 정수를 입력하십시오."},
        FormatCase{"MissingInsertStays", IDS_ENTER_INTEGER_RANGE, "1", nullptr, "1와(과) %2 사이의 정수를 입력하십시오."},
        FormatCase{"Path", IDS_CREATE_PROMPT, "/tmp/새 파일.bin", nullptr,
            "/tmp/새 파일.bin\n파일이 없습니다.\n파일을 만드시겠습니까?"},
        FormatCase{"NoPlaceholders", IDS_CONVERSION_DONE, "x", nullptr, "변환완료"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
