// GCC 12's AVX-512 header builds its "undefined" registers by self-assignment,
// which its own uninitialised-use warnings then report; the values are never read.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "xxhash/avx512/xxh32_blocks.hpp"

#include <immintrin.h>

#include "xxhash/generic/xxh32_lanes.hpp"

namespace vantorq::xxhash::avx512 {
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
    // VPROLD without AVX-512VL exists only on 512-bit registers: the lanes sit
    // in the low quarter, the rest is never read. One instruction instead of
    // three shortens each lane's chain by a cycle.
    template <int N>
    [[gnu::always_inline]] static __m128i rotate_left(__m128i v) {
        return _mm512_castsi512_si128(_mm512_rol_epi32(_mm512_castsi128_si512(v), N));
    }
};

}  // namespace

void mix_xxh32_blocks(classic::Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks) {
    generic::mix_xxh32_blocks<Ops>(lanes, p, blocks);
}

}  // namespace vantorq::xxhash::avx512
