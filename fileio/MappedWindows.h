#pragma once

#include <cstddef>
#include <cstdint>

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

// Whether the regular files of a file system, known by the type statfs gives
// it, are read through mapped windows rather than with read().
//
// Not those of a file system in memory: a mapping fills the holes it reads.
// Not those of FUSE or of a network: a mapping gains nothing there, since
// every page comes through the same daemon or connection as a read, and a
// failing page is a bus fault that can only say "input/output error", where
// read() tells what failed (a daemon gone, a stale handle, a timeout, access
// refused). Every other file system is mapped: a read error on a disk is an
// input/output error either way.
constexpr bool MapsFilesOf(std::uint32_t fileSystemType)
{
    constexpr std::uint32_t kRead[] = {
        0x01021994,   // tmpfs
        0x65735546,   // FUSE (sshfs, ntfs-3g, virtiofs, ...)
        0x6969,       // NFS
        0x517B,       // SMB
        0xFF534D42,   // CIFS
        0xFE534D42,   // SMB2
        0x00C36400,   // Ceph
        0x01021997,   // 9p
        0x5346414F,   // AFS
        0x6B414653,   // kAFS
        0x73757245,   // Coda
        0x564C,       // NCP
        0x0BD00BD0,   // Lustre
        0x47504653,   // GPFS
        0x20030528,   // OrangeFS
    };
    for (const std::uint32_t type : kRead) {
        if (type == fileSystemType)
            return false;
    }
    return true;
}
