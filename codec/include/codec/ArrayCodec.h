#pragma once

#include "codec/ConversionResult.h"
#include "csource/CSourceOptions.h"
#include "fileio/Progress.h"
#include "textarray/ByteUnit.h"

#include <optional>
#include <string>
#include <utility>

// The conversion engine: one source path, one destination path, and the
// conversions between binary files and text arrays ("0x41,0x42,").
//
// Every operation opens what it needs, streams the source from start to end
// through fixed-size buffers and closes everything before it returns, so a
// codec holds no file between calls and uses the same memory for any file size.
class CArrayCodec
{
public:
    CArrayCodec() = default;
    virtual ~CArrayCodec() = default;

    void SetSourcePath(const std::string& path);
    void SetDestPath(const std::string& path);

    // Each conversion takes the byte unit (bytes per number, 1 to 9) and the
    // line unit (numbers per text line, 1 or more); it is done when the whole
    // source was converted and the destination fully written.
    CConversionResult BinToText(int byteUnit, int lineUnit);
    CConversionResult TextToBin(int byteUnit, int lineUnit);   // the line unit is only checked
    CConversionResult InvertText(int byteUnit, int lineUnit);
    // Reads the source as C and writes its array's elements; byte unit 0 is
    // as wide as the declared element type.
    CConversionResult CSourceToBin(int byteUnit, int lineUnit);   // the line unit is only checked

    // Width in bytes of the widest number in the source text array; 0 when
    // there is none or the scan did not finish.
    CByteUnitScan ScanByteUnit();

    // What CSourceToBin reads and how: the array, the macros, the platform.
    // Its byte unit is ignored: the conversion's is taken. The defaults
    // until set.
    void SetCSourceOptions(const CSourceOptions& options) { m_cSourceOptions = options; }

    // Called once per chunk of source read, from the calling thread; returning
    // false cancels the operation, which then leaves the destination as it was.
    void SetProgress(ProgressCallback progress) { m_progress = std::move(progress); }

private:
    CConversionResult ConvertBinToText(CByteUnit byteUnit, int lineUnit);
    CConversionResult ConvertTextToBin(CByteUnit byteUnit);
    CConversionResult ConvertInvertText(CByteUnit byteUnit, int lineUnit);
    // No byte unit: as wide as the declared element type.
    CConversionResult ConvertCSourceToBin(std::optional<CByteUnit> byteUnit);
    CByteUnitScan ScanWidth();

    // Runs an operation; memory that runs out is its failure, with the files
    // already closed and the destination as it was.
    template <typename Operation>
    auto Guarded(Operation operation) -> decltype(operation());

    // Runs convert(unit) guarded, with the units checked: here they enter the
    // engine, which takes the byte unit as a CByteUnit from here on.
    template <typename Convert>
    CConversionResult WithUnits(int byteUnit, int lineUnit, Convert convert);

    std::string m_szDestPath;
    std::string m_szSourcePath;
    CSourceOptions m_cSourceOptions;
    ProgressCallback m_progress;
};
