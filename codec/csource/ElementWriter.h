#pragma once

#include "fileio/ByteStreams.h"
#include "CInitialiserWalk.h"

#include <algorithm>
#include <cstring>

// The C source reader's elements into the destination.
class CElementWriter final : public CElementSink
{
public:
    explicit CElementWriter(CByteWriter& out)
        : m_out(out)
    {
    }

    void PutBytes(const unsigned char* bytes, std::size_t count) override
    {
        while (count > 0) {
            const std::size_t part = std::min(count, CByteWriter::kMaxReserve);
            unsigned char* at = m_out.Reserve(part);
            std::memcpy(at, bytes, part);
            m_out.Commit(at + part);
            bytes += part;
            count -= part;
        }
    }

private:
    CByteWriter& m_out;
};
