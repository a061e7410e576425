#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The few file-system calls that replacing a destination and reading a source
// in place need, one implementation per platform. Paths are UTF-8. Each call that can fail
// returns its error number through error (an errno value).
namespace FilePlatform {

// A file open for writing: a descriptor, or a Windows handle.
using NativeFile = std::intptr_t;
inline constexpr NativeFile kNoFile = -1;

// Called once at start-up, before any file is opened. Notes the files the
// process inherited open for writing, so that a destination naming one of
// them is written through it, after what the caller wrote. A standard stream
// that is closed gets the null device, so that no file of ours takes its
// number (and a stray message into it) - and is noted as closed. Without this
// call, the three standard streams stand for the inherited files.
void NoteInheritedFiles();

// The standard stream (0, 1 or 2) that the path names as such (/dev/stdout,
// /dev/fd/1, /proc/self/fd/1, or a link to one), when the process started
// with it closed; -1 otherwise.
int ClosedStandardStreamNamedBy(const std::string& path);

// The inherited file that the path names under any name, open for writing;
// kNoFile when there is none. It is written through, never closed.
NativeFile InheritedFileOf(const std::string& path);

// Whether the path names a standard stream or descriptor as such (/dev/stdout,
// /dev/fd/3, or a link to one), rather than a file by its own name.
bool NamesStream(const std::string& path);

// Ends an inherited file where its offset stands, so that a file the caller
// holds open for reading and writing ends with what was just written; a file
// open for appending, or that is no regular file, is left as it is.
bool EndAtOffset(NativeFile file, int& error);

// The name at the end of a chain of symbolic links; the path itself if it is
// none. False, with ELOOP, for a chain that loops, and with EACCES for a link
// that another user planted in a sticky folder open to everyone (such as
// /tmp): one owned neither by this user nor by the folder's owner, the rule
// the kernel applies only where the system is set to.
bool FollowLinks(const std::string& path, std::string& target, int& error);

#ifndef _WIN32
// Opens a source for reading, its links followed as FollowLinks follows
// them; -1 with errno. (Windows resolves a name's links itself.)
int OpenToRead(const std::string& path);
#endif

// Whether both names, standard streams' names included, name one file; false
// when either names none or cannot be asked about.
bool SameFile(const std::string& a, const std::string& b);

enum class EPlacement {
    Replace,   // write a new file and put it in place (also for a name that does not exist)
    InPlace,   // write into the file itself: it cannot be replaced without losing something
    Refused,   // the file may not be written at all, or is a folder
};
// Decided before any conversion runs. In place: devices, FIFOs, files with
// several hard links, mount points (a file mounted over another), files in
// folders where the user may not make or rename a file, and files whose group
// the user could not give a new file. The target must be no link any more: one
// found there now was swapped in after the links were followed, and is refused.
EPlacement PlacementOf(const std::string& target, int& error);

// Opens (creating or truncating) the file itself, never through a link.
NativeFile OpenTruncating(const std::string& path, int& error);

// Writes all of it; 0, or the error number of the failure.
int Write(NativeFile file, const void* data, std::size_t size);

// Closes a file this process opened; false with the error when the system
// reports one at close.
bool Close(NativeFile file, int& error);

// A new file in the folder of an existing (or not yet existing) target, that
// takes the target's place in one step once it is complete, and is removed
// should the process be interrupted. On POSIX systems its name is relative
// to the open folder, so it fits whatever the length of the folder's path.
class CReplacement
{
public:
    CReplacement() = default;
    ~CReplacement();   // discards whatever Commit has not put in place
    CReplacement(const CReplacement&) = delete;
    CReplacement& operator=(const CReplacement&) = delete;

    bool Create(const std::string& target, int& error);

    NativeFile File() const { return m_file; }

    // Gives the new file the target's owner, group, permissions, access
    // control lists and extended attributes, writes it through to the device,
    // puts it in the target's place and makes that lasting too. False, with
    // the target kept as it was, on any error, when the access to the old
    // file cannot be carried over exactly, and when the target's name no
    // longer names the file examined in Create (Moved() then says so).
    // Set-id bits go only to a file of the same owner and group, and file
    // capabilities never: new content gets no rights the old one had.
    bool Commit(int& error);

    // Whether Commit failed because another file took the target's name.
    bool Moved() const { return m_bMoved; }

    // Closes and removes the new file.
    void Discard();

private:
#ifndef _WIN32
    bool NameUnnamed(int& error);
    bool StillNamesExamined() const;
#endif

    NativeFile m_file = kNoFile;
    std::string m_strTarget;
    bool m_bMoved = false;
#ifndef _WIN32
    int m_nFolder = -1;          // the target's folder, held open
    int m_nExamined = -1;        // the old file as examined, held open (O_PATH); -1 when there was none
    std::string m_strName;       // the temporary name in it; empty while the file has none
#else
    std::string m_strTemporary;  // the temporary's full path
#endif
};

// What identifies a source's content before and after it is read.
struct CFileStamp
{
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;   // in the system's finest unit
    bool regular = false;        // only a regular file's stamp says anything
    bool operator==(const CFileStamp&) const = default;
};
bool StampOf(std::FILE* file, CFileStamp& stamp);
bool StampOf(const std::string& path, CFileStamp& stamp);

// A read-only mapped window of a file's content.
struct CFileView
{
    const unsigned char* data = nullptr;   // null: nothing mapped
    std::size_t size = 0;
    std::uint64_t offset = 0;
};

// What window offsets must be multiples of; 0 where files are never mapped.
std::size_t ViewGranularity();

// Maps what the regular file holds of the size bytes from offset, to be read
// from start to end; nothing when the file ends before offset. False, with
// the error, for any other kind of file, for files of the file systems that
// MapsFilesOf (MappedWindows.h) leaves to read(), or when the system cannot
// map it. The window is guarded: should the file be cut short under it, or a page of
// it fail to read, the rest of it reads as zeros instead of ending the
// process. loadNow: its pages are read in and mapped before this returns,
// rather than as they are first touched; one that fails to read fails this
// with EIO.
bool MapView(std::FILE* file, std::uint64_t offset, std::size_t size, bool loadNow, CFileView& view, int& error);

// Unmaps the window; false when the file was cut short under it or a page of
// it failed to read, so that some of what was read from it were zeros.
bool UnmapView(std::FILE* file, const CFileView& view);

} // namespace FilePlatform
