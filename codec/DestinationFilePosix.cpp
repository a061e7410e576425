#include "DestinationFile.h"

#include "PendingFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>

namespace {

bool IsStandardOutput(const std::string& path)
{
    // The literal name also stands for standard output where no such file exists.
    if (path == "/dev/stdout")
        return true;
    struct stat out {};
    struct stat dest {};
    return fstat(STDOUT_FILENO, &out) == 0 && stat(path.c_str(), &dest) == 0 && out.st_dev == dest.st_dev
        && out.st_ino == dest.st_ino;
}

// The name at the end of a chain of symbolic links, so that a linked
// destination gets its target replaced and keeps the link. A loop is left
// for the open to report.
std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code notALink;
        const std::filesystem::path target = std::filesystem::read_symlink(path, notALink);
        if (notALink)
            break;
        path = target.is_absolute() ? target.string() : (std::filesystem::path(path).parent_path() / target).string();
    }
    return path;
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// A hidden name in the folder that nothing else is likely to use.
std::string TemporaryName(const std::string& folder)
{
    static thread_local std::mt19937_64 random(std::random_device{}() ^ static_cast<unsigned>(getpid()));
    static const char kDigits[] = "0123456789abcdef";
    std::string name = folder + "/.morvex-";
    for (std::uint64_t bits = random(), n = 0; n < 12; ++n, bits >>= 4)
        name += kDigits[bits & 15];
    return name + ".tmp";
}

// The old destination's owner and permission bits go to its replacement.
// A change of owner is allowed only to the privileged, so its failure is no error.
void CopyOwnerAndMode(int descriptor, const std::string& from)
{
    struct stat old {};
    if (stat(from.c_str(), &old) != 0)
        return;
    if (fchown(descriptor, old.st_uid, old.st_gid) != 0) {
        // Keeps the replacement's own owner.
    }
    fchmod(descriptor, old.st_mode & 07777);
}

} // namespace

CDestinationFile::~CDestinationFile()
{
    Discard();
}

bool CDestinationFile::Open(const std::string& path)
{
    // The caller's stream, often holding earlier output or opened for
    // appending: reopening it by name would truncate the file behind it.
    if (IsStandardOutput(path)) {
        m_pFile = stdout;
        m_kind = Kind::StandardOutput;
        return true;
    }
    m_strTarget = FollowLinks(path);
    struct stat old {};
    if (stat(m_strTarget.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode) || old.st_nlink > 1)
            return OpenInPlace();
        // A file the user may not write stays refused, as truncating it would be.
        const int probe = open(m_strTarget.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (probe < 0)
            return Fail(errno);
        close(probe);
    }
    return OpenTemporary() || OpenInPlace();
}

bool CDestinationFile::OpenInPlace()
{
    m_kind = Kind::InPlace;
    const int descriptor = open(m_strTarget.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
    return descriptor >= 0 ? Adopt(descriptor, Kind::InPlace) : Fail(errno);
}

bool CDestinationFile::OpenTemporary()
{
    const std::string folder = FolderOf(m_strTarget);
#ifdef O_TMPFILE
    // Named only in Commit, through /proc; without /proc it could never be named.
    if (access("/proc/self/fd", X_OK) == 0) {
        const int descriptor = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (descriptor >= 0)
            return Adopt(descriptor, Kind::Unnamed);
    }
#endif
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = TemporaryName(folder);
        // Registered before it exists, so that no interruption can miss it.
        const bool registered = RegisterPendingFile(name);
        const int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (descriptor >= 0) {
            m_strTemporary = std::move(name);
            return Adopt(descriptor, Kind::Named);
        }
        const int error = errno;
        if (registered)
            ReleasePendingFile(name);
        if (error != EEXIST)
            return false;
    }
    return false;
}

bool CDestinationFile::Adopt(int descriptor, Kind kind)
{
    m_pFile = fdopen(descriptor, "wb");
    if (!m_pFile) {
        const int error = errno;
        close(descriptor);
        Discard();
        return Fail(error);
    }
    std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    m_kind = kind;
    return true;
}

bool CDestinationFile::Fail(int errorNumber)
{
    m_nError = errorNumber != 0 ? errorNumber : EIO;
    return false;
}

bool CDestinationFile::Commit()
{
    if (!m_pFile)
        return Fail(m_nError);
    std::FILE* file = m_pFile;
    m_pFile = nullptr;
    switch (m_kind) {
    case Kind::StandardOutput:
        return std::fflush(file) == 0 || Fail(errno);
    case Kind::InPlace:
        return std::fclose(file) == 0 || Fail(errno);
    case Kind::Unnamed: {
        // A name of its own first: a link cannot replace an existing file.
        CopyOwnerAndMode(fileno(file), m_strTarget);
        const std::string self = "/proc/self/fd/" + std::to_string(fileno(file));
        const std::string folder = FolderOf(m_strTarget);
        int error = EEXIST;
        for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
            std::string name = TemporaryName(folder);
            const bool registered = RegisterPendingFile(name);
            if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_strTemporary = std::move(name);
                error = 0;
            } else {
                error = errno;
                if (registered)
                    ReleasePendingFile(name);
            }
        }
        if (error != 0) {
            std::fclose(file);
            return Fail(error);
        }
        break;
    }
    case Kind::Named:
        CopyOwnerAndMode(fileno(file), m_strTarget);
        break;
    }
    if (std::fclose(file) != 0 || std::rename(m_strTemporary.c_str(), m_strTarget.c_str()) != 0) {
        const int error = errno;
        Discard();
        return Fail(error);
    }
    ReleasePendingFile(m_strTemporary);
    m_strTemporary.clear();
    return true;
}

void CDestinationFile::Discard()
{
    if (m_pFile && m_kind != Kind::StandardOutput)
        std::fclose(m_pFile);
    m_pFile = nullptr;
    if (!m_strTemporary.empty()) {
        unlink(m_strTemporary.c_str());
        ReleasePendingFile(m_strTemporary);
        m_strTemporary.clear();
    }
}
