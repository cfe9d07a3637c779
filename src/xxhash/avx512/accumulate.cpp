// GCC 12's AVX-512 header builds its "undefined" registers by self-assignment,
// which its own uninitialised-use warnings then report at every inlined shift
// and shuffle; the values are never read.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "xxhash/avx512/accumulate.hpp"

#include <immintrin.h>

#include "xxhash/generic/long_kernels.hpp"
#include "xxhash/generic/vector_lanes.hpp"

namespace vantorq::xxhash::avx512 {
namespace {

struct Ops {
    using Vec = __m512i;
    [[gnu::always_inline]] static Vec load(const unsigned char* p) { return _mm512_loadu_si512(p); }
    [[gnu::always_inline]] static void store(unsigned char* p, Vec v) { _mm512_storeu_si512(p, v); }
    [[gnu::always_inline]] static Vec zero() { return _mm512_setzero_si512(); }
    [[gnu::always_inline]] static Vec broadcast(std::uint64_t w) { return _mm512_set1_epi64(static_cast<long long>(w)); }
    [[gnu::always_inline]] static Vec add(Vec a, Vec b) { return _mm512_add_epi64(a, b); }
    [[gnu::always_inline]] static Vec xor2(Vec a, Vec b) { return _mm512_xor_si512(a, b); }
    // 0x96 is the truth table of a ^ b ^ c: both XORs of the scramble in one operation.
    [[gnu::always_inline]] static Vec xor3(Vec a, Vec b, Vec c) { return _mm512_ternarylogic_epi64(a, b, c, 0x96); }
    [[gnu::always_inline]] static Vec multiply_low32(Vec a, Vec b) { return _mm512_mul_epu32(a, b); }
    [[gnu::always_inline]] static Vec high_to_low32(Vec v) {
        return _mm512_shuffle_epi32(v, static_cast<_MM_PERM_ENUM>(_MM_SHUFFLE(0, 3, 0, 1)));
    }
    [[gnu::always_inline]] static Vec swap_adjacent(Vec v) {
        return _mm512_shuffle_epi32(v, static_cast<_MM_PERM_ENUM>(_MM_SHUFFLE(1, 0, 3, 2)));
    }
    template <int N>
    [[gnu::always_inline]] static Vec shift_right(Vec v) {
        return _mm512_srli_epi64(v, N);
    }
    template <int N>
    [[gnu::always_inline]] static Vec shift_left(Vec v) {
        return _mm512_slli_epi64(v, N);
    }
};

using Lanes = generic::VectorLanes<Ops>;

}  // namespace

constinit const long_inputs::LongKernels KERNELS = generic::long_kernels<Lanes, 1>();
constinit const long_inputs::LongKernels KERNELS_4_STRIPES = generic::long_kernels<Lanes, 4>();

}  // namespace vantorq::xxhash::avx512
