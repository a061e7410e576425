#pragma once

#include <string>

// Temporary files that must not outlive an interrupted process. Their names
// are kept in fixed storage, so that a signal handler (or a console control
// handler) can remove them without allocating or locking.

// False when no slot is free or the name is too long to keep; the file is
// then simply not removed on an interruption.
bool RegisterPendingFile(const std::string& path);
void ReleasePendingFile(const std::string& path);

// Removes every registered file. Safe to call from a signal handler.
void RemovePendingFiles() noexcept;
