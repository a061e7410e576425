#include "textarray/ScanPath.h"

#include "simd/ByteItemKernels.h"

#include <atomic>

namespace {

CScanKernels KernelsOf(ScanPath path)
{
    switch (path) {
    case ScanPath::Scalar: break;
    case ScanPath::Sse2: return {FindByteItemsSse2, FindLowBytesSse2, FindNumbersSse2, nullptr};
    case ScanPath::Avx2: return {FindByteItemsAvx2, FindLowBytesAvx2, FindNumbersAvx2, nullptr};
    case ScanPath::Avx512:
        return {FindByteItemsAvx512, FindLowBytesAvx512, FindNumbersAvx512, FindDecimalLowBytesAvx512};
    }
    return {nullptr, nullptr, nullptr, nullptr};
}

std::atomic<ScanPath>& Current()
{
    static std::atomic<ScanPath> path{BestScanPath()};
    return path;
}

} // namespace

bool IsScanPathAvailable(ScanPath path)
{
    switch (path) {
    case ScanPath::Scalar: return true;
    case ScanPath::Sse2: return kHasX86Finders;
    case ScanPath::Avx2: return kHasX86Finders && ProcessorHasAvx2();
    case ScanPath::Avx512: return kHasX86Finders && ProcessorHasAvx2() && ProcessorHasAvx512();
    }
    return false;
}

ScanPath BestScanPath()
{
    for (ScanPath path : {ScanPath::Avx512, ScanPath::Avx2, ScanPath::Sse2})
        if (IsScanPathAvailable(path))
            return path;
    return ScanPath::Scalar;
}

bool UseScanPath(ScanPath path)
{
    if (!IsScanPathAvailable(path))
        return false;
    Current().store(path, std::memory_order_relaxed);
    return true;
}

ScanPath CurrentScanPath()
{
    return Current().load(std::memory_order_relaxed);
}

CScanKernels CurrentScanKernels()
{
    return KernelsOf(CurrentScanPath());
}
