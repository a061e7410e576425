#include "FailureDetails.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

const std::string kSource = "/data/원본.bin";
const std::string kDest = "/data/out file.txt";

// Marks what went to the platform to be put in the user's language.
std::string Marked(int errorNumber)
{
    return std::string("<").append(std::strerror(errorNumber)).append(">");
}

// A failure of the engine and what the dialogs show for it.
struct DetailsCase
{
    const char* name;
    EFailure failure;
    std::string path;
    int errorNumber;
    std::string message;
    std::string shown;
};

void PrintTo(const DetailsCase& c, std::ostream* out)
{
    *out << c.name;
}

class FailureDetails : public testing::TestWithParam<DetailsCase>
{};

TEST_P(FailureDetails, SayTheProgramsPartInItsOwnWords)
{
    const DetailsCase& c = GetParam();
    const auto failure = CConversionResult::Failed(c.failure, c.path, c.errorNumber, c.message);
    EXPECT_EQ(::FailureDetails(failure, Marked), c.shown);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reasons, FailureDetails,
    testing::Values(
        DetailsCase{"OpenSource", EFailure::CannotOpenSource, kSource, ENOENT,
            "cannot open source file '/data/원본.bin': No such file or directory",
            "원본파일 '/data/원본.bin'을(를) 열 수 없습니다: <No such file or directory>"},
        DetailsCase{"OpenDest", EFailure::CannotOpenDest, kDest, EACCES,
            "cannot open destination file '/data/out file.txt': Permission denied",
            "생성파일 '/data/out file.txt'을(를) 열 수 없습니다: <Permission denied>"},
        DetailsCase{"ReadSource", EFailure::CannotReadSource, kSource, EIO,
            "cannot read source file '/data/원본.bin': Input/output error",
            "원본파일 '/data/원본.bin'을(를) 읽을 수 없습니다: <Input/output error>"},
        DetailsCase{"WriteDest", EFailure::CannotWriteDest, kDest, ENOSPC,
            "cannot write destination file '/data/out file.txt': No space left on device",
            "생성파일 '/data/out file.txt'에 쓸 수 없습니다: <No space left on device>"},
        DetailsCase{"SameFile", EFailure::SameFile, kDest, 0,
            "source and destination are the same file '/data/out file.txt'",
            "원본파일과 생성파일이 같은 파일입니다: '/data/out file.txt'"},
        DetailsCase{"SourceChanged", EFailure::SourceChanged, kSource, 0,
            "source file '/data/원본.bin' changed while it was read",
            "원본파일 '/data/원본.bin'이(가) 읽는 중에 바뀌었습니다"},
        DetailsCase{"DestChanged", EFailure::DestChanged, kDest, 0,
            "destination file '/data/out file.txt' was replaced by another file during the conversion",
            "생성파일 '/data/out file.txt'이(가) 변환 중에 다른 파일로 바뀌었습니다"},
        DetailsCase{"StdinClosed", EFailure::StandardInputClosed, "/dev/stdin", 0, "standard input is closed",
            "표준 입력이 닫혀 있습니다"},
        DetailsCase{"StdoutClosed", EFailure::StandardOutputClosed, "/dev/stdout", 0, "standard output is closed",
            "표준 출력이 닫혀 있습니다"},
        DetailsCase{"StderrClosed", EFailure::StandardErrorClosed, "/dev/stderr", 0, "standard error is closed",
            "표준 오류가 닫혀 있습니다"},
        DetailsCase{"OutOfMemory", EFailure::OutOfMemory, "", 0, "out of memory", "메모리가 부족합니다"},
        // The system's part comes from the error number, never from the message.
        DetailsCase{"SystemTextFromTheErrorNumber", EFailure::CannotOpenSource, kSource, ENOENT,
            "cannot open source file '/data/원본.bin': out of memory",
            "원본파일 '/data/원본.bin'을(를) 열 수 없습니다: <No such file or directory>"},
        // The failure names its own file, whatever the dialog's fields hold,
        // and its kind, not the name, decides the words.
        DetailsCase{"OtherFile", EFailure::CannotOpenSource, "/elsewhere.bin", ENOENT,
            "cannot open source file '/elsewhere.bin': No such file or directory",
            "원본파일 '/elsewhere.bin'을(를) 열 수 없습니다: <No such file or directory>"},
        DetailsCase{"SourceNamedAsDest", EFailure::CannotOpenDest, kSource, EACCES,
            "cannot open destination file '/data/원본.bin': Permission denied",
            "생성파일 '/data/원본.bin'을(를) 열 수 없습니다: <Permission denied>"},
        DetailsCase{"NameWithAControlCharacter", EFailure::SourceChanged, "/data/a\nb", 0,
            "source file $'/data/a\\nb' changed while it was read", "원본파일 $'/data/a\\nb'이(가) 읽는 중에 바뀌었습니다"},
        // Nothing to explain: the engine's words rather than a system text of no error.
        DetailsCase{"NoSystemText", EFailure::CannotOpenSource, kSource, 0, "cannot open source file '/data/원본.bin': ",
            "cannot open source file '/data/원본.bin': "},
        DetailsCase{"KindNotMessage", EFailure::OutOfMemory, "", 0, "out of memory twice", "메모리가 부족합니다"},
        // Failures the string table has no words for stay as the engine gave them.
        DetailsCase{"ByteUnit", EFailure::BadByteUnit, "", 0, "byte unit 12 is not between 1 and 9",
            "byte unit 12 is not between 1 and 9"},
        DetailsCase{"LineUnit", EFailure::BadLineUnit, "", 0, "line unit 0 is below 1", "line unit 0 is below 1"},
        DetailsCase{"NoKind", EFailure::None, "", 0, "", ""}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

} // namespace
