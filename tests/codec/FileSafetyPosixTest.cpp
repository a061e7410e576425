// The file-system cases that only a POSIX system has: access lists and
// attributes, other users, small file systems, resource limits. The cases of
// other users and small file systems need root; without it they say so and skip.
#include "ArrayCodec.h"
#include "ByteStreams.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr const char* kOld = "old content";
constexpr uid_t kOtherUser = 65534;    // nobody
constexpr gid_t kOtherGroup = 65534;   // nogroup
constexpr gid_t kSharedGroup = 4242;   // a group nobody may be given for a test

// Runs the check in a child process, so that what it changes (user, limits,
// mounts) goes with it; the child's exit status 0 is success.
::testing::AssertionResult InChild(const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(check() ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the child's check failed (status " << status << ")";
}

bool Convert(const std::string& source, const std::string& dest, std::string* error = nullptr)
{
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dest);
    const CConversionResult result = codec.BinToText(1, 10);
    if (error)
        *error = result.message;
    return static_cast<bool>(result);
}

struct stat StatusOf(const std::string& path)
{
    struct stat status{};
    stat(path.c_str(), &status);
    return status;
}

// A POSIX access list in the system's own form: owner rw, the user rw, the
// owning group r, mask rw, others nothing.
std::vector<unsigned char> AccessList(uid_t user)
{
    struct Entry
    {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const Entry entries[] = {{0x01, 6, ~0u}, {0x02, 6, user}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    std::vector<unsigned char> list(4 + sizeof(entries));
    const std::uint32_t version = 2;
    std::memcpy(list.data(), &version, 4);
    std::memcpy(list.data() + 4, entries, sizeof(entries));
    return list;
}

std::vector<unsigned char> Attribute(const std::string& path, const char* name)
{
    std::vector<unsigned char> value(256);
    const ssize_t size = getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

TEST(FileSafetyPosix, AReplacedFileKeepsItsAccessListAndAttributesAndGrantsNoMore)
{
    CTempDir dir;
    const std::string source = dir.Write("source", "AB");
    const std::string dest = dir.Write("dest", kOld);
    chmod(dest.c_str(), 0640);
    const std::vector<unsigned char> list = AccessList(kOtherUser);
    if (setxattr(dest.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0
        || setxattr(dest.c_str(), "user.origin", "v1", 2, 0) != 0)
        GTEST_SKIP() << "no access lists or user attributes here: " << std::strerror(errno);
    // A folder whose default list would give every new file more.
    const std::string folderDefault = "system.posix_acl_default";
    ASSERT_EQ(setxattr(dir.Root().c_str(), folderDefault.c_str(), list.data(), list.size(), 0), 0);
    const std::string plain = dir.Write("plain", kOld);
    chmod(plain.c_str(), 0600);
    removexattr(plain.c_str(), "system.posix_acl_access");

    ASSERT_TRUE(Convert(source, dest));
    EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,");
    EXPECT_EQ(Attribute(dest, "system.posix_acl_access"), list);
    const std::vector<unsigned char> origin = Attribute(dest, "user.origin");
    EXPECT_EQ(std::string(origin.begin(), origin.end()), "v1");
    EXPECT_EQ(StatusOf(dest).st_mode & 07777, 0660u);   // the group bits are the list's mask

    ASSERT_TRUE(Convert(source, plain));
    EXPECT_TRUE(Attribute(plain, "system.posix_acl_access").empty());
    EXPECT_EQ(StatusOf(plain).st_mode & 07777, 0600u);
}

struct OtherUserCase
{
    const char* name;
    mode_t folderMode;
    uid_t fileOwner;
    gid_t fileGroup;
    bool inPlace;   // else replaced: a new file, with the group kept
};

// As another user, a file that cannot be replaced without losing its access
// or failing at the end is written in place; one that can is replaced.
TEST(FileSafetyPosix, AnotherUsersFileIsReplacedOnlyWhereNothingIsLost)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const OtherUserCase cases[] = {
        {"folder the user may not write", 0755, 0, 0, true},
        {"sticky folder, file of someone else", 01777, 0, kOtherGroup, true},
        {"group the user is not in", 0777, 0, 0, true},
        {"group the user is in, owner someone else", 0777, 0, kSharedGroup, false},
        {"the user's own file", 0777, kOtherUser, kOtherGroup, false},
    };
    for (const OtherUserCase& c : cases) {
        CTempDir dir;
        chmod(dir.Root().c_str(), 0777);
        const std::string source = dir.Write("source", "AB");
        chmod(source.c_str(), 0644);
        std::filesystem::create_directory(dir.Path("folder"));
        const std::string dest = dir.Write("folder/dest", kOld);
        ASSERT_EQ(chown(dest.c_str(), c.fileOwner, c.fileGroup), 0);
        chmod(dest.c_str(), 0666);
        chmod(dir.Path("folder").c_str(), c.folderMode);
        const ino_t before = StatusOf(dest).st_ino;
        EXPECT_TRUE(InChild([&] {
            const gid_t groups[] = {kSharedGroup};
            return setgroups(1, groups) == 0 && setgid(kOtherGroup) == 0 && setuid(kOtherUser) == 0
                && Convert(source, dest);
        })) << c.name;
        const struct stat after = StatusOf(dest);
        EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,") << c.name;
        EXPECT_EQ(after.st_ino == before, c.inPlace) << c.name;
        EXPECT_EQ(after.st_gid, c.fileGroup) << c.name;
        EXPECT_EQ(after.st_mode & 07777, 0666u) << c.name;
        EXPECT_EQ(std::distance(
                      std::filesystem::directory_iterator(dir.Path("folder")), std::filesystem::directory_iterator()),
            1)
            << c.name;
    }
}

// Where no thread can start, the conversions run on one, with the same result.
TEST(FileSafetyPosix, WithoutThreadsTheConversionsStillSucceed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a user whose process limit is enforced";
    CTempDir dir;
    chmod(dir.Root().c_str(), 0777);
    std::string text;
    while (text.size() < 3 * kChunkSize)
        text += "0x41,";
    const std::string source = dir.Write("source", text);
    chmod(source.c_str(), 0644);
    EXPECT_TRUE(InChild([&] {
        const rlimit one{1, 1};
        CArrayCodec codec;
        codec.SetSourcePath(source);
        codec.SetDestPath(dir.Path("threads.bin"));
        return setgid(kOtherGroup) == 0 && setuid(kOtherUser) == 0 && setrlimit(RLIMIT_NPROC, &one) == 0
            && codec.InvertText(1, 10) && codec.TextToBin(1, 10);
    }));
    EXPECT_EQ(CTempDir::Read(dir.Path("threads.bin")), std::string(text.size() / 5, 'A'));
}

struct SmallFileSystemCase
{
    const char* name;
    const char* options;
    std::function<bool(const std::string& folder)> check;
};

// A tmpfs of the test's own, in a mount namespace of its own.
::testing::AssertionResult OnSmallFileSystem(const char* options, const std::function<bool(const std::string&)>& check)
{
    CTempDir dir;
    const std::string folder = dir.Root().string();
    return InChild([&] {
        return unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && mount("none", folder.c_str(), "tmpfs", 0, options) == 0 && check(folder);
    });
}

// Running out of space or of files is a failure that keeps the old file;
// reading a sparse file leaves it sparse.
TEST(FileSafetyPosix, SmallFileSystemsFailWithoutLosingAnythingOrFillingAnything)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small file system";
    const auto fill = [](const std::string& folder) {
        std::ofstream(folder + "/dest", std::ios::binary) << kOld;
        std::ofstream(folder + "/source", std::ios::binary) << std::string(300000, 'A');
        return folder;
    };
    const SmallFileSystemCase cases[] = {
        {"no free files", "size=4m,nr_inodes=8",
            [&](const std::string& folder) {
                fill(folder);
                for (int n = 0; std::ofstream(folder + "/f" + std::to_string(n)); ++n) {}
                std::string error;
                return !Convert(folder + "/source", folder + "/dest", &error)
                    && error.ends_with("No space left on device") && CTempDir::Read(folder + "/dest") == kOld;
            }},
        {"no free space", "size=1m",
            [&](const std::string& folder) {
                fill(folder);
                std::string error;
                return !Convert(folder + "/source", folder + "/dest", &error)
                    && error.ends_with("No space left on device") && CTempDir::Read(folder + "/dest") == kOld;
            }},
        {"a sparse source", "size=1m",
            [&](const std::string& folder) {
                const std::string sparse = folder + "/sparse";
                std::filesystem::resize_file(std::ofstream(sparse) ? sparse : sparse, 64 * kChunkSize);
                CArrayCodec codec;
                codec.SetSourcePath(sparse);
                codec.SetDestPath("/dev/null");
                return codec.TextToBin(1, 10) && StatusOf(sparse).st_blocks == 0;
            }},
    };
    for (const SmallFileSystemCase& c : cases)
        EXPECT_TRUE(OnSmallFileSystem(c.options, c.check)) << c.name;
}

} // namespace
