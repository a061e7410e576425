// The resource ids must build where <windows.h> has already defined the two
// common buttons as macros of its own.
#define IDOK 1
#define IDCANCEL 2
#include "ResourceIds.h"
#include "StringTable.h"

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

// The texts themselves are checked where the dialogs show them.
TEST(StringTableWhole, EveryEntryHasAUniqueIdAndAText)
{
    std::set<int> ids;
    for (const CResString& entry : ResStrings()) {
        EXPECT_FALSE(entry.text.empty()) << entry.id;
        EXPECT_TRUE(ids.insert(entry.id).second) << "twice: " << entry.id;
    }
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
{};

TEST_P(StringTableFormat, ReplacesEachPlaceholderOnce)
{
    const FormatCase& c = GetParam();
    const std::string formatted
        = c.second ? FormatResString(c.id, {c.first, c.second}) : FormatResString(c.id, {c.first});
    EXPECT_EQ(formatted, c.formatted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, StringTableFormat,
    testing::Values(
        FormatCase{"Range", IDS_ENTER_INTEGER_RANGE, "1", "9", "1와(과) 9 사이의 정수를 입력하십시오."},
        FormatCase{"InsertHoldingAPlaceholder", IDS_ENTER_INTEGER_RANGE, "%2", "9", "%2와(과) 9 사이의 정수를 입력하십시오."},
        FormatCase{"MissingInsertStays", IDS_ENTER_INTEGER_RANGE, "1", nullptr, "1와(과) %2 사이의 정수를 입력하십시오."},
        FormatCase{"Path", IDS_CREATE_PROMPT, "/tmp/새 파일.bin", nullptr,
            "/tmp/새 파일.bin\n파일이 없습니다.\n파일을 만드시겠습니까?"},
        FormatCase{"NoPlaceholders", IDS_CONVERSION_DONE, "x", nullptr, "변환완료"}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

} // namespace
