// GCC 12's AVX-512 header builds its "undefined" registers by self-assignment,
// which its own uninitialised-use warnings then report; the values are never read.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "xxhash/avx512/xxh32_blocks.hpp"

#include <immintrin.h>

#include "xxhash/generic/classic_lanes.hpp"

namespace vantorq::xxhash::avx512 {
namespace {

struct Ops : generic::SseLanes {
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
    generic::mix_blocks<classic::Width32, Ops>(lanes, p, blocks);
}

}  // namespace vantorq::xxhash::avx512
