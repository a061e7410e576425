#include "Win32SystemText.h"
#include "Win32Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// The system's own message for the error, as FormatMessageW gives it to
// this thread, without its line end.
std::string SystemMessage(DWORD error)
{
    wchar_t message[512] = {};
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, message, 512, nullptr);
    while (length > 0 && (message[length - 1] == L'\r' || message[length - 1] == L'\n'))
        --length;
    return ToUtf8(std::wstring_view(message, length));
}

// An error number and the system error it stands for (0: none, the C
// runtime's text is shown).
struct SystemTextCase
{
    const char* name;
    int errorNumber;
    DWORD systemError;
};

void PrintTo(const SystemTextCase& c, std::ostream* out)
{
    *out << c.name;
}

class Win32SystemText : public testing::TestWithParam<SystemTextCase>
{};

TEST_P(Win32SystemText, IsTheSystemsMessageWhereThereIsOne)
{
    const SystemTextCase& c = GetParam();
    const std::string expected = c.systemError ? SystemMessage(c.systemError) : std::strerror(c.errorNumber);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(UserLanguageSystemText(c.errorNumber), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, Win32SystemText,
    testing::Values(
        SystemTextCase{"Missing", ENOENT, ERROR_FILE_NOT_FOUND},
        SystemTextCase{"Denied", EACCES, ERROR_ACCESS_DENIED},
        SystemTextCase{"Full", ENOSPC, ERROR_DISK_FULL},
        SystemTextCase{"ReadOnly", EROFS, ERROR_WRITE_PROTECT},
        // Any other failure of the file calls: no one message says it.
        SystemTextCase{"InputOutput", EIO, 0},
        SystemTextCase{"UnknownErrorNumber", 9999, 0}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

} // namespace
