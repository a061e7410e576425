// The one choice of vector code. The processor is asked once what it has;
// the block finders follow the current scan path, which tests and benchmarks
// may force, and the item formatters follow the processor and their speed
// layer alone, since the path is the scanner's.
#include "textarray/ItemFormatters.h"
#include "textarray/ScanPath.h"
#include "textarray/SpeedLayers.h"

#include "simd/Kernels.h"
#include "simd/Probe.h"

#include <atomic>

namespace {

const CProcessorFeatures& Processor()
{
    static const CProcessorFeatures features = ProbeProcessor();
    return features;
}

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
    case ScanPath::Sse2: return Processor().sse2;
    case ScanPath::Avx2: return Processor().avx2;
    case ScanPath::Avx512: return Processor().avx512;
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

CItemFormatters CurrentItemFormatters()
{
    if (!Processor().avx512 || !CurrentSpeedLayers().vectorFormatters)
        return {};
    return {FormatByteItemsAvx512, FormatLinesAvx512, FormatWideItemsAvx512};
}
