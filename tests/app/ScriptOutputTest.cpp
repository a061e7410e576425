#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <ostream>
#include <string>

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
{
};

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

INSTANTIATE_TEST_SUITE_P(DevStdout, ScriptOutput,
    testing::Values(
        ScriptCase{"Redirected", "$M h in.bin /dev/stdout > out", "0x41,0x42,0x43,"},
        ScriptCase{"BetweenOtherOutput", "{ echo head; $M h in.bin /dev/stdout; echo; echo tail; } > out",
            "head\n0x41,0x42,0x43,\ntail\n"},
        ScriptCase{"Appended", "echo old > out && $M i in.txt /dev/stdout >> out", "old\n0xBE,0xBD,"},
        ScriptCase{"ThroughAPipe", "$M b in.txt /dev/stdout | cat > out", "AB"},
        ScriptCase{"ChainedThroughPipes", "$M h in.bin /dev/stdout | $M i /dev/stdin /dev/stdout > out",
            "0xBE,0xBD,0xBC,"}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.name); });

TEST(ScriptOutput, AReaderThatStopsEarlyNeverLooksLikeSuccess)
{
    CTempDir dir;
    // 4 MiB of output into a pipe whose reader leaves after 10 bytes.
    const int status = RunScript(dir, "head -c 4194304 /dev/zero > big && $M h big /dev/stdout | head -c 10 > out;"
                                      " exit ${PIPESTATUS[0]}");
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), "0x00,0x00,");
    ASSERT_TRUE(WIFEXITED(status));
    // bash reports death by a signal as 128 plus its number.
    EXPECT_TRUE(WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 128 + SIGPIPE) << WEXITSTATUS(status);
}

} // namespace
