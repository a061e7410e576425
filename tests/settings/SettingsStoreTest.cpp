#include "SettingsStore.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <thread>

namespace {

namespace fs = std::filesystem;

// The line end of a new settings file, and of new lines in a file that has
// no line end yet.
#ifdef _WIN32
#define NEW_LINE "\r\n"
#else
#define NEW_LINE "\n"
#endif

class SettingsStore : public testing::Test
{
protected:
    CTempDir m_dir;
    CSettingsStore m_store{m_dir.Path("morvex.INI")};

    void WriteFile(const std::string& text) { m_dir.Write("morvex.INI", text); }
    std::string FileText() const { return CTempDir::Read(m_dir.Path("morvex.INI")); }
    std::size_t FilesInFolder() const
    {
        return std::distance(fs::directory_iterator(m_dir.Root()), fs::directory_iterator());
    }
};

TEST_F(SettingsStore, MissingFileReadsTheDefaultsAndIsNotCreated)
{
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), 1);
    EXPECT_EQ(m_store.ReadSettingInt("config", "LineUnit", 10), 10);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("morvex.INI")));
}

TEST_F(SettingsStore, WritesBothKeysInOrderAndReadsThemBack)
{
    EXPECT_TRUE(m_store.WriteSettingInt("config", "ByteUnit", 4));
    EXPECT_TRUE(m_store.WriteSettingInt("config", "LineUnit", 16));
    EXPECT_EQ(FileText(), "[config]" NEW_LINE "ByteUnit=4" NEW_LINE "LineUnit=16" NEW_LINE);
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), 4);
    EXPECT_EQ(m_store.ReadSettingInt("config", "LineUnit", 10), 16);
}

TEST_F(SettingsStore, RewritingReplacesTheValueInPlace)
{
    WriteFile("[config]\nByteUnit=4\nLineUnit=16\n");
    m_store.WriteSettingInt("config", "ByteUnit", 9);
    EXPECT_EQ(FileText(), "[config]\nByteUnit=9\nLineUnit=16\n");
}

TEST_F(SettingsStore, KeepsOtherSectionsAndKeys)
{
    WriteFile("; note\n[other]\nByteUnit=7\n\n[config]\nColour=blue\n\n[last]\nx=1\n");
    m_store.WriteSettingInt("config", "ByteUnit", 3);
    m_store.WriteSettingInt("config", "LineUnit", 12);
    EXPECT_EQ(
        FileText(), "; note\n[other]\nByteUnit=7\n\n[config]\nColour=blue\nByteUnit=3\nLineUnit=12\n\n[last]\nx=1\n");
    EXPECT_EQ(m_store.ReadSettingInt("other", "ByteUnit", 1), 7);
}

TEST_F(SettingsStore, AppendsAMissingSection)
{
    WriteFile("[other]\nx=1\n");
    m_store.WriteSettingInt("config", "LineUnit", 20);
    EXPECT_EQ(FileText(), "[other]\nx=1\n[config]\nLineUnit=20\n");
}

TEST_F(SettingsStore, CreatesTheFolder)
{
    CSettingsStore nested(m_dir.Root() / "config" / "deeper" / "morvex.INI");
    EXPECT_TRUE(nested.WriteSettingInt("config", "ByteUnit", 2));
    EXPECT_EQ(nested.ReadSettingInt("config", "ByteUnit", 1), 2);
}

TEST_F(SettingsStore, UnwritableFileReportsFailure)
{
    CSettingsStore blocked(m_dir.Root() / "file" / "morvex.INI");
    m_dir.Write("file", "not a folder");
    EXPECT_FALSE(blocked.WriteSettingInt("config", "ByteUnit", 2));
}

struct ValueCase
{
    std::string file;
    int expected;  // read with default 10
};

class SettingsValue : public SettingsStore, public testing::WithParamInterface<ValueCase>
{};

TEST_P(SettingsValue, ReadsLikeAProfileFile)
{
    WriteFile(GetParam().file);
    EXPECT_EQ(m_store.ReadSettingInt("config", "LineUnit", 10), GetParam().expected) << GetParam().file;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, SettingsValue,
    testing::Values(
        ValueCase{"[config]\nByteUnit=4\n", 10},
        ValueCase{"[config]\nLineUnit=16\n", 16},
        ValueCase{"[config]\r\nLineUnit=16\r\n", 16},
        ValueCase{"[config]\rByteUnit=3\rLineUnit=16\r", 16},
        ValueCase{"[other]\r\nLineUnit=1\r[config]\nLineUnit=16", 16},
        ValueCase{"\xEF\xBB\xBF[config]\nLineUnit=16\n", 16},
        ValueCase{"\xEF\xBB\xBF[config]\rLineUnit=16\r", 16},
        ValueCase{"[Config]\nlineunit = 16 \n", 16},
        ValueCase{"  [ config ]  \n  LineUnit=16\n", 16},
        ValueCase{"[config]\nLineUnit=12abc\n", 12},
        ValueCase{"[config]\nLineUnit=abc\n", 0},
        ValueCase{"[config]\nLineUnit=-3\n", -3},
        ValueCase{"[config]\nLineUnit=\n", 10},
        ValueCase{"[config]\nLineUnit=99999999999\n", 2147483647},
        ValueCase{"[config]\nLineUnit=-99999999999\n", -2147483647 - 1},
        ValueCase{"[config]\nLineUnit=-2147483648\n", -2147483647 - 1},
        ValueCase{"[config]\nLineUnit=+7\n", 7},
        ValueCase{"[config]\nLineUnit=0x10\n", 0},
        ValueCase{"[config]\nLineUnit=- 3\n", 0},
        ValueCase{"[other]\nLineUnit=16\n", 10},
        ValueCase{"[config]\nLineUnitX=16\n", 10},
        ValueCase{"[config]\nLineUnit=16\nLineUnit=17\n", 16},
        ValueCase{"", 10}));
// clang-format on

// A rewrite keeps the file's own bytes: its byte order mark and line ends.
struct RewriteCase
{
    std::string before;
    std::string after;  // once ByteUnit=3 is written
};

class SettingsRewrite : public SettingsStore, public testing::WithParamInterface<RewriteCase>
{};

TEST_P(SettingsRewrite, KeepsTheFilesOwnForm)
{
    WriteFile(GetParam().before);
    ASSERT_TRUE(m_store.WriteSettingInt("config", "ByteUnit", 3));
    EXPECT_EQ(FileText(), GetParam().after);
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), 3);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Forms, SettingsRewrite,
    testing::Values(
        RewriteCase{"\xEF\xBB\xBF[config]\nByteUnit=1\n", "\xEF\xBB\xBF[config]\nByteUnit=3\n"},
        RewriteCase{"\xEF\xBB\xBF[config]\nLineUnit=10\n", "\xEF\xBB\xBF[config]\nLineUnit=10\nByteUnit=3\n"},
        RewriteCase{"\xEF\xBB\xBF[other]\r\n", "\xEF\xBB\xBF[other]\r\n[config]\r\nByteUnit=3\r\n"},
        RewriteCase{"\xEF\xBB\xBF", "\xEF\xBB\xBF[config]" NEW_LINE "ByteUnit=3" NEW_LINE},
        RewriteCase{"", "[config]" NEW_LINE "ByteUnit=3" NEW_LINE},
        RewriteCase{"[config]", "[config]" NEW_LINE "ByteUnit=3" NEW_LINE},
        RewriteCase{"[config]\r\nByteUnit=1\r\nLineUnit=10\r\n", "[config]\r\nByteUnit=3\r\nLineUnit=10\r\n"},
        RewriteCase{"[config]\r\nLineUnit=10\r\n\r\n[x]\r\n", "[config]\r\nLineUnit=10\r\nByteUnit=3\r\n\r\n[x]\r\n"},
        RewriteCase{"[config]\rByteUnit=1\rLineUnit=10\r", "[config]\rByteUnit=3\rLineUnit=10\r"},
        RewriteCase{"[other]\rx=1\r", "[other]\rx=1\r[config]\rByteUnit=3\r"},
        RewriteCase{"[config]\r\nLineUnit=10\n[x]\r", "[config]\r\nLineUnit=10\nByteUnit=3\r\n[x]\r"},
        RewriteCase{"[config]\nLineUnit=10", "[config]\nLineUnit=10\nByteUnit=3\n"},
        RewriteCase{"[other]", "[other]" NEW_LINE "[config]" NEW_LINE "ByteUnit=3" NEW_LINE},
        RewriteCase{"[config]\nByteUnit=1", "[config]\nByteUnit=3\n"},
        RewriteCase{"[other]\r\nx=1", "[other]\r\nx=1\r\n[config]\r\nByteUnit=3\r\n"}));
// clang-format on

TEST_F(SettingsStore, RepeatedSavesNeverAddASecondSection)
{
    WriteFile("\xEF\xBB\xBF[config]\rByteUnit=1\r");
    for (int value : {2, 3, 4})
        m_store.WriteSettingInt("config", "ByteUnit", value);
    EXPECT_EQ(FileText(), "\xEF\xBB\xBF[config]\rByteUnit=4\r");
}

// A settings file holds a few lines; a larger file is not ours: it reads as
// the defaults and is never rewritten.
struct SizeCase
{
    std::size_t size;
    bool ours;
};

class SettingsFileSize : public SettingsStore, public testing::WithParamInterface<SizeCase>
{};

TEST_P(SettingsFileSize, ALargerFileIsLeftAlone)
{
    std::string text = "[config]\nByteUnit=4\n";
    text.resize(GetParam().size - 1, ';');
    text += '\n';
    WriteFile(text);
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), GetParam().ours ? 4 : 1);
    EXPECT_EQ(m_store.WriteSettingInt("config", "ByteUnit", 5), GetParam().ours);
    if (GetParam().ours)
        text.replace(text.find("=4"), 2, "=5");
    // Compared whole, not printed: the text is large.
    EXPECT_TRUE(FileText() == text) << GetParam().size;
    EXPECT_EQ(FilesInFolder(), 1u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sizes, SettingsFileSize,
    testing::Values(
        SizeCase{64 << 10, true},
        SizeCase{1 << 20, true},
        SizeCase{(1 << 20) + 1, false},
        SizeCase{8 << 20, false}));
// clang-format on

// A save puts a new file in the settings file's place: another hard link
// keeps the old settings, a symbolic link to the file sees the new ones.
struct SecondNameCase
{
    const char* kind;
    void (*make)(const fs::path& file, const fs::path& second);
    bool seesTheSave;
};

class SettingsSecondName : public SettingsStore, public testing::WithParamInterface<SecondNameCase>
{};

TEST_P(SettingsSecondName, OnlyTheSettingsNameIsReplaced)
{
    WriteFile("[config]\nByteUnit=4\n");
    GetParam().make(m_dir.Path("morvex.INI"), m_dir.Path("second.INI"));
    ASSERT_TRUE(m_store.WriteSettingInt("config", "ByteUnit", 5)) << GetParam().kind;
    EXPECT_EQ(FileText(), "[config]\nByteUnit=5\n") << GetParam().kind;
    EXPECT_EQ(CTempDir::Read(m_dir.Path("second.INI")),
        GetParam().seesTheSave ? "[config]\nByteUnit=5\n" : "[config]\nByteUnit=4\n")
        << GetParam().kind;
    EXPECT_EQ(FilesInFolder(), 2u) << GetParam().kind;
}

const SecondNameCase kSecondNameCases[] = {
    {"hard link", [](const fs::path& file, const fs::path& second) { fs::create_hard_link(file, second); }, false},
#ifndef _WIN32
    {"symbolic link", [](const fs::path& file, const fs::path& second) { fs::create_symlink(file, second); }, true},
#endif
};

INSTANTIATE_TEST_SUITE_P(Links, SettingsSecondName, testing::ValuesIn(kSecondNameCases));

// Links, permission bits and limits as POSIX systems have them.
#ifndef _WIN32
TEST_F(SettingsStore, SavesThroughASymbolicLinkAndKeepsTheLink)
{
    fs::create_directory(m_dir.Root() / "dotfiles");
    const std::string target = m_dir.Write("dotfiles/morvex.INI", "[other]\nx=1\n");
    fs::create_symlink("dotfiles/morvex.INI", m_dir.Root() / "morvex.INI");
    ASSERT_TRUE(m_store.WriteSettingInt("config", "ByteUnit", 5));
    EXPECT_TRUE(fs::is_symlink(m_dir.Root() / "morvex.INI"));
    EXPECT_EQ(CTempDir::Read(target), "[other]\nx=1\n[config]\nByteUnit=5\n");
    EXPECT_EQ(FilesInFolder(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Root() / "dotfiles"), fs::directory_iterator()), 1);
}

TEST_F(SettingsStore, ADanglingLinkCreatesItsTarget)
{
    fs::create_symlink("elsewhere.INI", m_dir.Root() / "morvex.INI");
    ASSERT_TRUE(m_store.WriteSettingInt("config", "LineUnit", 12));
    EXPECT_TRUE(fs::is_symlink(m_dir.Root() / "morvex.INI"));
    EXPECT_EQ(CTempDir::Read(m_dir.Path("elsewhere.INI")), "[config]\nLineUnit=12\n");
}

TEST_F(SettingsStore, KeepsTheFilesPermissions)
{
    for (const mode_t mode : {0600, 0444, 0640, 0664}) {
        WriteFile("[config]\n");
        ASSERT_EQ(chmod(m_dir.Path("morvex.INI").c_str(), mode), 0);
        // A read-only file stays refused, unless the user may write anything.
        const bool mayWrite = (mode & 0200) != 0 || geteuid() == 0;
        EXPECT_EQ(m_store.WriteSettingInt("config", "ByteUnit", 2), mayWrite) << std::oct << mode;
        struct stat status = {};
        ASSERT_EQ(stat(m_dir.Path("morvex.INI").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode) << std::oct << mode;
        chmod(m_dir.Path("morvex.INI").c_str(), 0644);
    }
}

TEST_F(SettingsStore, AnUnreadableFileIsLeftAlone)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    const std::string text = "[config]\nByteUnit=4\nLineUnit=16\n";
    WriteFile(text);
    ASSERT_EQ(chmod(m_dir.Path("morvex.INI").c_str(), 0200), 0);
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", 1), 1);
    EXPECT_FALSE(m_store.WriteSettingInt("config", "LineUnit", 12));
    ASSERT_EQ(chmod(m_dir.Path("morvex.INI").c_str(), 0600), 0);
    EXPECT_EQ(FileText(), text);
}

TEST_F(SettingsStore, AFailedWriteKeepsTheFileAsItWas)
{
    const std::string text = "[config]\nByteUnit=4\n" + std::string(16 << 10, ';') + "\n";
    WriteFile(text);
    // Past the file size limit writes fail, as they do on a full disk.
    rlimit old = {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4 << 10;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = m_store.WriteSettingInt("config", "ByteUnit", 5);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(FileText() == text);
    EXPECT_EQ(FilesInFolder(), 1u);
}
#endif

// Runs the calls so that one that blocks fails the test instead of hanging
// it: on POSIX systems in a child process that an alarm ends.
std::string Outcome(const std::function<bool()>& calls)
{
#ifdef _WIN32
    return calls() ? "as expected" : "wrong result";
#else
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        _exit(calls() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return "not run";
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGALRM ? "blocked" : "crashed";
    return WEXITSTATUS(status) == 0 ? "as expected" : "wrong result";
#endif
}

// Something other than a regular file in the file's place reads as the
// defaults, is never written into nor replaced, and never keeps the dialogs
// waiting.
struct NotAFileCase
{
    const char* kind;
    void (*make)(const fs::path& name);
};

class SettingsNotAFile : public SettingsStore, public testing::WithParamInterface<NotAFileCase>
{};

TEST_P(SettingsNotAFile, ReadsTheDefaultsAndIsNeitherWrittenNorWaitedOn)
{
    const fs::path name = m_dir.Path("morvex.INI");
    GetParam().make(name);
    const fs::file_type own = fs::symlink_status(name).type();
    const fs::file_type behind = fs::status(name).type();
    const auto readAndSave = [this] {
        return m_store.ReadSettingInt("config", "ByteUnit", 7) == 7
            && !m_store.WriteSettingInt("config", "ByteUnit", 2);
    };
    EXPECT_EQ(Outcome(readAndSave), "as expected") << GetParam().kind;
    EXPECT_EQ(fs::symlink_status(name).type(), own) << GetParam().kind;
    EXPECT_EQ(fs::status(name).type(), behind) << GetParam().kind;
    EXPECT_EQ(FilesInFolder(), 1u) << GetParam().kind;
    if (behind == fs::file_type::directory) {
        EXPECT_TRUE(fs::is_empty(name));
    }
}

const NotAFileCase kNotAFileCases[] = {
    {"folder", [](const fs::path& name) { fs::create_directory(name); }},
#ifndef _WIN32
    {"FIFO", [](const fs::path& name) { ASSERT_EQ(mkfifo(name.c_str(), 0600), 0); }},
    {"device", [](const fs::path& name) { fs::create_symlink("/dev/null", name); }},
#endif
};

INSTANTIATE_TEST_SUITE_P(Kinds, SettingsNotAFile, testing::ValuesIn(kNotAFileCases));

TEST_F(SettingsStore, ASaveLeavesOnlyTheFile)
{
    for (int value = 1; value <= 3; ++value)
        ASSERT_TRUE(m_store.WriteSettingInt("config", "ByteUnit", value));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(SettingsStore, ConcurrentSavesLoseNoSectionAndNoKey)
{
    // Every save adds a key of its own, so any save that another one
    // overwrote shows as a missing key.
    constexpr int kSaves = 200;
    const auto saveMany = [this](const char* section, int& failures) {
        const CSettingsStore store(m_dir.Path("morvex.INI"));
        for (int i = 1; i <= kSaves; ++i)
            failures += !store.WriteSettingInt(section, "Key" + std::to_string(i), i);
    };
    int failuresA = 0;
    int failuresB = 0;
    {
        std::jthread a(saveMany, "config", std::ref(failuresA));
        std::jthread b(saveMany, "other", std::ref(failuresB));
    }
    EXPECT_EQ(failuresA + failuresB, 0);
    int missing = 0;
    for (const char* section : {"config", "other"}) {
        for (int i = 1; i <= kSaves; ++i)
            missing += m_store.ReadSettingInt(section, "Key" + std::to_string(i), 0) != i;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(FilesInFolder(), 1u);
}

#ifndef _WIN32
// A reader never sees a file cut short by a save: its section comes last,
// after enough lines that a part-written file would end before it.
class SettingsReadDuringSaves : public SettingsStore, public testing::WithParamInterface<bool>
{};

TEST_P(SettingsReadDuringSaves, EveryReadGivesASavedValue)
{
    WriteFile(std::string(64 << 10, ';') + "\n[config]\nByteUnit=1000\n");
    if (GetParam())
        fs::create_hard_link(m_dir.Path("morvex.INI"), m_dir.Path("second.INI"));
    constexpr int kSaves = 200;
    constexpr int kMostReads = 1'000'000;
    std::atomic<bool> saving{true};
    int reads = 0;
    int unsaved = 0;
    std::jthread reader([&] {
        const CSettingsStore store(m_dir.Path("morvex.INI"));
        for (; saving && reads < kMostReads; ++reads) {
            const int value = store.ReadSettingInt("config", "ByteUnit", -1);
            unsaved += value != 1000 && (value < 1 || value > kSaves);
        }
    });
    int failures = 0;
    for (int i = 1; i <= kSaves; ++i)
        failures += !m_store.WriteSettingInt("config", "ByteUnit", i);
    saving = false;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(unsaved, 0) << "of " << reads << " reads";
    EXPECT_EQ(m_store.ReadSettingInt("config", "ByteUnit", -1), kSaves);
}

INSTANTIATE_TEST_SUITE_P(OneOrTwoNames, SettingsReadDuringSaves, testing::Bool());
#endif

TEST_F(SettingsStore, ReadsTheOlderPlaceUntilTheFileExists)
{
    const std::string older = m_dir.Write("older.INI", "[config]\nByteUnit=6\n[other]\nx=1\n");
    const CSettingsStore store(m_dir.Path("morvex.INI"), older);
    EXPECT_EQ(store.ReadSettingInt("config", "ByteUnit", 1), 6);
    ASSERT_TRUE(store.WriteSettingInt("config", "LineUnit", 20));
    EXPECT_EQ(FileText(), "[config]\nByteUnit=6\nLineUnit=20\n[other]\nx=1\n");
    EXPECT_EQ(CTempDir::Read(older), "[config]\nByteUnit=6\n[other]\nx=1\n");
    m_dir.Write("older.INI", "[config]\nByteUnit=8\n");
    EXPECT_EQ(store.ReadSettingInt("config", "ByteUnit", 1), 6);
}

} // namespace
