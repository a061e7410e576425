#pragma once

#include <string>

// Temporary files that must not outlive an interrupted process. Their names
// are kept in fixed storage, so that a signal handler (or a console control
// handler) can remove them without allocating or locking.

// A name relative to an open folder (a descriptor), or, with no folder (-1),
// a full path. False when no slot is free or the name is too long to keep;
// the file is then simply not removed on an interruption.
bool RegisterPendingFile(const std::string& name, int folder = -1);
void ReleasePendingFile(const std::string& name, int folder = -1);

// Removes every registered file. Safe to call from a signal handler.
void RemovePendingFiles() noexcept;
