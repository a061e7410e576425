#include "textarray/SpeedLayers.h"

#include <atomic>

namespace {

std::atomic<bool> g_splitScan{true};
std::atomic<bool> g_mappedReads{true};
std::atomic<bool> g_vectorFormatters{true};
std::atomic<bool> g_readAhead{true};

// A page: far enough for memory to answer before the reading gets there.
constexpr std::size_t kReadAheadDistance = 4096;

} // namespace

void UseSpeedLayers(const CSpeedLayers& layers)
{
    g_splitScan.store(layers.splitScan, std::memory_order_relaxed);
    g_mappedReads.store(layers.mappedReads, std::memory_order_relaxed);
    g_vectorFormatters.store(layers.vectorFormatters, std::memory_order_relaxed);
    g_readAhead.store(layers.readAhead, std::memory_order_relaxed);
}

CSpeedLayers CurrentSpeedLayers()
{
    return {g_splitScan.load(std::memory_order_relaxed), g_mappedReads.load(std::memory_order_relaxed),
        g_vectorFormatters.load(std::memory_order_relaxed), g_readAhead.load(std::memory_order_relaxed)};
}

std::size_t ReadAheadDistance()
{
    return g_readAhead.load(std::memory_order_relaxed) ? kReadAheadDistance : 0;
}
