#pragma once

#include "Progress.h"

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
    // line unit (numbers per text line, 1 or more) and returns true when the
    // whole source was converted and the destination fully written.
    bool BinToText(int byteUnit, int lineUnit);
    bool TextToBin(int byteUnit, int lineUnit);   // the line unit is only checked
    bool InvertText(int byteUnit, int lineUnit);
    // Reads the source as C and writes its array's elements; byte unit 0 is
    // as wide as the declared element type.
    bool CSourceToBin(int byteUnit, int lineUnit);   // the line unit is only checked

    // Width in bytes of the widest number in the source text array; 0 when
    // there is none or the source cannot be read.
    int ScanByteUnit();

    // Why the last operation failed, naming the file ("cannot open source
    // file 'x': No such file or directory"); empty after a success.
    const std::string& LastError() const { return m_strLastError; }

    // Called once per chunk of source read, from the calling thread; returning
    // false cancels the operation, which then leaves the destination as it was.
    void SetProgress(ProgressCallback progress) { m_progress = std::move(progress); }
    bool WasCancelled() const;

private:
    bool ConvertBinToText(int byteUnit, int lineUnit);
    bool ConvertTextToBin(int byteUnit, int lineUnit);
    bool ConvertInvertText(int byteUnit, int lineUnit);
    bool ConvertCSourceToBin(int byteUnit, int lineUnit);
    int ScanWidth();

    // Runs an operation; memory that runs out is its failure, with the files
    // already closed and the destination as it was.
    template <typename Operation>
    auto Guarded(Operation operation) -> decltype(operation());

    std::string m_szDestPath;
    std::string m_szSourcePath;
    std::string m_strLastError;
    ProgressCallback m_progress;
};
