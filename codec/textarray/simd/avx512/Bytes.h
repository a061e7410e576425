#pragma once

// Included inside an AVX-512 target region, after the intrinsics.

namespace {

// Every byte of a vector.
inline __m512i Bytes(char byte)
{
    return _mm512_set1_epi8(byte);
}

} // namespace
