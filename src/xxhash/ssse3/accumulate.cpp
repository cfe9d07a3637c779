#include "xxhash/ssse3/accumulate.hpp"

#include <immintrin.h>

#include "xxhash/generic/long_kernels.hpp"
#include "xxhash/generic/vector_lanes.hpp"

namespace vantorq::xxhash::ssse3 {
namespace {

struct Ops {
    using Vec = __m128i;
    [[gnu::always_inline]] static Vec load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static void store(unsigned char* p, Vec v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    [[gnu::always_inline]] static Vec zero() { return _mm_setzero_si128(); }
    [[gnu::always_inline]] static Vec broadcast(std::uint64_t w) { return _mm_set1_epi64x(static_cast<long long>(w)); }
    [[gnu::always_inline]] static Vec add(Vec a, Vec b) { return _mm_add_epi64(a, b); }
    [[gnu::always_inline]] static Vec xor2(Vec a, Vec b) { return _mm_xor_si128(a, b); }
    [[gnu::always_inline]] static Vec xor3(Vec a, Vec b, Vec c) { return _mm_xor_si128(_mm_xor_si128(a, b), c); }
    [[gnu::always_inline]] static Vec multiply_low32(Vec a, Vec b) { return _mm_mul_epu32(a, b); }
    [[gnu::always_inline]] static Vec high_to_low32(Vec v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 3, 0, 1)); }
    [[gnu::always_inline]] static Vec swap_adjacent(Vec v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)); }
    template <int N>
    [[gnu::always_inline]] static Vec shift_right(Vec v) {
        return _mm_srli_epi64(v, N);
    }
    template <int N>
    [[gnu::always_inline]] static Vec shift_left(Vec v) {
        return _mm_slli_epi64(v, N);
    }
};

using Lanes = generic::VectorLanes<Ops>;

}  // namespace

constinit const long_inputs::LongKernels KERNELS = generic::long_kernels<Lanes>();

}  // namespace vantorq::xxhash::ssse3
