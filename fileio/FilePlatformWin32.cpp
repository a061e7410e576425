#include "fileio/FilePlatform.h"

#include "FaultSeams.h"
#include "fileio/PendingFiles.h"
#include "TemporaryName.h"
#include "fileio/Utf8Path.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace FilePlatform {

namespace {

constexpr int kStandardStreams = 3;
constexpr int kOutput = 1;
constexpr int kError = 2;
constexpr DWORD kStandardHandles[kStandardStreams] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
// Windows has no such files: these names stand for the standard streams themselves.
constexpr const char* kStandardNames[kStandardStreams] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};

struct CInheritedFiles
{
    bool noted = false;
    HANDLE handles[kStandardStreams] = {};
};

CInheritedFiles g_inherited;

HANDLE StandardHandle(int stream)
{
    return g_inherited.noted ? g_inherited.handles[stream] : GetStdHandle(kStandardHandles[stream]);
}

bool IsMissing(HANDLE handle)
{
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

HANDLE HandleOf(NativeFile file)
{
    return reinterpret_cast<HANDLE>(file);
}

NativeFile NativeOf(HANDLE handle)
{
    return reinterpret_cast<NativeFile>(handle);
}

// The C runtime's own table leaves some out, a full disk among them, and
// calls those "Invalid argument".
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:   // the reading end is being closed
        return EPIPE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_INVALID_HANDLE: return EBADF;
    default: return EIO;
    }
}

int LastErrno()
{
    return ErrnoOf(GetLastError());
}

// What the file system knows of an open file; false when it knows nothing.
bool Query(HANDLE file, BY_HANDLE_FILE_INFORMATION& info, DWORD& type)
{
    type = GetFileType(file);
    return GetFileInformationByHandle(file, &info) != 0 || (type != FILE_TYPE_DISK && type != FILE_TYPE_UNKNOWN);
}

// Opens what the name leads to, only to ask about it. No access asked: this
// neither locks nor changes the file; backup semantics open a folder too.
HANDLE OpenToQuery(const std::string& path)
{
    // The standard streams' names mean the streams, never a file that
    // happens to bear one (under wine, the emulator's own device).
    if (std::find(std::begin(kStandardNames), std::end(kStandardNames), path) != std::end(kStandardNames)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The same for a name, with any link followed; false when it names nothing.
bool Inspect(const std::string& path, BY_HANDLE_FILE_INFORMATION& info, DWORD& type)
{
    const HANDLE file = OpenToQuery(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool known = Query(file, info, type);
    CloseHandle(file);
    return known;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh
        && a.nFileIndexLow == b.nFileIndexLow;
}

bool SameDiskFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& other)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) && SameIdentity(info, other);
}

// What file on a disk the name leads to; a standard stream's name leads to
// the stream's own file, as /dev/stdout does through /proc elsewhere.
bool DiskFileOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const auto* named = std::find(std::begin(kStandardNames), std::end(kStandardNames), path);
    if (named != std::end(kStandardNames)) {
        const HANDLE handle = StandardHandle(static_cast<int>(named - std::begin(kStandardNames)));
        return !IsMissing(handle) && GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info);
    }
    DWORD type = FILE_TYPE_UNKNOWN;
    return Inspect(path, info, type) && type == FILE_TYPE_DISK;
}

std::uint64_t Joined(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool StampOf(HANDLE file, CFileStamp& stamp)
{
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD type = FILE_TYPE_UNKNOWN;
    if (!Query(file, info, type))
        return false;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.index = Joined(info.nFileIndexHigh, info.nFileIndexLow);
    stamp.size = Joined(info.nFileSizeHigh, info.nFileSizeLow);
    stamp.modified
        = static_cast<std::int64_t>(Joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
    stamp.regular = type == FILE_TYPE_DISK && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return true;
}

// The whole path of a name in the form that the system takes past MAX_PATH
// characters: "\\?\C:\dir\name", "\\?\UNC\server\share\name". A temporary's
// name is longer than its target's, so a target near the limit has one past
// it. The form skips the system's own clean-up of a name, so it is done
// here first: ".", "..", "/", a drive's current folder ("Z:name").
std::string LongPathOf(const std::string& path)
{
    const std::wstring name = WideFromUtf8(path);
    std::wstring whole(GetFullPathNameW(name.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD size = GetFullPathNameW(name.c_str(), static_cast<DWORD>(whole.size()), whole.data(), nullptr);
    if (size == 0 || size >= whole.size())
        return path;
    whole.resize(size);
    if (whole.starts_with(L"\\\\?\\") || whole.starts_with(L"\\\\.\\"))
        return Utf8FromWide(whole);
    if (whole.starts_with(L"\\\\"))
        return Utf8FromWide(L"\\\\?\\UNC\\" + whole.substr(2));
    return Utf8FromWide(L"\\\\?\\" + whole);
}

// The name of a file in the folder of a whole path.
std::string BesideOf(const std::string& path, const std::string& name)
{
    return path.substr(0, path.rfind('\\') + 1) + name;
}

// A name beside the path that names nothing yet.
bool FreeNameBeside(const std::string& path, std::string& free)
{
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        free = BesideOf(path, TemporaryName());
        if (GetFileAttributesW(WideFromUtf8(free).c_str()) == INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

BOOL ReplaceNow(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup)
{
    if (const auto standIn = ReplaceFileStandIn())
        return standIn(replaced.c_str(), replacement.c_str(), backup.c_str());
    return ReplaceFileW(
        replaced.c_str(), replacement.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
}

// ReplaceFileW with a backup name for the old file while the two are swapped.
// Without one, a failure to move the new file in can leave the old one under
// no name at all (ERROR_UNABLE_TO_MOVE_REPLACEMENT); with one, the old file is
// either still under its own name or under the backup's
// (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2), and then goes back. The backup is no
// pending file: an interruption would remove the old file with it.
bool ReplaceKeepingOld(const std::string& target, const std::string& replacement, int& error)
{
    BY_HANDLE_FILE_INFORMATION old{};
    DWORD type = FILE_TYPE_UNKNOWN;
    const bool known = Inspect(target, old, type);
    std::string backupName;
    if (!FreeNameBeside(target, backupName)) {
        error = EEXIST;
        return false;
    }
    const std::wstring to = WideFromUtf8(target);
    const std::wstring backup = WideFromUtf8(backupName);
    if (ReplaceNow(to, WideFromUtf8(replacement), backup)) {
        DeleteFileW(backup.c_str());
        return true;
    }
    error = LastErrno();
    BY_HANDLE_FILE_INFORMATION now{};
    if (known && Inspect(target, now, type) && SameIdentity(now, old)) {
        // The old file kept its name: under the backup's there is at most a copy.
        DeleteFileW(backup.c_str());
    } else {
        // Should its name have been taken meanwhile, it stays under the backup's.
        MoveFileExW(backup.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    return false;
}

} // namespace

void NoteInheritedFiles()
{
    for (int stream = 0; stream < kStandardStreams; ++stream)
        g_inherited.handles[stream] = GetStdHandle(kStandardHandles[stream]);
    g_inherited.noted = true;
}

int ClosedStandardStreamNamedBy(const std::string& path)
{
    const auto* named = std::find(std::begin(kStandardNames), std::end(kStandardNames), path);
    const int stream = static_cast<int>(named - std::begin(kStandardNames));
    return stream < kStandardStreams && IsMissing(StandardHandle(stream)) ? stream : -1;
}

NativeFile InheritedFileOf(const std::string& path)
{
    BY_HANDLE_FILE_INFORMATION dest{};
    DWORD type = FILE_TYPE_UNKNOWN;
    const bool inspected = Inspect(path, dest, type) && type == FILE_TYPE_DISK;
    for (const int stream : {kOutput, kError}) {
        const HANDLE handle = StandardHandle(stream);
        if (IsMissing(handle) || (path != kStandardNames[stream] && !(inspected && SameDiskFile(handle, dest))))
            continue;
        // What the C runtime still holds for it goes first; were that to fail,
        // the write through the handle that follows would most likely fail too.
        (void)std::fflush(stream == kOutput ? stdout : stderr);
        return NativeOf(handle);
    }
    return kNoFile;
}

bool NamesStream(const std::string& path)
{
    return std::find(std::begin(kStandardNames), std::end(kStandardNames), path) != std::end(kStandardNames);
}

// Windows shells open a redirected file truncated or at its end, never
// midway: nothing of the old file follows what was written.
bool EndAtOffset(NativeFile, int&)
{
    return true;
}

// The file system follows links itself, and a link is never replaced: see PlacementOf.
bool FollowLinks(const std::string& path, std::string& target, int&)
{
    target = path;
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return DiskFileOf(a, first) && DiskFileOf(b, second) && SameIdentity(first, second);
}

EPlacement PlacementOf(const std::string& target, int& error)
{
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD type = FILE_TYPE_DISK;
    const bool reached = Inspect(target, info, type);
    // The name's own attributes: a link's, where Inspect saw what it leads to.
    const DWORD own = GetFileAttributesW(WideFromUtf8(target).c_str());
    if (!reached && own == INVALID_FILE_ATTRIBUTES)
        return EPlacement::Replace;
    const DWORD attributes = info.dwFileAttributes | (own == INVALID_FILE_ATTRIBUTES ? 0 : own);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = EISDIR;
        return EPlacement::Refused;
    }
    // A dangling link is written through too: its target is made.
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if (!reached || type != FILE_TYPE_DISK || (attributes & kNotPlain) != 0 || info.nNumberOfLinks > 1)
        return EPlacement::InPlace;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        error = EACCES;
        return EPlacement::Refused;
    }
    return EPlacement::Replace;
}

NativeFile OpenTruncating(const std::string& path, int& error)
{
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        error = LastErrno();
    return NativeOf(file);
}

int Write(NativeFile file, const void* data, std::size_t size)
{
    // One call takes at most what a DWORD counts; a gigabyte at a time.
    constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        const auto part = static_cast<DWORD>(std::min(size, kMostAtOnce));
        if (!WriteFile(HandleOf(file), next, part, &written, nullptr))
            return LastErrno();
        if (written == 0)
            return EIO;
        next += written;
        size -= written;
    }
    return 0;
}

bool Close(NativeFile file, int& error)
{
    if (CloseHandle(HandleOf(file)))
        return true;
    error = LastErrno();
    return false;
}

CReplacement::~CReplacement()
{
    Discard();
}

bool CReplacement::Create(const std::string& target, int& error)
{
    // Whole paths for both names: ReplaceFileW fails with ERROR_DIRECTORY
    // for a name without a folder ("out.txt").
    m_strTarget = LongPathOf(target);
    return MakeUnderTemporaryName(
        -1, [this](const std::string& name) { return BesideOf(m_strTarget, name); },
        [this](const std::string& path) {
        // Shared for deleting: the console control handler removes it by its
        // name while it is still open here.
            const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE,
                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            m_file = NativeOf(file);
            return file != INVALID_HANDLE_VALUE ? 0 : LastErrno();
        },
        m_strTemporary, error);
}

bool CReplacement::Commit(int& error)
{
    // On the device before it has the name: after a crash the destination is
    // then the old file or the whole new one, never an empty one.
    const HANDLE file = HandleOf(std::exchange(m_file, kNoFile));
    const bool flushed = FlushFileBuffers(file) != 0;
    error = flushed ? 0 : LastErrno();
    if (!CloseHandle(file) && flushed)
        error = LastErrno();
    const std::wstring from = WideFromUtf8(m_strTemporary);
    const std::wstring to = WideFromUtf8(m_strTarget);
    // ReplaceFileW gives the new file the old one's attributes and security;
    // a plain rename would give it the folder's instead, so it is only for a
    // name that has no file yet.
    const bool targetExists = GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES;
    bool replaced = false;
    if (error == 0 && targetExists) {
        replaced = ReplaceKeepingOld(m_strTarget, m_strTemporary, error);
    } else if (error == 0) {
        replaced = MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!replaced)
            error = LastErrno();
    }
    if (!replaced) {
        Discard();
        return false;
    }
    ReleasePendingFile(m_strTemporary);
    m_strTemporary.clear();
    return true;
}

void CReplacement::Discard()
{
    if (m_file != kNoFile)
        CloseHandle(HandleOf(std::exchange(m_file, kNoFile)));
    if (!m_strTemporary.empty()) {
        DeleteFileW(WideFromUtf8(m_strTemporary).c_str());
        ReleasePendingFile(m_strTemporary);
        m_strTemporary.clear();
    }
}

bool StampOf(std::FILE* file, CFileStamp& stamp)
{
    const int descriptor = _fileno(file);
    return descriptor >= 0 && StampOf(reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)), stamp);
}

bool StampOf(const std::string& path, CFileStamp& stamp)
{
    const HANDLE file = OpenToQuery(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool stamped = StampOf(file, stamp);
    CloseHandle(file);
    return stamped;
}

// Sources are read into buffers here; nothing is ever mapped.
std::size_t ViewGranularity()
{
    return 0;
}

bool MapView(std::FILE*, std::uint64_t, std::size_t, bool, CFileView&, int& error)
{
    error = ENOSYS;
    return false;
}

bool UnmapView(std::FILE*, const CFileView&)
{
    return true;
}

} // namespace FilePlatform
