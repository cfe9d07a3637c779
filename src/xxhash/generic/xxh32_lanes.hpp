#pragma once
// The XXH32 block loop with its four 32-bit lanes in one 128-bit register,
// written once for the vector tiers. A tier provides Ops with:
//
//   load(p) / store(p, v)   16 bytes, unaligned
//   broadcast(w)            one 32-bit word in every lane
//   add(a, b), multiply(a, b)   32-bit lane sums and low products
//   rotate_left<n>(v)       32-bit lane rotation
//
// SseLanes below gives all but the rotation, which the tiers do their own way.
//
// Each lane's chain is add, rotate, multiply; PMULLD's product of the input
// word is off that chain, so the four lanes cost one chain instead of eight
// scalar multiplies per block.
//
// Include only from tier files, with Ops defined in their anonymous namespace.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "xxhash/classic.hpp"

namespace vantorq::xxhash::generic {

// SSE4.1 (PMULLD) forms of every operation but the rotation.
struct SseLanes {
    [[gnu::always_inline]] static __m128i load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static void store(unsigned char* p, __m128i v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    [[gnu::always_inline]] static __m128i broadcast(std::uint32_t w) { return _mm_set1_epi32(static_cast<int>(w)); }
    [[gnu::always_inline]] static __m128i add(__m128i a, __m128i b) { return _mm_add_epi32(a, b); }
    [[gnu::always_inline]] static __m128i multiply(__m128i a, __m128i b) { return _mm_mullo_epi32(a, b); }
};

template <typename Ops>
[[gnu::always_inline]] inline void mix_xxh32_blocks(classic::Xxh32Lanes& lanes, const unsigned char* p,
                                                    std::size_t blocks) {
    auto acc = Ops::load(reinterpret_cast<const unsigned char*>(lanes.data()));
    const auto prime_1 = Ops::broadcast(PRIME32_1);
    const auto prime_2 = Ops::broadcast(PRIME32_2);
    for (const unsigned char* const end = p + blocks * classic::XXH32_BLOCK_SIZE; p != end; p += classic::XXH32_BLOCK_SIZE)
        acc = Ops::multiply(Ops::template rotate_left<13>(Ops::add(acc, Ops::multiply(Ops::load(p), prime_2))),
                            prime_1);
    Ops::store(reinterpret_cast<unsigned char*>(lanes.data()), acc);
}

}  // namespace vantorq::xxhash::generic
