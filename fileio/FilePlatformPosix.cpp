#include "fileio/FilePlatform.h"

#include "CarriedRights.h"
#include "FaultSeams.h"
#include "MappedWindows.h"
#include "fileio/PendingFiles.h"
#include "TemporaryName.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// fsetxattr, or the failure a test injected for that name.
int SetAttribute(int file, const char* name, const void* value, std::size_t size)
{
    if (const int injected = AttributeCopyFault(name)) {
        errno = injected;
        return -1;
    }
    return fsetxattr(file, name, value, size, 0);
}

} // namespace

namespace FilePlatform {

namespace {

constexpr int kMostLinks = 40;   // as the system itself follows
constexpr int kStandardStreams = 3;

struct CInheritedFiles
{
    std::vector<int> descriptors{0, 1, 2};
    std::array<bool, kStandardStreams> closed{};
};

CInheritedFiles& Inherited()
{
    static CInheritedFiles files;
    return files;
}

bool IsOpen(int descriptor)
{
    return fcntl(descriptor, F_GETFD) != -1 || errno != EBADF;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::string LeafOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// The link's target, relative to the link's own folder; false for no link.
// The target of the link leaf in the open folder, as written in it.
bool ReadLinkAt(int folder, const std::string& leaf, std::string& target)
{
    std::vector<char> text(256);
    for (;;) {
        const ssize_t size = readlinkat(folder, leaf.c_str(), text.data(), text.size());
        if (size < 0)
            return false;
        if (static_cast<std::size_t>(size) < text.size()) {
            target.assign(text.data(), static_cast<std::size_t>(size));
            return true;
        }
        text.resize(text.size() * 2);
    }
}

// A link's target as a name: relative to the link's folder when it is relative.
std::string Joined(const std::string& folder, const std::string& target)
{
    return target.starts_with('/') ? target : (std::filesystem::path(folder) / target).string();
}

bool ReadLink(const std::string& link, std::string& target)
{
    std::string text;
    if (!ReadLinkAt(AT_FDCWD, link, text))
        return false;
    target = Joined(std::filesystem::path(link).parent_path().string(), text);
    return true;
}

// A link in a sticky folder that everyone may write into, owned neither by
// this user nor by the folder's owner: another user may have put it there to
// have this process write where they choose.
bool PlantedByAnother(const struct stat& link, const struct stat& folder)
{
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return shared && link.st_uid != geteuid() && link.st_uid != folder.st_uid;
}

// Whether the leaf is mounted over the folder's file system: it cannot be
// renamed over, only written into.
bool IsMountPoint(int folder, const std::string& leaf)
{
    struct statx file{};
    struct statx parent{};
    if (statx(folder, leaf.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &file) != 0
        || statx(folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &parent) != 0)
        return false;
    if ((file.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
        return (file.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    if ((file.stx_mask & parent.stx_mask & STATX_MNT_ID) != 0)
        return file.stx_mnt_id != parent.stx_mnt_id;
    return makedev(file.stx_dev_major, file.stx_dev_minor) != makedev(parent.stx_dev_major, parent.stx_dev_minor);
}

// A descriptor that is closed when it goes.
struct CHeld
{
    int fd = -1;
    explicit CHeld(int descriptor)
        : fd(descriptor)
    {
    }
    CHeld(const CHeld&) = delete;
    CHeld& operator=(const CHeld&) = delete;
    ~CHeld()
    {
        if (fd >= 0)
            close(fd);
    }
    void Reset(int descriptor)
    {
        if (fd >= 0)
            close(fd);
        fd = descriptor;
    }
};

// The kernel's own links (/proc/self/fd/N) lead to a descriptor's file, which
// may have no name to follow: only the kernel can follow them.
bool OnProc(int folder)
{
#ifdef __linux__
    constexpr long kProcMagic = 0x9fa0;
    struct statfs system{};
    return fstatfs(folder, &system) == 0 && static_cast<long>(system.f_type) == kProcMagic;
#else
    (void)folder;
    return false;
#endif
}

enum class ELink {
    None,      // no link by that name (or no name at all)
    Kernel,    // one of the kernel's own, under /proc: the kernel follows it
    Planted,   // planted by another user (PlantedByAnother): never followed
    Read,      // a link to follow, its target read
};

// Judges the name in the open folder as a link to follow, and reads its target.
ELink JudgeLink(int folder, const std::string& name, std::string& target)
{
    struct stat link{};
    struct stat where{};
    if (name.empty() || fstatat(folder, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(link.st_mode))
        return ELink::None;
    if (OnProc(folder))
        return ELink::Kernel;
    if (fstat(folder, &where) != 0 || PlantedByAnother(link, where))
        return ELink::Planted;
    return ReadLinkAt(folder, name, target) ? ELink::Read : ELink::None;
}

// The folder opened by the kernel in one call, where no link at all is on
// the way; -1 otherwise, or where the system has no such call.
int OpenFolderWithoutLinks(const std::string& path)
{
#if defined(__linux__) && defined(SYS_openat2)
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS;
    return static_cast<int>(syscall(SYS_openat2, AT_FDCWD, path.empty() ? "." : path.c_str(), &how, sizeof how));
#else
    (void)path;
    return -1;
#endif
}

// Opens a folder (O_PATH) one name at a time, never following a link that
// another user planted (PlantedByAnother) on the way: every step is checked
// and then opened with O_NOFOLLOW, so what is checked is what is opened.
// -1 with errno on failure; EACCES for a planted link, ELOOP for too many.
int OpenFolderStepwise(const std::string& path)
{
    // Most paths hold no link: the kernel then opens them in one call, and
    // refuses any that does, which is then walked here.
    if (const int direct = OpenFolderWithoutLinks(path); direct >= 0)
        return direct;
    std::vector<std::string> ahead;   // the names still to go, the next one last
    const auto push = [&ahead](std::string_view names) {
        std::vector<std::string> parts;
        for (std::size_t at = 0; at <= names.size();) {
            const std::size_t end = std::min(names.find('/', at), names.size());
            if (end > at && names.substr(at, end - at) != ".")
                parts.emplace_back(names.substr(at, end - at));
            at = end + 1;
        }
        ahead.insert(ahead.end(), parts.rbegin(), parts.rend());
    };
    CHeld folder(open(path.starts_with('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    push(path);
    for (int links = 0; folder.fd >= 0 && !ahead.empty();) {
        const std::string name = std::move(ahead.back());
        ahead.pop_back();
        std::string target;
        const ELink link = JudgeLink(folder.fd, name, target);
        if (link == ELink::Planted) {
            errno = EACCES;
            return -1;
        }
        if (link != ELink::None && ++links > kMostLinks) {
            errno = ELOOP;
            return -1;
        }
        // Not a link (a missing name fails here, with its reason).
        if (link != ELink::Read) {
            const int follow = link == ELink::Kernel ? 0 : O_NOFOLLOW;
            folder.Reset(openat(folder.fd, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | follow));
            continue;
        }
        if (target.starts_with('/'))
            folder.Reset(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        push(target);
    }
    return std::exchange(folder.fd, -1);
}

// The descriptor that a name of the form /dev/fd/N, /proc/self/fd/N or
// /proc/<this process>/fd/N, or /dev/stdin, /dev/stdout or /dev/stderr,
// stands for; -1 for any other name.
int DescriptorNamedBy(std::string_view path)
{
    static constexpr std::string_view kStreams[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
    for (int stream = 0; stream < kStandardStreams; ++stream) {
        if (path == kStreams[stream])
            return stream;
    }
    const std::string ownFolder = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string_view folder :
        {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"), std::string_view(ownFolder)}) {
        if (!path.starts_with(folder))
            continue;
        const std::string_view digits = path.substr(folder.size());
        int descriptor = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), descriptor);
        if (error == std::errc() && end == digits.data() + digits.size())
            return descriptor;
    }
    return -1;
}

// The descriptor that the name, or a link on the way from it, names as such; -1 if none.
int DescriptorNamedThrough(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops <= kMostLinks; ++hops) {
        const int descriptor = DescriptorNamedBy(current);
        if (descriptor >= 0 || !ReadLink(current, current))
            return descriptor;
    }
    return -1;
}

// Whether a new file made by this process can be given the group.
bool CanGiveGroup(gid_t group)
{
    if (geteuid() == 0 || group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    return count > 0 && getgroups(count, groups.data()) == count
        && std::find(groups.begin(), groups.end(), group) != groups.end();
}

// Whether this process may put a new file in the place of the old one in the
// folder: it may make files there and, in a sticky folder, rename over this one.
bool CanReplaceIn(int folder, const struct stat& old)
{
    if (faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    struct stat status{};
    if (fstat(folder, &status) != 0)
        return false;
    const uid_t user = geteuid();
    return (status.st_mode & S_ISVTX) == 0 || user == 0 || old.st_uid == user || status.st_uid == user;
}

constexpr const char* kAccessList = "system.posix_acl_access";

// The name under which the old file's attributes are read: its open
// descriptor's, so that they are the examined file's whatever its name names
// now; the path itself where there is no /proc.
std::string ExaminedName(int examined, const std::string& path)
{
    const std::string held = "/proc/self/fd/" + std::to_string(examined);
    return access(held.c_str(), F_OK) == 0 ? held : path;
}

// Gives the new file an extended attribute of the old one, as AttributeCopyOf says.
bool CopyAttribute(int file, const std::string& from, const char* name, int& error)
{
    const EAttributeCopy rule = AttributeCopyOf(name);
    if (rule == EAttributeCopy::Drop)
        return true;
    std::vector<char> value;
    ssize_t got = -1;
    // Asked again should it grow between the two calls.
    for (int attempt = 0; attempt < 3 && got < 0; ++attempt) {
        const ssize_t size = getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0)
            break;
        value.resize(static_cast<std::size_t>(size));
        got = getxattr(from.c_str(), name, value.data(), value.size());
        if (got < 0 && errno != ERANGE)
            break;
    }
    if (got < 0 && errno == ENODATA)
        return true;   // removed meanwhile
    if (got >= 0 && SetAttribute(file, name, value.data(), static_cast<std::size_t>(got)) == 0)
        return true;
    if (rule != EAttributeCopy::Required)
        return true;
    error = errno;
    return false;
}

bool CopyAttributes(int file, const std::string& from, int& error)
{
    ssize_t size = listxattr(from.c_str(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP || (error = errno, false);
    std::vector<char> names(static_cast<std::size_t>(size) + 1);
    size = listxattr(from.c_str(), names.data(), names.size() - 1);
    if (size < 0)
        return (error = errno, false);
    bool hadAccessList = false;
    for (const char* name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
        hadAccessList = hadAccessList || std::strcmp(name, kAccessList) == 0;
        if (!CopyAttribute(file, from, name, error))
            return false;
    }
    // A list the folder gives every new file by default would grant what the
    // old file did not.
    if (!hadAccessList && fremovexattr(file, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) {
        error = errno;
        return false;
    }
    return true;
}

// The old file's owner, group, extended attributes (with its access control
// list) and permissions, in that order, read through its open descriptor: a
// change of owner clears the set-id bits, and an access list sets the group bits.
bool CopyMetadata(int file, int examined, const std::string& path, int& error)
{
    struct stat old{};
    if (fstat(examined, &old) != 0) {
        error = errno;
        return false;
    }
    // Only the privileged may give a file away; the group alone is kept then.
    if (fchown(file, old.st_uid, old.st_gid) != 0 && fchown(file, static_cast<uid_t>(-1), old.st_gid) != 0) {
        error = errno;
        return false;
    }
    if (!CopyAttributes(file, ExaminedName(examined, path), error))
        return false;
    struct stat made{};
    if (fstat(file, &made) != 0
        || fchmod(file, KeptMode(old.st_mode, old.st_uid, old.st_gid, made.st_uid, made.st_gid)) != 0) {
        error = errno;
        return false;
    }
    return true;
}

} // namespace

void NoteInheritedFiles()
{
    CInheritedFiles& inherited = Inherited();
    inherited.descriptors.clear();
    for (int stream = 0; stream < kStandardStreams; ++stream) {
        inherited.closed[stream] = !IsOpen(stream);
        // The lowest free number: this very one, as those below are open.
        if (inherited.closed[stream])
            open("/dev/null", stream == 0 ? O_RDONLY : O_WRONLY);
    }
    auto note = [&inherited](int descriptor) {
        if (descriptor >= kStandardStreams || !inherited.closed[descriptor])
            inherited.descriptors.push_back(descriptor);
    };
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(folder)) {
            int descriptor = -1;
            const char* name = entry->d_name;
            const auto [end, error] = std::from_chars(name, name + std::strlen(name), descriptor);
            if (error == std::errc() && *end == '\0' && descriptor != dirfd(folder))
                note(descriptor);
        }
        closedir(folder);
        return;
    }
    for (int descriptor = 0; descriptor < 1024; ++descriptor) {
        if (IsOpen(descriptor))
            note(descriptor);
    }
}

int ClosedStandardStreamNamedBy(const std::string& path)
{
    const int descriptor = DescriptorNamedThrough(path);
    return descriptor >= 0 && descriptor < kStandardStreams && Inherited().closed[descriptor] ? descriptor : -1;
}

NativeFile InheritedFileOf(const std::string& path)
{
    // A descriptor named as such is written through, whatever it is open for:
    // following its link instead would replace the file behind it.
    int descriptor = DescriptorNamedThrough(path);
    if (descriptor < 0 || !IsOpen(descriptor)) {
        struct stat dest{};
        if (stat(path.c_str(), &dest) != 0)
            return kNoFile;
        const auto& inherited = Inherited().descriptors;
        const auto found = std::find_if(inherited.begin(), inherited.end(), [&dest](int candidate) {
            struct stat open{};
            const int flags = fcntl(candidate, F_GETFL);
            return flags != -1 && (flags & O_ACCMODE) != O_RDONLY && fstat(candidate, &open) == 0
                && SameFile(open, dest);
        });
        if (found == inherited.end())
            return kNoFile;
        descriptor = *found;
    }
    // What the C library still holds for it goes first; were that to fail, the
    // write through the descriptor that follows would most likely fail too, and
    // be reported.
    if (descriptor == STDOUT_FILENO || descriptor == STDERR_FILENO)
        (void)std::fflush(descriptor == STDOUT_FILENO ? stdout : stderr);
    return descriptor;
}

namespace {

// Follows the chain of links at the end of the path, each link judged by
// JudgeLink in its open folder; target is the name it ends at, and that
// name's folder is returned open (O_PATH). -1 with errno when that folder
// cannot be opened, for a planted link (EACCES) and a chain that loops (ELOOP).
int FolderAtEndOfLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < kMostLinks; ++hops) {
        const std::string folderName = FolderOf(target);
        CHeld folder(OpenFolderStepwise(folderName));
        if (folder.fd < 0)
            return -1;
        std::string next;
        switch (JudgeLink(folder.fd, LeafOf(target), next)) {
        case ELink::None:
        case ELink::Kernel: return std::exchange(folder.fd, -1);
        case ELink::Planted: errno = EACCES; return -1;
        case ELink::Read: target = Joined(folderName, next); break;
        }
    }
    errno = ELOOP;
    return -1;
}

} // namespace

bool NamesStream(const std::string& path)
{
    return DescriptorNamedThrough(path) >= 0;
}

bool EndAtOffset(NativeFile file, int& error)
{
    const int descriptor = static_cast<int>(file);
    struct stat status{};
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags == -1 || (flags & O_APPEND) != 0 || fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return true;
    const off_t end = lseek(descriptor, 0, SEEK_CUR);
    if (end >= 0 && ftruncate(descriptor, end) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool FollowLinks(const std::string& path, std::string& target, int& error)
{
    const CHeld folder(FolderAtEndOfLinks(path, target));
    if (folder.fd >= 0)
        return true;
    // A folder that does not exist is reported when the file is opened.
    error = errno;
    return errno != EACCES && errno != ELOOP;
}

bool SameFile(const std::string& a, const std::string& b)
{
    // /dev/stdin and its kin lead to the stream's file through /proc.
    std::error_code unknown;
    return std::filesystem::equivalent(a, b, unknown);
}

int OpenToRead(const std::string& path)
{
    std::string target;
    const CHeld folder(FolderAtEndOfLinks(path, target));
    if (folder.fd < 0)
        return -1;
    // The kernel's own links are its to follow; any other link found here now
    // was swapped in after the links were judged.
    const int follow = OnProc(folder.fd) ? 0 : O_NOFOLLOW;
    const std::string leaf = LeafOf(target);
    return openat(folder.fd, leaf.empty() ? "." : leaf.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | follow);
}

EPlacement PlacementOf(const std::string& target, int& error)
{
    const CHeld folder(OpenFolderStepwise(FolderOf(target)));
    if (folder.fd < 0) {
        error = errno;
        return EPlacement::Refused;
    }
    const std::string leaf = LeafOf(target);
    struct stat old{};
    // No leaf ("out/") names the folder itself.
    if (fstatat(folder.fd, leaf.c_str(), &old, AT_SYMLINK_NOFOLLOW | (leaf.empty() ? AT_EMPTY_PATH : 0)) != 0)
        return EPlacement::Replace;
    if (S_ISLNK(old.st_mode)) {
        error = ELOOP;
        return EPlacement::Refused;
    }
    if (S_ISDIR(old.st_mode)) {
        error = EISDIR;
        return EPlacement::Refused;
    }
    if (!S_ISREG(old.st_mode) || old.st_nlink > 1)
        return EPlacement::InPlace;
    // A file the user may not write stays refused, as truncating it would be.
    const int probe = openat(folder.fd, leaf.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (probe < 0) {
        error = errno;
        return EPlacement::Refused;
    }
    close(probe);
    // Where a new file could not take its place, or not with its group, the
    // file is written in place rather than refused after the conversion or
    // given to a group whose members it was not shared with.
    if (!CanReplaceIn(folder.fd, old) || !CanGiveGroup(old.st_gid) || IsMountPoint(folder.fd, leaf))
        return EPlacement::InPlace;
    return EPlacement::Replace;
}

NativeFile OpenTruncating(const std::string& path, int& error)
{
    const CHeld folder(OpenFolderStepwise(FolderOf(path)));
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    const int file = folder.fd < 0 ? -1 : openat(folder.fd, LeafOf(path).c_str(), flags, 0666);
    if (file < 0)
        error = errno;
    return file;
}

int Write(NativeFile file, const void* data, std::size_t size)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(static_cast<int>(file), next, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

bool Close(NativeFile file, int& error)
{
    // The descriptor is gone whatever close says, also after EINTR.
    if (close(static_cast<int>(file)) == 0 || errno == EINTR)
        return true;
    error = errno;
    return false;
}

CReplacement::~CReplacement()
{
    Discard();
}

bool CReplacement::Create(const std::string& target, int& error)
{
    m_strTarget = target;
    // Names relative to the open folder stay short whatever its path's length.
    const CHeld folder(OpenFolderStepwise(FolderOf(target)));
    if (folder.fd < 0) {
        error = errno;
        return false;
    }
    m_nFolder = openat(folder.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_nFolder < 0 && errno == EACCES)
        m_nFolder = fcntl(folder.fd, F_DUPFD_CLOEXEC, 0);   // cannot be synced
    if (m_nFolder < 0) {
        error = errno;
        return false;
    }
    // The old file is held from here on: its rights are read from it, and
    // only it is replaced. A link found here now was swapped in meanwhile.
    m_nExamined = openat(m_nFolder, LeafOf(target).c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    struct stat old{};
    if (m_nExamined < 0 ? errno != ENOENT : fstat(m_nExamined, &old) != 0 || S_ISLNK(old.st_mode)) {
        error = m_nExamined < 0 ? errno : ELOOP;
        Discard();
        return false;
    }
    // Until the old file's access is carried over, the new one is the owner's alone.
    const mode_t mode = m_nExamined >= 0 ? 0600 : 0666;
#ifdef O_TMPFILE
    // Without a name, nothing is left behind whatever ends the process. It is
    // named through /proc at the end; without /proc it never could be.
    if (access("/proc/self/fd", X_OK) == 0) {
        m_file = openat(m_nFolder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (m_file >= 0)
            return true;
        // Only a file system without unnamed files falls back on a name.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error = errno;
            Discard();
            return false;
        }
    }
#endif
    const auto leaf = [](std::string name) { return name; };
    const bool made = MakeUnderTemporaryName(
        m_nFolder, leaf,
        [this, mode](const std::string& name) {
            m_file = openat(m_nFolder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
            return m_file >= 0 ? 0 : errno;
        },
        m_strName, error);
    if (!made)
        Discard();
    return made;
}

bool CReplacement::Commit(int& error)
{
    const int file = static_cast<int>(m_file);
    if (m_nExamined >= 0 && !CopyMetadata(file, m_nExamined, m_strTarget, error)) {
        Discard();
        return false;
    }
    // On the device before it has the name: after a crash the destination is
    // then the old file or the whole new one, never an empty one.
    if (fdatasync(file) != 0 && errno != EINVAL) {
        error = errno;
        Discard();
        return false;
    }
    // As late as can be: the system has no rename that checks what it replaces.
    if (!StillNamesExamined()) {
        m_bMoved = true;
        error = EEXIST;
        Discard();
        return false;
    }
    // Only a rename replaces a file in one step, and it needs a name to
    // rename: given right before it, so that only between these two calls
    // could a SIGKILL leave the named file behind.
    if (m_strName.empty() && !NameUnnamed(error)) {
        Discard();
        return false;
    }
    if (renameat(m_nFolder, m_strName.c_str(), m_nFolder, LeafOf(m_strTarget).c_str()) != 0) {
        error = errno;
        Discard();
        return false;
    }
    ReleasePendingFile(m_strName, m_nFolder);
    m_strName.clear();
    // The rename lasts once the folder is on the device too. A folder that
    // could only be opened for its names cannot be synced; the rename stands.
    fsync(m_nFolder);
    // Closed only now: its content is on the device already, so the close
    // has nothing left to lose.
    Discard();
    return true;
}

bool CReplacement::NameUnnamed(int& error)
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_file);
    const auto leaf = [](std::string name) { return name; };
    return MakeUnderTemporaryName(
        m_nFolder, leaf,
        [this, &self](const std::string& name) {
            return linkat(AT_FDCWD, self.c_str(), m_nFolder, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        },
        m_strName, error);
}

// Whether the target's name still names the file examined in Create, or
// still nothing, or a file (no link) that appeared meanwhile where there was none.
bool CReplacement::StillNamesExamined() const
{
    struct stat now{};
    if (fstatat(m_nFolder, LeafOf(m_strTarget).c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        return true;   // removed meanwhile: the new file takes a free name
    struct stat examined{};
    if (m_nExamined < 0)
        return !S_ISLNK(now.st_mode);
    return fstat(m_nExamined, &examined) == 0 && SameFile(now, examined);
}

void CReplacement::Discard()
{
    int ignored = 0;
    if (m_file != kNoFile)
        Close(std::exchange(m_file, kNoFile), ignored);
    if (!m_strName.empty()) {
        unlinkat(m_nFolder, m_strName.c_str(), 0);
        ReleasePendingFile(m_strName, m_nFolder);
        m_strName.clear();
    }
    if (m_nExamined >= 0)
        close(std::exchange(m_nExamined, -1));
    if (m_nFolder >= 0)
        close(std::exchange(m_nFolder, -1));
}

namespace {

CFileStamp StampFrom(const struct stat& status)
{
    return {status.st_dev, status.st_ino, static_cast<std::uint64_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
        S_ISREG(status.st_mode)};
}

} // namespace

bool StampOf(std::FILE* file, CFileStamp& stamp)
{
    struct stat status{};
    if (fstat(fileno(file), &status) != 0)
        return false;
    stamp = StampFrom(status);
    return true;
}

bool StampOf(const std::string& path, CFileStamp& stamp)
{
    struct stat status{};
    if (stat(path.c_str(), &status) != 0)
        return false;
    stamp = StampFrom(status);
    return true;
}

std::size_t ViewGranularity()
{
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::size_t>(page) : 0;
}

namespace {

// Whether the file system the file lies on is one whose files are mapped.
bool Mappable(int descriptor)
{
#ifdef __linux__
    struct statfs system{};
    return fstatfs(descriptor, &system) == 0 && MapsFilesOf(static_cast<std::uint32_t>(system.f_type));
#else
    (void)descriptor;
    return true;
#endif
}

// Reads the window's pages in and maps them; 0, or the error. Never with
// MAP_POPULATE: the kernel retries a page that fails to read there for as
// long as it fails, and the process hangs on a failing disk.
int LoadNow(void* data, std::size_t length)
{
#ifdef MADV_POPULATE_READ
    if (madvise(data, length, MADV_POPULATE_READ) == 0)
        return 0;
    // A page that could not be read, or the file cut short under the window.
    if (errno == EFAULT || errno == EHWPOISON)
        return EIO;
    if (errno != EINVAL)
        return errno;
#endif
    // A system too old to load them for us reads them ahead; the guard
    // catches a page that fails when it is touched.
    madvise(data, length, MADV_WILLNEED);
    return 0;
}

} // namespace

bool MapView(std::FILE* file, std::uint64_t offset, std::size_t size, bool loadNow, CFileView& view, int& error)
{
    const int descriptor = fileno(file);
    struct stat status{};
    if (fstat(descriptor, &status) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(status.st_mode) || !Mappable(descriptor)) {
        error = ENODEV;
        return false;
    }
    view = {nullptr, 0, offset};
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (offset >= fileSize)
        return true;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, fileSize - offset));
    void* data = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, descriptor, static_cast<off_t>(offset));
    if (data == MAP_FAILED) {
        error = errno;
        return false;
    }
    // Read once from start to end: the system may read ahead far and drop the
    // pages early. Pages loaded already leave it nothing to read ahead.
    if (!loadNow)
        madvise(data, length, MADV_SEQUENTIAL);
    else if (const int unloaded = LoadNow(data, length); unloaded != 0) {
        munmap(data, length);
        error = unloaded;
        return false;
    }
    if (!GuardWindow(data, length)) {
        munmap(data, length);
        error = ENOMEM;
        return false;
    }
    view.data = static_cast<const unsigned char*>(data);
    view.size = length;
    return true;
}

bool UnmapView(std::FILE* file, const CFileView& view)
{
    if (!view.data)
        return true;
    bool intact = !UnguardWindow(view.data);
    // Cut short inside the window's last page, a file reads as zeros there without any fault.
    struct stat status{};
    if (fstat(fileno(file), &status) == 0 && static_cast<std::uint64_t>(status.st_size) < view.offset + view.size)
        intact = false;
    munmap(const_cast<unsigned char*>(view.data), view.size);
    return intact;
}

} // namespace FilePlatform
