#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The few file-system calls that replacing a destination and reading a source
// in place need, one implementation per platform. Paths are UTF-8. Each call that can fail
// returns its error number through error (an errno value).
namespace FilePlatform {

// Whether the path names the same open file as this process's standard output.
bool IsStandardOutput(const std::string& path);

// The name at the end of a chain of symbolic links; the path itself if it is none.
std::string FollowLinks(const std::string& path);

enum class EPlacement {
    Replace,   // write a new file and put it in place (also for a name that does not exist)
    InPlace,   // write into the file itself: a device, a FIFO, a file with several hard links
    Refused,   // the file may not be written at all
};
EPlacement PlacementOf(const std::string& target, int& error);

std::string FolderOf(const std::string& path);

// Unbuffered streams: the caller batches its own writes.
std::FILE* OpenTruncating(const std::string& path, int& error);
std::FILE* CreateExclusive(const std::string& path, int& error);

// A file without a name in the folder, or null where the system has none.
std::FILE* CreateUnnamed(const std::string& folder);
// Gives an unnamed file a (new) name.
bool Name(std::FILE* unnamed, const std::string& path, int& error);

// The replaced file's owner and permission bits, where the platform keeps them apart.
void CopyOwnerAndMode(std::FILE* replacement, const std::string& from);

// Puts the closed file at from in the place of to, in one step.
bool Replace(const std::string& from, const std::string& to, int& error);

void Remove(const std::string& path);

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
// the error, for any other kind of file or when the system cannot map it. The
// window is guarded: should the file be cut short under it, the rest of it
// reads as zeros instead of ending the process.
bool MapView(std::FILE* file, std::uint64_t offset, std::size_t size, CFileView& view, int& error);

// Unmaps the window; false when the file was cut short under it, so that some
// of what was read from it were zeros.
bool UnmapView(std::FILE* file, const CFileView& view);

} // namespace FilePlatform
