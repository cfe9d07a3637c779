#pragma once
// The XXH32 and XXH64 block loops with the four lanes in one register (128-bit
// for XXH32's words, 256-bit for XXH64's), written once for the vector tiers.
// A tier provides Ops with:
//
//   load(p) / store(p, v)       one block (16 or 32 bytes), unaligned
//   load_lanes(lanes)           the register of the four lanes
//   broadcast(w)                one word in every lane
//   add(a, b), multiply(a, b)   lane sums and low products
//   rotate_left<n>(v)           lane rotation
//
// SseLanes below gives XXH32's forms of all but the rotation, which the tiers
// do their own way.
//
// Each lane's chain is add, rotate, multiply; the product of the input word is
// off that chain, so the four lanes cost one chain instead of eight scalar
// multiplies per block.
//
// Include only from tier files, with Ops defined in their anonymous namespace.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "xxhash/classic.hpp"

namespace vantorq::xxhash::generic {

// SSE4.1 (PMULLD) forms of every XXH32 operation but the rotation.
struct SseLanes {
    [[gnu::always_inline]] static __m128i load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static __m128i load_lanes(const classic::Xxh32Lanes& lanes) {
        return load(reinterpret_cast<const unsigned char*>(lanes.data()));
    }
    [[gnu::always_inline]] static void store(unsigned char* p, __m128i v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    [[gnu::always_inline]] static __m128i broadcast(std::uint32_t w) { return _mm_set1_epi32(static_cast<int>(w)); }
    [[gnu::always_inline]] static __m128i add(__m128i a, __m128i b) { return _mm_add_epi32(a, b); }
    [[gnu::always_inline]] static __m128i multiply(__m128i a, __m128i b) { return _mm_mullo_epi32(a, b); }
};

template <class Width, typename Ops>
[[gnu::always_inline]] inline void mix_blocks(typename classic::Algorithm<Width>::Lanes& lanes, const unsigned char* p,
                                              std::size_t blocks) {
    constexpr std::size_t BLOCK_SIZE = classic::Algorithm<Width>::BLOCK_SIZE;
    auto acc = Ops::load_lanes(lanes);
    const auto prime_1 = Ops::broadcast(Width::P1);
    const auto prime_2 = Ops::broadcast(Width::P2);
    for (const unsigned char* const end = p + blocks * BLOCK_SIZE; p != end; p += BLOCK_SIZE)
        acc = Ops::multiply(
            Ops::template rotate_left<Width::ROUND_ROTATION>(Ops::add(acc, Ops::multiply(Ops::load(p), prime_2))),
            prime_1);
    Ops::store(reinterpret_cast<unsigned char*>(lanes.data()), acc);
}

}  // namespace vantorq::xxhash::generic
