#pragma once

#include "textarray/ScanPath.h"

#include <gtest/gtest.h>

#include <string>

// Every scan path, for tests that run on each.
inline const auto kEveryPathParam = testing::ValuesIn(kEveryScanPath);

inline std::string ScanPathName(ScanPath path)
{
    switch (path) {
    case ScanPath::Scalar: return "Scalar";
    case ScanPath::Sse2: return "Sse2";
    case ScanPath::Avx2: return "Avx2";
    case ScanPath::Avx512: return "Avx512";
    }
    return "Unknown";
}

// Scanners made while this lives take the given path; the processor's best
// one again afterwards. A path the processor lacks skips the test.
class CForcedScanPath
{
public:
    explicit CForcedScanPath(ScanPath path)
        : m_bAvailable(UseScanPath(path))
    {
    }
    ~CForcedScanPath() { UseScanPath(BestScanPath()); }
    CForcedScanPath(const CForcedScanPath&) = delete;
    CForcedScanPath& operator=(const CForcedScanPath&) = delete;

    bool Available() const { return m_bAvailable; }

private:
    bool m_bAvailable;
};

#define SKIP_IF_PATH_MISSING(forced)                                                                                   \
    if (!(forced).Available())                                                                                         \
    GTEST_SKIP() << "this processor lacks the scan path"
