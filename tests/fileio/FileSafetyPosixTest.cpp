// The file-system cases that only a POSIX system has: access lists and
// attributes, other users, small file systems, resource limits, and the rows
// of the file-safety tables that need links by name, modes or /dev/full. The
// cases of other users and small file systems need root; without it they say
// so and skip.
#include "codec/ArrayCodec.h"
#include "fileio/ByteStreams.h"
#include "CarriedRights.h"
#include "FileSafetyCases.h"
#include "fileio/IoFaults.h"
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

std::ptrdiff_t EntriesIn(const std::filesystem::path& folder)
{
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
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

// A file system that keeps access lists of another kind fails to take them
// as this one would: the list must arrive, any other attribute may not.
TEST(FileSafetyPosix, AnAccessListThatCannotBeCarriedOverKeepsTheOldFile)
{
    struct Case
    {
        const char* attribute;
        bool converted;
    };
    const Case cases[] = {{"system.posix_acl_access", false}, {"user.origin", true}};
    for (const Case& c : cases) {
        CTempDir dir;
        const std::string source = dir.Write("source", "AB");
        const std::string dest = dir.Write("dest", kOld);
        const std::vector<unsigned char> list = AccessList(kOtherUser);
        if (setxattr(dest.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0
            || setxattr(dest.c_str(), "user.origin", "v1", 2, 0) != 0)
            GTEST_SKIP() << "no access lists or user attributes here: " << std::strerror(errno);
        FailAttributeCopy(c.attribute, EOPNOTSUPP);
        std::string error;
        const bool converted = Convert(source, dest, &error);
        FailAttributeCopy("", 0);
        EXPECT_EQ(converted, c.converted) << c.attribute;
        EXPECT_EQ(CTempDir::Read(dest), c.converted ? "0x41,0x42," : kOld) << c.attribute;
        if (!c.converted) {
            EXPECT_EQ(error, "cannot write destination file '" + dest + "': Operation not supported");
        }
        EXPECT_EQ(EntriesIn(dir.Root()), 2) << c.attribute;
    }
}

TEST(FileSafetyPosix, EveryRightIsCarriedOverOrDroppedByItsRule)
{
    struct AttributeCase
    {
        const char* name;
        EAttributeCopy rule;
    };
    const AttributeCase attributes[] = {
        {"system.posix_acl_access", EAttributeCopy::Required},
        {"system.nfs4_acl", EAttributeCopy::Required},
        {"security.capability", EAttributeCopy::Drop},
        {"security.selinux", EAttributeCopy::WherePermitted},
        {"user.origin", EAttributeCopy::WherePermitted},
    };
    for (const AttributeCase& c : attributes)
        EXPECT_EQ(AttributeCopyOf(c.name), c.rule) << c.name;

    struct ModeCase
    {
        std::uint32_t oldMode, oldOwner, oldGroup, newOwner, newGroup, kept;
    };
    const ModeCase modes[] = {
        {0104755, 1, 2, 1, 2, 04755},   // same owner and group: all kept
        {0104755, 1, 2, 3, 2, 0755},    // another owner: no set-user-ID
        {0106775, 1, 2, 3, 2, 02775},   // another owner, same group: set-group-ID stays
        {0106775, 1, 2, 1, 4, 04775},   // another group: no set-group-ID
        {0101775, 1, 2, 3, 4, 01775},   // the sticky bit is no right over anyone
    };
    for (const ModeCase& c : modes)
        EXPECT_EQ(KeptMode(c.oldMode, c.oldOwner, c.oldGroup, c.newOwner, c.newGroup), c.kept) << std::oct << c.oldMode;
}

struct SwapCase
{
    const char* name;
    std::function<void(const CTempDir& dir)> swap;   // while the conversion runs, on "dest"
    bool converted;
    std::string otherAfter;   // what "other" holds afterwards
};

// What is examined when the destination is placed is what is replaced: a
// name that comes to name something else during the run fails the conversion
// and changes nothing, whatever the new name points to.
TEST(FileSafetyPosix, AnotherFileSwappedInDuringTheRunIsNeitherReplacedNorGivenTheOldRights)
{
    const SwapCase cases[] = {
        {"a link to another file",
            [](const CTempDir& dir) {
                std::filesystem::create_symlink(dir.Path("other"), dir.Path("swap"));
                std::filesystem::rename(dir.Path("swap"), dir.Path("dest"));
            },
            false, "other file"},
        {"another file renamed over it",
            [](const CTempDir& dir) {
                std::filesystem::copy_file(dir.Path("other"), dir.Path("swap"));
                std::filesystem::rename(dir.Path("swap"), dir.Path("dest"));
            },
            false, "other file"},
        {"the old file removed", [](const CTempDir& dir) { std::filesystem::remove(dir.Path("dest")); }, true,
            "other file"},
    };
    for (const SwapCase& c : cases) {
        CTempDir dir;
        const std::string source = dir.Write("source", std::string(3 * kChunkSize, 'A'));
        const std::string dest = dir.Write("dest", kOld);
        chmod(dest.c_str(), 0640);
        chmod(dir.Write("other", "other file").c_str(), 04755);   // a set-user-ID program
        CArrayCodec codec;
        codec.SetSourcePath(source);
        codec.SetDestPath(dest);
        bool swapped = false;
        codec.SetProgress([&](std::uint64_t) {
            if (!std::exchange(swapped, true))
                c.swap(dir);
            return true;
        });
        const CConversionResult result = codec.BinToText(1, 10);
        EXPECT_EQ(static_cast<bool>(result), c.converted) << c.name << ": " << result.message;
        EXPECT_EQ(CTempDir::Read(dir.Path("other")), c.otherAfter) << c.name;
        if (!c.converted) {
            EXPECT_EQ(result.failure, EFailure::DestChanged) << c.name;
            EXPECT_EQ(
                result.message, "destination file '" + dest + "' was replaced by another file during the conversion");
            EXPECT_EQ(CTempDir::Read(dest), "other file") << c.name;
        } else {
            EXPECT_EQ(CTempDir::Read(dest).substr(0, 5), "0x41,") << c.name;
            EXPECT_EQ(StatusOf(dest).st_mode & 07777, 0640u) << c.name;   // the examined file's, not the other's
        }
        EXPECT_EQ(EntriesIn(dir.Root()), 3) << c.name;
    }
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
        EXPECT_EQ(EntriesIn(dir.Path("folder")), 1) << c.name;
    }
}

struct PlantedLinkCase
{
    const char* name;
    mode_t folderMode;
    uid_t linkOwner;
    bool followed;   // else refused, with the file behind the link kept
};

constexpr uid_t kPlanter = 4343;   // a user other than the one converting

// As another user would plant a link in /tmp for someone to write through:
// in a sticky folder open to everyone, a link is followed only when it is the
// user's own or the folder owner's, whatever the system is set to.
TEST(FileSafetyPosix, ALinkAnotherUserPlantedInASharedStickyFolderIsNotFollowed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as other users";
    const PlantedLinkCase cases[] = {
        {"sticky and open to all, another user's link", 01777, kPlanter, false},
        {"sticky and open to all, the user's own link", 01777, kOtherUser, true},
        {"sticky and open to all, the folder owner's link", 01777, 0, true},
        {"open to all, not sticky", 0777, kPlanter, true},
        {"sticky, open to the group only", 01775, kPlanter, true},
    };
    for (const PlantedLinkCase& c : cases) {
        // The link names the destination, a folder on the way to it, or the source.
        for (const char* kind : {"file", "folder", "source"}) {
            const bool toFolder = std::string(kind) == "folder";
            const bool asSource = std::string(kind) == "source";
            const std::string what = std::string(c.name) + ", link to the " + kind;
            CTempDir dir;
            chmod(dir.Root().c_str(), 0777);
            const std::string source = dir.Write("source", "AB");
            chmod(source.c_str(), 0644);
            std::filesystem::create_directory(dir.Path("mine"));
            ASSERT_EQ(chown(dir.Path("mine").c_str(), kOtherUser, kOtherGroup), 0);
            const std::string victim = dir.Write("mine/out", asSource ? "AB" : kOld);
            ASSERT_EQ(chown(victim.c_str(), kOtherUser, kOtherGroup), 0);
            std::filesystem::create_directory(dir.Path("shared"));
            ASSERT_EQ(chown(dir.Path("shared").c_str(), 0, kOtherGroup), 0);
            const std::string link = dir.Path(toFolder ? "shared/d" : "shared/out");
            ASSERT_EQ(symlink((toFolder ? dir.Path("mine") : victim).c_str(), link.c_str()), 0);
            ASSERT_EQ(lchown(link.c_str(), c.linkOwner, kOtherGroup), 0);
            chmod(dir.Path("shared").c_str(), c.folderMode);
            const std::string from = asSource ? link : source;
            const std::string dest = asSource ? dir.Path("mine/copy") : toFolder ? link + "/out" : link;
            const std::string refusal = asSource ? "cannot open source file '" + from + "': Permission denied"
                                                 : "cannot open destination file '" + dest + "': Permission denied";
            EXPECT_TRUE(InChild([&] {
                std::string error;
                return setgid(kOtherGroup) == 0 && setuid(kOtherUser) == 0 && Convert(from, dest, &error) == c.followed
                    && (c.followed || error == refusal);
            })) << what;
            EXPECT_EQ(CTempDir::Read(asSource ? dest : victim),
                c.followed     ? "0x41,0x42,"
                    : asSource ? ""
                               : kOld)
                << what;
            struct stat status{};
            EXPECT_TRUE(lstat(link.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) << what;
        }
    }
}

struct SetIdCase
{
    const char* name;
    uid_t fileOwner;
    mode_t mode;
    mode_t kept;
};

// Replacing a set-id program never makes one that runs as someone else with
// content of the user's choosing; capabilities never pass to new content.
TEST(FileSafetyPosix, ANewContentGainsNoRightsOverAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as a member of a shared group";
    const SetIdCase cases[] = {
        {"another member's set-user-ID file", kPlanter, 04775, 0775},
        {"another member's set-user-ID and set-group-ID file", kPlanter, 06775, 02775},
        {"the user's own set-user-ID file", kOtherUser, 04775, 04775},
    };
    for (const SetIdCase& c : cases) {
        CTempDir dir;
        chmod(dir.Root().c_str(), 0777);
        const std::string source = dir.Write("source", "AB");
        chmod(source.c_str(), 0644);
        const std::string dest = dir.Write("tool", kOld);
        ASSERT_EQ(chown(dest.c_str(), c.fileOwner, kSharedGroup), 0);
        ASSERT_EQ(chmod(dest.c_str(), c.mode), 0);
        EXPECT_TRUE(InChild([&] {
            const gid_t groups[] = {kSharedGroup};
            return setgroups(1, groups) == 0 && setgid(kOtherGroup) == 0 && setuid(kOtherUser) == 0
                && Convert(source, dest);
        })) << c.name;
        EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,") << c.name;
        EXPECT_EQ(StatusOf(dest).st_mode & 07777, c.kept) << c.name;
    }

    // A capability of CAP_NET_BIND_SERVICE, in the system's form.
    CTempDir dir;
    const std::string source = dir.Write("source", "AB");
    const std::string dest = dir.Write("tool", kOld);
    const std::uint32_t capability[] = {0x02000000, 1u << 10, 0, 0, 0};
    if (setxattr(dest.c_str(), "security.capability", capability, sizeof(capability), 0) != 0)
        GTEST_SKIP() << "no file capabilities here: " << std::strerror(errno);
    ASSERT_TRUE(Convert(source, dest));
    EXPECT_TRUE(Attribute(dest, "security.capability").empty());
}

// A file mounted over another cannot be renamed over: it is written in
// place, decided before the conversion.
TEST(FileSafetyPosix, AMountedFileIsWrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a file";
    CTempDir dir;
    const std::string source = dir.Write("source", "AB");
    const std::string mounted = dir.Write("mounted", kOld);
    const std::string dest = dir.Write("dest", "covered");
    EXPECT_TRUE(InChild([&] {
        return unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && mount(mounted.c_str(), dest.c_str(), nullptr, MS_BIND, nullptr) == 0 && Convert(source, dest)
            && CTempDir::Read(dest) == "0x41,0x42,";
    }));
    EXPECT_EQ(CTempDir::Read(mounted), "0x41,0x42,");
    EXPECT_EQ(CTempDir::Read(dest), "covered");
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

namespace filesafety {

namespace {

constexpr auto kMode0640
    = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read;

const CDestinationKind kPosixDestinations[] = {
    {"ExistingOfMode0640", [](const CTempDir& dir) { return CDestination{dir.Write("dest", kKeep), dir.Path("dest")}; },
        kMode0640},
    {"ALinkToAFileOfMode0640",
        [](const CTempDir& dir) {
            dir.Write("target", kKeep);
            std::filesystem::create_symlink("target", dir.Path("dest"));
            return CDestination{dir.Path("dest"), dir.Path("target")};
        },
        kMode0640},
};

INSTANTIATE_TEST_SUITE_P(Posix, FileSafetyFailure,
    testing::Combine(
        testing::ValuesIn(Conversions()), testing::ValuesIn(InjectedFailures()), testing::ValuesIn(kPosixDestinations)),
    CCaseName());

INSTANTIATE_TEST_SUITE_P(Posix, FileSafetyDestination,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kPosixDestinations)), CCaseName());

const COtherName kPosixOtherNames[] = {
    {"ASymbolicLink",
        [](const CTempDir& dir) {
            std::filesystem::create_symlink(dir.Path("data.txt"), dir.Path("link.txt"));
            return dir.Path("link.txt");
        }},
};

INSTANTIATE_TEST_SUITE_P(Posix, FileSafetySameFile,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kPosixOtherNames)), CCaseName());

// (Windows renames nothing over a file that is open)
const CSourceChange kPosixSourceChanges[] = {
    {"ReplacedUnderItsName",
        [](const CTempDir& dir, const std::string& source) {
            std::filesystem::rename(dir.Write("other", std::string(std::filesystem::file_size(source), '7')), source);
        }},
};

INSTANTIATE_TEST_SUITE_P(Posix, FileSafetySourceChange,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kPosixSourceChanges)), CCaseName());

// Up to the system's limit, with a short file name, a temporary name in the
// same folder still fits: the destination is replaced, not written in place.
TEST(FileSafetyPosix, AtThePathLimitTheDestinationIsStillReplaced)
{
    CTempDir dir;
    const std::string source = PathOfLength(dir, 4090);
    ASSERT_EQ(source.size(), 4090u);
    const std::string dest = std::filesystem::path(source).replace_filename("out").string();
    std::ofstream(source, std::ios::binary) << "AB";
    std::ofstream(dest) << kKeep;
    const ino_t before = StatusOf(dest).st_ino;
    std::string error;
    ASSERT_TRUE(Convert(source, dest, &error)) << error;
    EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,");
    EXPECT_NE(StatusOf(dest).st_ino, before);
}

TEST(FileSafetyPosix, ANewDestinationHasTheModeTheUmaskAllows)
{
    CTempDir dir;
    const mode_t mask = umask(0);
    umask(mask);
    ASSERT_TRUE(Convert(dir.Write("source", "AB"), dir.Path("dest")));
    EXPECT_EQ(StatusOf(dir.Path("dest")).st_mode & 07777, 0666u & ~mask);
}

// (wine counts one link whatever the file has)
TEST(FileSafetyPosix, AFileWithSeveralHardLinksIsWrittenInPlaceForEveryName)
{
    CTempDir dir;
    const std::string dest = dir.Write("dest", kKeep);
    std::filesystem::create_hard_link(dest, dir.Path("other"));
    ASSERT_TRUE(Convert(dir.Write("source", "A"), dest));
    EXPECT_EQ(CTempDir::Read(dir.Path("other")), "0x41,");
    EXPECT_EQ(std::filesystem::hard_link_count(dest), 2u);
}

class FileSafetyFullDisk : public testing::TestWithParam<std::tuple<CConversion, std::size_t>>
{};

TEST_P(FileSafetyFullDisk, IsAFailure)
{
    const auto& [conversion, size] = GetParam();
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", conversion.source(size)));
    codec.SetDestPath("/dev/full");
    const CConversionResult result = conversion.Run(codec);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(result.failure, EFailure::CannotWriteDest) << result.message;
    EXPECT_EQ(result.path, "/dev/full");
    EXPECT_EQ(result.errorNumber, ENOSPC);
    EXPECT_EQ(result.message, "cannot write destination file '/dev/full': No space left on device");
}

// Big enough to fill the write buffer more than once, and a small source
// that fails only when the last buffer is written at close.
INSTANTIATE_TEST_SUITE_P(Posix, FileSafetyFullDisk,
    testing::Combine(testing::ValuesIn(Conversions()), testing::Values(std::size_t{3}, std::size_t{300000})),
    [](const testing::TestParamInfo<std::tuple<CConversion, std::size_t>>& row) {
        return std::string(std::get<0>(row.param).name) + "_" + std::to_string(std::get<1>(row.param)) + "Bytes";
    });

} // namespace

} // namespace filesafety
