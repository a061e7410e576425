#include "MappedWindows.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

namespace {

// Each reader holds two windows at most; a few slots leave room for readers
// running side by side.
constexpr std::size_t kSlots = 16;

struct CSlot
{
    std::atomic<bool> used{false};
    // Odd while the window is live; the handler takes begin and length only
    // when it reads the same odd version before and after them.
    std::atomic<std::uint32_t> version{0};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::size_t> length{0};   // whole pages
    std::atomic<bool> damaged{false};
};

static_assert(std::atomic<std::uintptr_t>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
    "the signal handler may only use lock-free atomics");

std::array<CSlot, kSlots> g_slots;
struct sigaction g_previous{};

// Swaps the live window that holds address for zero pages; false when none holds it.
bool ZeroWindowAt(std::uintptr_t address) noexcept
{
    for (CSlot& slot : g_slots) {
        const std::uint32_t version = slot.version.load();
        if (version % 2 == 0)
            continue;
        const std::uintptr_t begin = slot.begin.load();
        const std::size_t length = slot.length.load();
        if (slot.version.load() != version || address - begin >= length)
            continue;
        if (mmap(reinterpret_cast<void*>(begin), length, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
            == MAP_FAILED)
            return false;
        slot.damaged.store(true);
        return true;
    }
    return false;
}

void OnBusError(int signalNumber, siginfo_t* info, void* context)
{
    const bool fault = info->si_code > 0;   // raised by an access, not sent by kill
    if (fault && ZeroWindowAt(reinterpret_cast<std::uintptr_t>(info->si_addr)))
        return;
    if (g_previous.sa_flags & SA_SIGINFO) {
        g_previous.sa_sigaction(signalNumber, info, context);
        return;
    }
    if (g_previous.sa_handler == SIG_IGN && !fault)
        return;
    if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signalNumber);
        return;
    }
    // As if we had never been here: a fault recurs on return and a sent
    // signal is raised again, and either ends the process.
    struct sigaction byDefault{};
    byDefault.sa_handler = SIG_DFL;
    sigaction(signalNumber, &byDefault, nullptr);
    // raise fails only for a signal number that is not one.
    if (!fault)
        (void)raise(signalNumber);
}

void InstallHandler()
{
    struct sigaction action{};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, nullptr, &g_previous);
    sigaction(SIGBUS, &action, nullptr);
}

} // namespace

bool GuardWindow(const void* begin, std::size_t length)
{
    static std::once_flag installed;
    std::call_once(installed, InstallHandler);
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (CSlot& slot : g_slots) {
        bool expected = false;
        if (!slot.used.compare_exchange_strong(expected, true))
            continue;
        slot.begin.store(reinterpret_cast<std::uintptr_t>(begin));
        slot.length.store((length + page - 1) / page * page);
        slot.damaged.store(false);
        slot.version.fetch_add(1);
        return true;
    }
    return false;
}

bool UnguardWindow(const void* begin)
{
    for (CSlot& slot : g_slots) {
        if (slot.version.load() % 2 == 1 && slot.begin.load() == reinterpret_cast<std::uintptr_t>(begin)) {
            slot.version.fetch_add(1);
            const bool damaged = slot.damaged.load();
            slot.used.store(false);
            return damaged;
        }
    }
    return false;
}
