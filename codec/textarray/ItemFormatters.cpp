#include "textarray/ItemFormatters.h"

#include "simd/ByteItemKernels.h"
#include "textarray/SpeedLayers.h"

CItemFormatters CurrentItemFormatters()
{
    static const bool available = kHasX86Finders && ProcessorHasAvx2() && ProcessorHasAvx512();
    if (!available || !CurrentSpeedLayers().vectorFormatters)
        return {};
    return {FormatByteItemsAvx512, FormatLinesAvx512, FormatWideItemsAvx512};
}
