#pragma once

#include <cstddef>

// Keeps mapped windows of files from ending the process when their file is
// cut short by someone else: touching a page past the new end raises SIGBUS.
// The handler, installed with the first window, swaps the pages of a window
// registered here for zero pages and marks it damaged, so the access goes on
// and the reader can report the damage once it is done with the window. Any
// other SIGBUS goes to the handler that was there before, or ends the process.
//
// The windows are kept in fixed storage of atomics, so that the handler can
// look them up from any thread without allocating or locking.

// begin is page aligned. False when no slot is free: the window is then not
// guarded and must not be used.
bool GuardWindow(const void* begin, std::size_t length);

// Ends the guard of the window at begin, before it is unmapped; true when its
// pages were swapped for zeros since it was guarded.
bool UnguardWindow(const void* begin);
