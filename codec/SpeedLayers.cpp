#include "SpeedLayers.h"

#include <atomic>

namespace {

std::atomic<bool> g_splitScan{true};
std::atomic<bool> g_mappedReads{true};
std::atomic<bool> g_vectorFormatters{true};

} // namespace

void UseSpeedLayers(const CSpeedLayers& layers)
{
    g_splitScan.store(layers.splitScan, std::memory_order_relaxed);
    g_mappedReads.store(layers.mappedReads, std::memory_order_relaxed);
    g_vectorFormatters.store(layers.vectorFormatters, std::memory_order_relaxed);
}

CSpeedLayers CurrentSpeedLayers()
{
    return {g_splitScan.load(std::memory_order_relaxed), g_mappedReads.load(std::memory_order_relaxed),
        g_vectorFormatters.load(std::memory_order_relaxed)};
}
