#include "xxhash/avx512/xxh64_blocks.hpp"

#include <immintrin.h>

#include "xxhash/generic/classic_lanes.hpp"

namespace vantorq::xxhash::avx512 {
namespace {

struct Ops {
    [[gnu::always_inline]] static __m256i load(const unsigned char* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    // Four word loads rather than one wide one: callers store XXH64's lanes
    // a word at a time just before the call, and a wide load is not forwarded
    // from narrower stores but waits for them to reach the cache (about 35
    // cycles on Zen 4, more than a short input's whole loop). The empty asm
    // keeps the compiler from merging the loads.
    [[gnu::always_inline]] static __m256i load_lanes(const classic::Xxh64Lanes& lanes) {
        std::uint64_t w0 = lanes[0], w1 = lanes[1], w2 = lanes[2], w3 = lanes[3];
        asm("" : "+r"(w0), "+r"(w1), "+r"(w2), "+r"(w3));
        return _mm256_set_epi64x(static_cast<long long>(w3), static_cast<long long>(w2), static_cast<long long>(w1),
                                 static_cast<long long>(w0));
    }
    [[gnu::always_inline]] static void store(unsigned char* p, __m256i v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    [[gnu::always_inline]] static __m256i broadcast(std::uint64_t w) {
        return _mm256_set1_epi64x(static_cast<long long>(w));
    }
    [[gnu::always_inline]] static __m256i add(__m256i a, __m256i b) { return _mm256_add_epi64(a, b); }
    [[gnu::always_inline]] static __m256i multiply(__m256i a, __m256i b) { return _mm256_mullo_epi64(a, b); }
    template <int N>
    [[gnu::always_inline]] static __m256i rotate_left(__m256i v) {
        return _mm256_rol_epi64(v, N);
    }
};

}  // namespace

void mix_xxh64_blocks(classic::Xxh64Lanes& lanes, const unsigned char* p, std::size_t blocks) {
    generic::mix_blocks<classic::Width64, Ops>(lanes, p, blocks);
}

}  // namespace vantorq::xxhash::avx512
