#include "FailureDetails.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kSource = "/data/원본.bin";
const std::string kDest = "/data/out file.txt";

// Marks what went to the platform to be put in the user's language.
std::string Marked(std::string_view systemText)
{
    return std::string("<").append(systemText).append(">");
}

// An engine reason and what the dialogs show for it.
struct DetailsCase
{
    const char* name;
    std::string reason;
    std::string shown;
};

void PrintTo(const DetailsCase& c, std::ostream* out)
{
    *out << c.name;
}

class FailureDetails : public testing::TestWithParam<DetailsCase>
{
};

TEST_P(FailureDetails, SayTheProgramsPartInItsOwnWords)
{
    EXPECT_EQ(::FailureDetails(GetParam().reason, kSource, kDest, Marked), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Reasons, FailureDetails,
    testing::Values(
        DetailsCase{"OpenSource", "cannot open source file '/data/원본.bin': No such file or directory",
            "원본파일 '/data/원본.bin'을(를) 열 수 없습니다: <No such file or directory>"},
        DetailsCase{"OpenDest", "cannot open destination file '/data/out file.txt': Permission denied",
            "생성파일 '/data/out file.txt'을(를) 열 수 없습니다: <Permission denied>"},
        DetailsCase{"ReadSource", "cannot read source file '/data/원본.bin': Input/output error",
            "원본파일 '/data/원본.bin'을(를) 읽을 수 없습니다: <Input/output error>"},
        DetailsCase{"WriteDest", "cannot write destination file '/data/out file.txt': No space left on device",
            "생성파일 '/data/out file.txt'에 쓸 수 없습니다: <No space left on device>"},
        DetailsCase{"SameFile", "source and destination are the same file '/data/out file.txt'",
            "원본파일과 생성파일이 같은 파일입니다: '/data/out file.txt'"},
        DetailsCase{"SourceChanged", "source file '/data/원본.bin' changed while it was read",
            "원본파일 '/data/원본.bin'이(가) 읽는 중에 바뀌었습니다"},
        DetailsCase{"StdinClosed", "standard input is closed", "표준 입력이 닫혀 있습니다"},
        DetailsCase{"StdoutClosed", "standard output is closed", "표준 출력이 닫혀 있습니다"},
        DetailsCase{"StderrClosed", "standard error is closed", "표준 오류가 닫혀 있습니다"},
        DetailsCase{"OutOfMemory", "out of memory", "메모리가 부족합니다"},
        // A system text that itself looks like a reason is never read as one.
        DetailsCase{"SystemTextLikeAReason", "cannot open source file '/data/원본.bin': out of memory",
            "원본파일 '/data/원본.bin'을(를) 열 수 없습니다: <out of memory>"},
        // Reasons of other forms, or naming other files, stay as they are.
        DetailsCase{"OtherFile", "cannot open source file '/elsewhere.bin': No such file or directory",
            "cannot open source file '/elsewhere.bin': No such file or directory"},
        DetailsCase{"SourceNamedAsDest", "cannot open destination file '/data/원본.bin': Permission denied",
            "cannot open destination file '/data/원본.bin': Permission denied"},
        DetailsCase{"NoSystemText", "cannot open source file '/data/원본.bin': ",
            "cannot open source file '/data/원본.bin': "},
        DetailsCase{"LongerThanAWholeForm", "out of memory twice", "out of memory twice"},
        DetailsCase{"UnknownForm", "byte unit 12 is not between 1 and 9", "byte unit 12 is not between 1 and 9"},
        DetailsCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
