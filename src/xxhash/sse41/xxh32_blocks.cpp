#include "xxhash/sse41/xxh32_blocks.hpp"

#include <immintrin.h>

#include "xxhash/generic/xxh32_lanes.hpp"

namespace vantorq::xxhash::sse41 {
namespace {

struct Ops {
    [[gnu::always_inline]] static __m128i load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static void store(unsigned char* p, __m128i v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    [[gnu::always_inline]] static __m128i broadcast(std::uint32_t w) { return _mm_set1_epi32(static_cast<int>(w)); }
    [[gnu::always_inline]] static __m128i add(__m128i a, __m128i b) { return _mm_add_epi32(a, b); }
    [[gnu::always_inline]] static __m128i multiply(__m128i a, __m128i b) { return _mm_mullo_epi32(a, b); }
    template <int N>
    [[gnu::always_inline]] static __m128i rotate_left(__m128i v) {
        return _mm_or_si128(_mm_slli_epi32(v, N), _mm_srli_epi32(v, 32 - N));
    }
};

}  // namespace

void mix_xxh32_blocks(classic::Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks) {
    generic::mix_xxh32_blocks<Ops>(lanes, p, blocks);
}

}  // namespace vantorq::xxhash::sse41
