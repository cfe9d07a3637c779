#include "xxhash/sse41/xxh32_blocks.hpp"

#include <immintrin.h>

#include "xxhash/generic/classic_lanes.hpp"

namespace vantorq::xxhash::sse41 {
namespace {

struct Ops : generic::SseLanes {
    template <int N>
    [[gnu::always_inline]] static __m128i rotate_left(__m128i v) {
        return _mm_or_si128(_mm_slli_epi32(v, N), _mm_srli_epi32(v, 32 - N));
    }
};

}  // namespace

void mix_xxh32_blocks(classic::Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks) {
    generic::mix_blocks<classic::Width32, Ops>(lanes, p, blocks);
}

}  // namespace vantorq::xxhash::sse41
