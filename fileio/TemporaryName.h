#pragma once

#include "fileio/PendingFiles.h"

#include <cerrno>
#include <string>
#include <utility>

// A hidden file name, without a folder, that nothing else is likely to use
// (".morvex-" and twelve random hex digits, ".tmp"). A clash is caught by the
// exclusive create of the caller, who then tries another.
std::string TemporaryName();

// Makes a file under fresh temporary names until one is free. place turns a
// name into what is registered and made: a name relative to the folder (a
// descriptor), or a full path with no folder (-1). make returns 0 or the
// error number; a clash (EEXIST) tries another name. Each name is registered
// before it exists, so that no interruption can miss it.
template <typename Place, typename Make>
bool MakeUnderTemporaryName(int folder, Place place, Make make, std::string& made, int& error)
{
    constexpr int kAttempts = 16;
    error = EEXIST;
    for (int attempt = 0; attempt < kAttempts && error == EEXIST; ++attempt) {
        std::string name = place(TemporaryName());
        const bool registered = RegisterPendingFile(name, folder);
        if ((error = make(name)) == 0) {
            made = std::move(name);
            return true;
        }
        if (registered)
            ReleasePendingFile(name, folder);
    }
    return false;
}
