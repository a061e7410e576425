#include "fileio/FilePlatform.h"
#include "fileio/IoFaults.h"
#include "fileio/PendingFiles.h"
#include "ProgramRun.h"
#include "TempDir.h"
#include "fileio/Utf8Path.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The conversions' temporary files in a folder.
std::vector<std::string> Temporaries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = Utf8FromPath(entry.path().filename());
        if (name.starts_with(".morvex-"))
            names.push_back(name);
    }
    return names;
}

struct UnwritableCase
{
    const char* name;
    const char* destination;   // relative to the folder the program runs in
    const char* kept;          // a file there before, that must stay as it was
    const char* error;
    bool onSmallDrive;         // needs the small drive made by small-drive.sh
};

class UnwritableDestination : public testing::TestWithParam<UnwritableCase>
{};

TEST_P(UnwritableDestination, FailsAndLeavesEverythingAsItWas)
{
    const UnwritableCase& c = GetParam();
    CTempDir dir;
    const fs::path destination = dir.Root() / PathFromUtf8(c.destination);
    const fs::path kept = dir.Root() / PathFromUtf8(c.kept);
    std::size_t sourceSize = 1000;
    if (c.onSmallDrive) {
        ULARGE_INTEGER available{}, total{};
        if (!GetDiskFreeSpaceExW(destination.root_path().c_str(), &available, &total, nullptr))
            GTEST_SKIP() << "no drive " << MORVEX_SMALL_DRIVE
                         << " (small-drive.sh makes one when run as root under wine)";
        if (total.QuadPart > (std::uint64_t{1} << 20))
            GTEST_SKIP() << "drive " << MORVEX_SMALL_DRIVE << " holds more than a mebibyte (not the small drive)";
        // A little more than the drive holds, as text of five characters a byte.
        sourceSize = static_cast<std::size_t>(available.QuadPart / 4 + 4096);
    }
    dir.Write("in.bin", std::string(sourceSize, 'A'));
    fs::create_directories(kept.parent_path());
    dir.Write(c.kept, "kept");

    const CProgramOutcome outcome = RunProgram(MORVEX_COM, dir.Root(), {"h", "in.bin", c.destination});
    EXPECT_EQ(outcome.exitCode, 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find(c.error), std::string::npos) << outcome.errors;
    EXPECT_EQ(CTempDir::Read(kept.string()), "kept");
    for (const fs::path& folder : {dir.Root(), kept.parent_path(), destination.root_path()})
        EXPECT_EQ(Temporaries(folder), std::vector<std::string>{}) << folder.string();
    if (c.onSmallDrive)
        fs::remove(kept);
}

const UnwritableCase kUnwritable[] = {
    {"Folder", "sub", "sub\\kept.txt", "Is a directory", false},
    {"FolderWithSeparator", "sub\\", "sub\\kept.txt", "Is a directory", false},
    {"CurrentDriveRoot", "\\", "sub\\kept.txt", "Is a directory", false},
};

const UnwritableCase kOnSmallDrive[] = {
    {"DriveRoot", MORVEX_SMALL_DRIVE "\\", MORVEX_SMALL_DRIVE "\\kept.txt", "Is a directory", true},
    {"FullDisk", MORVEX_SMALL_DRIVE "\\out.txt", MORVEX_SMALL_DRIVE "\\out.txt", "No space left on device", true},
};

std::string CaseName(const testing::TestParamInfo<UnwritableCase>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnwritableDestination, testing::ValuesIn(kUnwritable), CaseName);
// CMakeLists.txt gives these the small drive.
INSTANTIATE_TEST_SUITE_P(SmallDrive, UnwritableDestination, testing::ValuesIn(kOnSmallDrive), CaseName);

// An existing destination is replaced however its name is written.
TEST(ExistingDestination, IsReplacedWhateverTheFormOfItsName)
{
    for (const char* destination : {"out.txt", ".\\out.txt", "sub\\out.txt", "sub\\..\\out.txt"}) {
        CTempDir dir;
        fs::create_directory(dir.Root() / "sub");
        dir.Write("in.bin", "AB");
        const fs::path target = dir.Root() / PathFromUtf8(destination);
        dir.Write(Utf8FromPath(fs::relative(target, dir.Root())), "old");

        const CProgramOutcome outcome = RunProgram(MORVEX_COM, dir.Root(), {"h", "in.bin", destination});
        EXPECT_EQ(outcome.exitCode, 0) << destination << ": " << outcome.errors;
        EXPECT_EQ(CTempDir::Read(target.string()), "0x41,0x42,") << destination;
        EXPECT_EQ(Temporaries(target.parent_path()), std::vector<std::string>{}) << destination;
    }
}

// A destination near MAX_PATH characters, "<folder>\\out.txt" in the folder
// and holding "old", whose temporary's path, 17 characters longer, is past it.
std::string NearTheLongestPath(const CTempDir& dir)
{
    constexpr std::size_t kFolderPath = 245;
    const std::string folder(kFolderPath - dir.Root().native().size() - 1, 'd');
    fs::create_directory(dir.Root() / folder);
    const std::string destination = folder + "\\out.txt";
    dir.Write(destination, "old");
    const std::size_t length = (dir.Root() / destination).native().size();
    EXPECT_LT(length, std::size_t{MAX_PATH});
    EXPECT_GE(length + 17, std::size_t{MAX_PATH});
    return destination;
}

TEST(ExistingDestination, IsReplacedWhenItsTemporarysPathIsPastTheLongestPath)
{
    CTempDir dir;
    dir.Write("in.bin", "AB");
    const std::string destination = NearTheLongestPath(dir);
    const fs::path target = dir.Root() / destination;

    const CProgramOutcome outcome = RunProgram(MORVEX_COM, dir.Root(), {"h", "in.bin", destination});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(CTempDir::Read(target.string()), "0x41,0x42,");
    EXPECT_EQ(Temporaries(target.parent_path()), std::vector<std::string>{});
}

// Windows takes a name past MAX_PATH characters only in the "\\?\" form;
// wine takes any, so here it is refused as Windows would.
int ReplaceWithinTheLongestPath(const wchar_t* replaced, const wchar_t* replacement, const wchar_t* backup)
{
    for (const wchar_t* name : {replaced, replacement, backup}) {
        const std::wstring_view path = name != nullptr ? name : L"";
        if (path.size() >= MAX_PATH && !path.starts_with(L"\\\\?\\")) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
    }
    return ReplaceFileW(replaced, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
}

struct CReplaceFileStandIn
{
    explicit CReplaceFileStandIn(ReplaceFileCall call) { UseReplaceFile(call); }
    ~CReplaceFileStandIn() { UseReplaceFile(nullptr); }
    CReplaceFileStandIn(const CReplaceFileStandIn&) = delete;
    CReplaceFileStandIn& operator=(const CReplaceFileStandIn&) = delete;
};

TEST(ExistingDestination, IsReplacedThroughNamesPastTheLongestPathAsWindowsTakesThem)
{
    CTempDir dir;
    const fs::path target = dir.Root() / NearTheLongestPath(dir);
    FilePlatform::CReplacement replacement;
    int error = 0;
    ASSERT_TRUE(replacement.Create(target.string(), error)) << std::strerror(error);
    ASSERT_EQ(FilePlatform::Write(replacement.File(), "new", 3), 0);
    {
        const CReplaceFileStandIn limited(ReplaceWithinTheLongestPath);
        EXPECT_TRUE(replacement.Commit(error)) << std::strerror(error);
    }
    EXPECT_EQ(CTempDir::Read(target.string()), "new");
    EXPECT_EQ(Temporaries(target.parent_path()), std::vector<std::string>{});
}

// What ReplaceFileW has done by the time it fails with the error, as its
// documentation says.
DWORD g_replaceFailure = 0;

int FailingReplace(const wchar_t* replaced, const wchar_t*, const wchar_t* backup)
{
    switch (g_replaceFailure) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        // Both files keep their names when there is a backup name; without
        // one, the old file is gone.
        if (backup == nullptr)
            DeleteFileW(replaced);
        break;
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        // The old file is under another name: the backup's, when there is one.
        MoveFileW(replaced, backup != nullptr ? backup : (std::wstring(replaced) + L".elsewhere").c_str());
        break;
    default: break;   // both files keep their names, and there is no backup
    }
    SetLastError(g_replaceFailure);
    return 0;
}

struct ReplaceFailureCase
{
    const char* name;
    DWORD failure;
    int error;
};

class FailedReplace : public testing::TestWithParam<ReplaceFailureCase>
{};

TEST_P(FailedReplace, LeavesTheOldFileUnderItsNameAndNothingElse)
{
    const ReplaceFailureCase& c = GetParam();
    CTempDir dir;
    const std::string target = dir.Write("out.txt", "old");
    FilePlatform::CReplacement replacement;
    int error = 0;
    ASSERT_TRUE(replacement.Create(target, error)) << std::strerror(error);
    ASSERT_EQ(FilePlatform::Write(replacement.File(), "new", 3), 0);
    g_replaceFailure = c.failure;
    {
        const CReplaceFileStandIn failing(FailingReplace);
        EXPECT_FALSE(replacement.Commit(error));
    }
    EXPECT_EQ(error, c.error) << std::strerror(error);
    EXPECT_EQ(CTempDir::Read(target), "old");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.Root()))
        names.push_back(Utf8FromPath(entry.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{"out.txt"});
}

const ReplaceFailureCase kReplaceFailures[] = {
    {"NewFileNotMovedIn", ERROR_UNABLE_TO_MOVE_REPLACEMENT, EIO},
    {"NewFileNotMovedInOldOneMovedAside", ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, EIO},
    {"OldFileNotRemoved", ERROR_UNABLE_TO_REMOVE_REPLACED, EIO},
    {"OldFileInUse", ERROR_SHARING_VIOLATION, EACCES},
};

INSTANTIATE_TEST_SUITE_P(Cases, FailedReplace, testing::ValuesIn(kReplaceFailures),
    [](const testing::TestParamInfo<ReplaceFailureCase>& caseInfo) { return std::string(caseInfo.param.name); });

enum class EAfterwards { Commit, Discard, Destroy };

struct InterruptionCase
{
    const char* name;
    bool targetExists;
    EAfterwards afterwards;
};

class Interruption : public testing::TestWithParam<InterruptionCase>
{};

// The console control handler removes the temporary by its name while the
// conversion still holds it open; the process's end then closes it, and
// closing it is what removes it. A commit that closes it finds nothing left
// to put in place.
TEST_P(Interruption, RemovesTheOpenTemporary)
{
    const InterruptionCase& c = GetParam();
    CTempDir dir;
    const std::string target = dir.Path("out.txt");
    if (c.targetExists)
        dir.Write("out.txt", "old");
    {
        FilePlatform::CReplacement replacement;
        int error = 0;
        ASSERT_TRUE(replacement.Create(target, error)) << std::strerror(error);
        ASSERT_EQ(FilePlatform::Write(replacement.File(), "new", 3), 0);
        ASSERT_EQ(Temporaries(dir.Root()).size(), 1u);
        RemovePendingFiles();
        if (c.afterwards == EAfterwards::Commit) {
            EXPECT_FALSE(replacement.Commit(error));
            EXPECT_EQ(error, ENOENT) << std::strerror(error);
        } else if (c.afterwards == EAfterwards::Discard) {
            replacement.Discard();
        }
    }
    EXPECT_EQ(Temporaries(dir.Root()), std::vector<std::string>{});
    EXPECT_EQ(CTempDir::Read(target), c.targetExists ? "old" : "");
    EXPECT_EQ(fs::exists(target), c.targetExists);
}

const InterruptionCase kInterruptions[] = {
    {"ThenCommitted", true, EAfterwards::Commit},
    {"ThenCommittedWithoutTarget", false, EAfterwards::Commit},
    {"ThenDiscarded", true, EAfterwards::Discard},
    {"ThenDestroyed", true, EAfterwards::Destroy},
};

INSTANTIATE_TEST_SUITE_P(Cases, Interruption, testing::ValuesIn(kInterruptions),
    [](const testing::TestParamInfo<InterruptionCase>& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
