#pragma once
// Character search over the short stretches of a script: a tag name, a value.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The first `c` in [from, end), or null. The distances are a few characters: too short for a
// library call, so sixteen bytes (with SSE2) or eight bytes are tested at a time here (the lowest
// byte that equals `c` sets the lowest marker bit; bytes are in memory order on the little-endian
// machines this runs on).
inline const char* VeyFindChar(const char* from, const char* end, char c)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    for (; end - from >= 16; from += 16)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const int matches = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted));
        if (matches != 0)
            return from + __builtin_ctz(static_cast<unsigned>(matches));
    }
#endif
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHighs = 0x8080808080808080u;
    const uint64_t pattern = kOnes * static_cast<uint8_t>(c);
    for (; end - from >= 8; from += 8)
    {
        uint64_t word;
        std::memcpy(&word, from, 8);
        const uint64_t matches = word ^ pattern;   // zero bytes where `c` is
        const uint64_t zeros = (matches - kOnes) & ~matches & kHighs;
        if (zeros != 0)
            return from + (__builtin_ctzll(zeros) >> 3);
    }
    for (; from != end; ++from)
        if (*from == c)
            return from;
    return nullptr;
}
