#pragma once

#include <cstdio>
#include <string>

// The few file-system calls that replacing a destination needs, one
// implementation per platform. Paths are UTF-8. Each call that can fail
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

} // namespace FilePlatform
