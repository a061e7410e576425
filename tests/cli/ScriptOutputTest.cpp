#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <ostream>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Runs a bash script inside the folder, with $M naming the built program;
// returns its wait status.
int RunScript(const CTempDir& dir, const std::string& script)
{
    dir.Write("script.sh", "M='" MORVEX_BINARY "'\n" + script + "\n");
    return std::system(("cd '" + dir.Root().string() + "' && bash script.sh").c_str());
}

struct ScriptCase
{
    const char* name;
    const char* script;
    std::string expected;   // content of the file "out" afterwards
};

void PrintTo(const ScriptCase& c, std::ostream* out)
{
    *out << c.script;
}

class ScriptOutput : public testing::TestWithParam<ScriptCase>
{};

// Writing to /dev/stdout joins the script's stream where it stands: output
// before and after it, and an appended file, keep their bytes.
TEST_P(ScriptOutput, ConversionIntoStandardOutputKeepsTheStream)
{
    CTempDir dir;
    dir.Write("in.bin", "ABC");
    dir.Write("in.txt", "0x41, 0x42");
    const int status = RunScript(dir, GetParam().script);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << GetParam().script;
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), GetParam().expected) << GetParam().script;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(DevStdout, ScriptOutput,
    testing::Values(
        ScriptCase{"Redirected", "$M h in.bin /dev/stdout > out", "0x41,0x42,0x43,"},
        ScriptCase{"BetweenOtherOutput", "{ echo head; $M h in.bin /dev/stdout; echo; echo tail; } > out",
            "head\n0x41,0x42,0x43,\ntail\n"},
        ScriptCase{"Appended", "echo old > out && $M i in.txt /dev/stdout >> out", "old\n0xBE,0xBD,"},
        ScriptCase{"ThroughAPipe", "$M b in.txt /dev/stdout | cat > out", "AB"},
        ScriptCase{"ChainedThroughPipes", "$M h in.bin /dev/stdout | $M i /dev/stdin /dev/stdout > out",
            "0xBE,0xBD,0xBC,"},
        ScriptCase{"FdOneBetweenOtherOutput", "{ echo head; $M h in.bin /dev/fd/1; echo tail; } > out",
            "head\n0x41,0x42,0x43,tail\n"},
        ScriptCase{"ProcSelfFdOneBetweenOtherOutput", "{ echo head; $M h in.bin /proc/self/fd/1; echo tail; } > out",
            "head\n0x41,0x42,0x43,tail\n"},
        ScriptCase{"FdOneThroughAPipe", "{ echo head; $M b in.txt /dev/fd/1; echo tail; } | cat > out", "head\nABtail\n"},
        ScriptCase{"ALinkToStandardOutput", "ln -s /dev/stdout so && { echo head; $M h in.bin so; } > out",
            "head\n0x41,0x42,0x43,"},
        ScriptCase{"TheRedirectedFileByName", "{ echo head; $M h in.bin out; echo tail; } > out",
            "head\n0x41,0x42,0x43,tail\n"},
        // Any file the caller holds open for writing is written through, after what it wrote.
        ScriptCase{"StandardErrorAppended", "( exec 2>>out; echo step1 >&2; $M h in.bin /dev/stderr; echo step2 >&2 )",
            "step1\n0x41,0x42,0x43,step2\n"},
        ScriptCase{"FdThree", "{ echo before >&3; $M h in.bin /dev/fd/3; echo after >&3; } 3>>out",
            "before\n0x41,0x42,0x43,after\n"},
        ScriptCase{"ProcSelfFdThree", "{ echo before >&3; $M h in.bin /proc/self/fd/3; echo after >&3; } 3>>out",
            "before\n0x41,0x42,0x43,after\n"},
        ScriptCase{"FdThreeByItsOwnName", "{ echo before >&3; $M h in.bin out; echo after >&3; } 3>>out",
            "before\n0x41,0x42,0x43,after\n"},
        // Held open for reading and writing, it ends with the new content; what
        // lies before the descriptor's offset stays.
        ScriptCase{"HeldReadWriteByItsOwnName",
            "printf 'old content, longer than the new' > out; exec 9<>out; $M h in.bin out", "0x41,0x42,0x43,"},
        ScriptCase{"HeldReadWriteAfterAHeader",
            "printf 'KEEP old content, longer than the new' > out; exec 9<>out; read -r -n 5 -u 9 h; $M h in.bin out",
            "KEEP 0x41,0x42,0x43,"},
        // Open for reading only, it cannot be written through: it is replaced.
        ScriptCase{"ReadOnlyDescriptorByItsOwnName", "echo old > out; $M h in.bin out 3< out", "0x41,0x42,0x43,"},
        // "-" names the standard streams; "./-" a file of that name.
        ScriptCase{"DashIsStandardOutput", "{ echo head; $M h in.bin -; echo tail; } > out", "head\n0x41,0x42,0x43,tail\n"},
        ScriptCase{"DashIsStandardInput", "$M b - out < in.txt", "AB"},
        // Standard input is read from where it stands, and left at its end.
        ScriptCase{"DashAfterAHeader", "{ echo '0x43,0x44'; cat in.txt; } > hin; { read -r h; $M b - out; } < hin", "AB"},
        ScriptCase{"DashAfterAWholePage",
            "{ head -c 4096 /dev/zero | tr '\\0' ' '; cat in.txt; } > hin;"
            " { dd bs=4096 count=1 of=/dev/null status=none; $M b - out; } < hin",
            "AB"},
        // The kernel's own links to a descriptor are followed by the kernel.
        ScriptCase{"ProcessSubstitutionSource", "$M h <(cat in.bin) out", "0x41,0x42,0x43,"},
        ScriptCase{"FdThreeSource", "$M h /proc/self/fd/3 out 3< in.bin", "0x41,0x42,0x43,"},
        ScriptCase{"DashLeftAtItsEnd", "{ $M b - out; cat >> out; } < in.txt", "AB"},
        ScriptCase{"DashThatIsASocket",
            "python3 -c 'import socket, subprocess, sys\n"
            "a, b = socket.socketpair()\nb.sendall(open(\"in.txt\", \"rb\").read())\nb.shutdown(socket.SHUT_WR)\n"
            "sys.exit(subprocess.call([sys.argv[1], \"b\", \"-\", \"out\"], stdin=a))' \"$M\"",
            "AB"},
        ScriptCase{"DashBothWaysThroughPipes", "cat in.bin | $M h - - | $M i - - > out", "0xBE,0xBD,0xBC,"},
        ScriptCase{"DashWithAByteUnit", "$M h2 in.bin - | $M b2 - - > out", std::string("ABC\0", 4)},
        ScriptCase{"AFileNamedDash", "cp in.bin ./- && $M h ./- ./out", "0x41,0x42,0x43,"},
        // Options before the conversion, the C source through a pipe (whose size nobody knows).
        ScriptCase{"OptionsBeforeACSourceFromAPipe",
            "printf 'unsigned char a[] = {65, 66};' | $M --abi=x86_64-windows -D X -UY --array a -- c - - > out", "AB"},
        ScriptCase{"ASourceNamedLikeAnOption", "printf 'char a[] = {67};' > -x && $M -DX -- c -x out", "C"},
        ScriptCase{"IntoAFileNamedDash", "$M h in.bin ./- > stdout && cat ./- stdout > out", "0x41,0x42,0x43,"}),
    [](const testing::TestParamInfo<ScriptCase>& row) { return std::string(row.param.name); });
// clang-format on

TEST(ScriptOutput, AReaderThatStopsEarlyNeverLooksLikeSuccess)
{
    CTempDir dir;
    // 4 MiB of output into a pipe whose reader leaves after 10 bytes.
    const int status = RunScript(dir,
        "head -c 4194304 /dev/zero > big && $M h big /dev/stdout | head -c 10 > out;"
        " exit ${PIPESTATUS[0]}");
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), "0x00,0x00,");
    ASSERT_TRUE(WIFEXITED(status));
    // bash reports death by a signal as 128 plus its number.
    EXPECT_TRUE(WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 128 + SIGPIPE) << WEXITSTATUS(status);
}

struct FailureCase
{
    const char* name;
    const char* script;     // its standard error goes to the file "err"
    std::string expected;   // what "err" holds afterwards
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.script;
}

class ScriptFailure : public testing::TestWithParam<FailureCase>
{};

// Exit status 1 with the reason, and the files the script names as they were.
TEST_P(ScriptFailure, FailsWithItsReasonAndChangesNothing)
{
    CTempDir dir;
    dir.Write("in.bin", "ABC");
    const int status = RunScript(dir, std::string("exec 2>err\n") + GetParam().script);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << GetParam().script;
    EXPECT_EQ(CTempDir::Read(dir.Path("err")), GetParam().expected) << GetParam().script;
    EXPECT_EQ(CTempDir::Read(dir.Path("in.bin")), "ABC") << GetParam().script;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Destinations, ScriptFailure,
    testing::Values(
        FailureCase{"FullStandardOutput", "$M h in.bin /dev/stdout > /dev/full",
            "morvex: cannot write destination file '/dev/stdout': No space left on device\n"},
        // Not the source, which would otherwise take its number.
        FailureCase{"ClosedStandardOutput", "$M h in.bin /dev/stdout >&-", "morvex: standard output is closed\n"},
        FailureCase{"ClosedFdOne", "$M h in.bin /dev/fd/1 >&-", "morvex: standard output is closed\n"},
        FailureCase{"ClosedStandardInput", "$M b /dev/stdin out <&-", "morvex: standard input is closed\n"},
        FailureCase{"FullStandardOutputAsDash", "$M h in.bin - > /dev/full",
            "morvex: cannot write destination file '/dev/stdout': No space left on device\n"},
        FailureCase{"ClosedStandardOutputAsDash", "$M h in.bin - >&-", "morvex: standard output is closed\n"},
        FailureCase{"ClosedStandardInputAsDash", "$M b - out <&-", "morvex: standard input is closed\n"},
        FailureCase{"StandardInputIsAFolder", "$M h - out < .",
            "morvex: cannot open source file '-' (standard input): Is a directory\n"},
        // Written through, not followed to the file behind it and replaced.
        FailureCase{"ReadOnlyStandardOutput", "echo keep > ro; $M h in.bin /dev/stdout 1< ro; s=$?; cat ro >&2; exit $s",
            "morvex: cannot write destination file '/dev/stdout': Bad file descriptor\nkeep\n"},
        FailureCase{"LoopingLinks", "ln -s B A && ln -s A B && $M h in.bin A; s=$?; readlink A B >&2; exit $s",
            "morvex: cannot open destination file 'A': Too many levels of symbolic links\nB\nA\n"}),
    [](const testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.name); });
// clang-format on

struct InterruptionCase
{
    const char* name;
    const char* setUp;          // bash, before the conversion starts
    const char* interruption;   // bash, with $pid the running conversion
    int exitStatus;             // as bash reports it
};

void PrintTo(const InterruptionCase& c, std::ostream* out)
{
    *out << c.name;
}

class Interruption : public testing::TestWithParam<InterruptionCase>
{};

// The conversion reads from a FIFO that is fed 3 MiB and then kept open, so
// it is under way, with output written, when the interruption comes.
TEST_P(Interruption, LeavesTheOldDestinationAndNothingElse)
{
    for (const char* option : {"h", "b", "i"}) {
        CTempDir dir;
        dir.Write("dest", "old content");
        // Job control, so that the background job does not ignore SIGINT.
        const std::string script = std::string("set -m\nmkfifo fifo\n") + GetParam().setUp + "\n" + "$M " + option
            + " fifo dest 2> err & pid=$!\n" + "exec 3> fifo\n" + "yes 0x41, | head -c 3145728 >&3\n"
            + GetParam().interruption + "\n" + "wait $pid; status=$?; exec 3>&-; rm fifo; exit $status";
        const int status = RunScript(dir, script);
        ASSERT_TRUE(WIFEXITED(status)) << option;
        EXPECT_EQ(WEXITSTATUS(status), GetParam().exitStatus) << option << ": " << CTempDir::Read(dir.Path("err"));
        EXPECT_EQ(CTempDir::Read(dir.Path("dest")), "old content") << option;
        std::filesystem::remove(dir.Path("script.sh"));
        std::filesystem::remove(dir.Path("err"));
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Root()))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"dest"}) << option;
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, Interruption,
    testing::Values(InterruptionCase{"Interrupt", "", "kill -INT $pid", 128 + SIGINT},
        InterruptionCase{"Terminate", "", "kill -TERM $pid", 128 + SIGTERM},
        InterruptionCase{"HangUp", "", "kill -HUP $pid", 128 + SIGHUP},
        InterruptionCase{"Quit", "ulimit -c 0", "kill -QUIT $pid", 128 + SIGQUIT},
        // Writes beyond 256 KiB raise SIGXFSZ.
        InterruptionCase{"FileSizeLimit", "ulimit -c 0; ulimit -f 256", "exec 3>&-", 128 + SIGXFSZ},
        InterruptionCase{"Kill", "", "kill -KILL $pid", 128 + SIGKILL},
        // Writes beyond 256 KiB fail, as on a full disk.
        InterruptionCase{"FullDisk", "ulimit -f 256; trap '' XFSZ", "exec 3>&-", 1}),
    [](const testing::TestParamInfo<InterruptionCase>& row) { return std::string(row.param.name); });

} // namespace
