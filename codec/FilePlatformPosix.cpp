#include "FilePlatform.h"

#include "MappedWindows.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace FilePlatform {

namespace {

std::FILE* Adopt(int descriptor, int& error)
{
    if (descriptor < 0) {
        error = errno;
        return nullptr;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file) {
        error = errno;
        close(descriptor);
        return nullptr;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    return file;
}

} // namespace

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

std::string FollowLinks(const std::string& path)
{
    std::string current = path;
    // A loop is left for the open to report.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code notALink;
        const std::filesystem::path target = std::filesystem::read_symlink(current, notALink);
        if (notALink)
            break;
        current = target.is_absolute() ? target.string() : (std::filesystem::path(current).parent_path() / target).string();
    }
    return current;
}

EPlacement PlacementOf(const std::string& target, int& error)
{
    struct stat old {};
    if (stat(target.c_str(), &old) != 0)
        return EPlacement::Replace;
    if (!S_ISREG(old.st_mode) || old.st_nlink > 1)
        return EPlacement::InPlace;
    // A file the user may not write stays refused, as truncating it would be.
    const int probe = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (probe < 0) {
        error = errno;
        return EPlacement::Refused;
    }
    close(probe);
    return EPlacement::Replace;
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::FILE* OpenTruncating(const std::string& path, int& error)
{
    return Adopt(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666), error);
}

std::FILE* CreateExclusive(const std::string& path, int& error)
{
    return Adopt(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666), error);
}

std::FILE* CreateUnnamed(const std::string& folder)
{
#ifdef O_TMPFILE
    // Named later through /proc; without /proc it could never be named.
    if (access("/proc/self/fd", X_OK) == 0) {
        int ignored = 0;
        return Adopt(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666), ignored);
    }
#endif
    (void)folder;
    return nullptr;
}

bool Name(std::FILE* unnamed, const std::string& path, int& error)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(unnamed));
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    error = errno;
    return false;
}

void CopyOwnerAndMode(std::FILE* replacement, const std::string& from)
{
    struct stat old {};
    if (stat(from.c_str(), &old) != 0)
        return;
    const int descriptor = fileno(replacement);
    // Only the privileged may give a file away: the new file then keeps its own owner.
    if (fchown(descriptor, old.st_uid, old.st_gid) != 0) {
    }
    fchmod(descriptor, old.st_mode & 07777);
}

bool Replace(const std::string& from, const std::string& to, int& error)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

void Remove(const std::string& path)
{
    unlink(path.c_str());
}

std::size_t ViewGranularity()
{
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::size_t>(page) : 0;
}

bool MapView(std::FILE* file, std::uint64_t offset, std::size_t size, CFileView& view, int& error)
{
    const int descriptor = fileno(file);
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = ENODEV;
        return false;
    }
    view = {nullptr, 0, offset};
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (offset >= fileSize)
        return true;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, fileSize - offset));
    // No MAP_POPULATE: the reader's own pass for the end mark loads the pages
    // on its thread, and faulting them in costs the system less than
    // populating does.
    void* data = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, descriptor, static_cast<off_t>(offset));
    if (data == MAP_FAILED) {
        error = errno;
        return false;
    }
    // Read once from start to end: the system may read ahead far and drop the pages early.
    madvise(data, length, MADV_SEQUENTIAL);
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
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && static_cast<std::uint64_t>(status.st_size) < view.offset + view.size)
        intact = false;
    munmap(const_cast<unsigned char*>(view.data), view.size);
    return intact;
}

} // namespace FilePlatform
