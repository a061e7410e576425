#include "fileio/PendingFiles.h"

#include <array>
#include <atomic>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A conversion has one destination; a few slots leave room for conversions
// running side by side.
constexpr std::size_t kSlots = 8;
constexpr std::size_t kMaxPath = 4096;

struct CSlot
{
    std::atomic<bool> used{false};
    std::atomic<bool> ready{false};   // the name is complete
    int folder = -1;
    char path[kMaxPath];
};

std::array<CSlot, kSlots> g_slots;

void RemoveNow(int folder, const char* path) noexcept
{
#ifdef _WIN32
    wchar_t wide[kMaxPath];
    if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, static_cast<int>(kMaxPath)) > 0)
        DeleteFileW(wide);
    (void)folder;
#else
    unlinkat(folder >= 0 ? folder : AT_FDCWD, path, 0);
#endif
}

} // namespace

bool RegisterPendingFile(const std::string& path, int folder)
{
    if (path.size() >= kMaxPath)
        return false;
    for (CSlot& slot : g_slots) {
        bool expected = false;
        if (!slot.used.compare_exchange_strong(expected, true))
            continue;
        slot.folder = folder;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.ready.store(true);
        return true;
    }
    return false;
}

void ReleasePendingFile(const std::string& path, int folder)
{
    for (CSlot& slot : g_slots) {
        if (slot.ready.load() && slot.folder == folder && path == slot.path) {
            slot.ready.store(false);
            slot.used.store(false);
            return;
        }
    }
}

void RemovePendingFiles() noexcept
{
    for (CSlot& slot : g_slots) {
        if (slot.ready.load())
            RemoveNow(slot.folder, slot.path);
    }
}
