#pragma once
// The AVX2 accumulator lanes, shared by the single-input and the
// multi-input kernels. Include only from files compiled for AVX2: everything
// here lives in the including file's anonymous namespace.

#include <immintrin.h>

#include "xxhash/generic/vector_lanes.hpp"

namespace vantorq::xxhash::avx2 {
namespace {

struct Ops {
    using Vec = __m256i;
    [[gnu::always_inline]] static Vec load(const unsigned char* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    [[gnu::always_inline]] static void store(unsigned char* p, Vec v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    [[gnu::always_inline]] static Vec zero() { return _mm256_setzero_si256(); }
    [[gnu::always_inline]] static Vec broadcast(std::uint64_t w) {
        return _mm256_set1_epi64x(static_cast<long long>(w));
    }
    [[gnu::always_inline]] static Vec add(Vec a, Vec b) { return _mm256_add_epi64(a, b); }
    [[gnu::always_inline]] static Vec xor2(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
    [[gnu::always_inline]] static Vec xor3(Vec a, Vec b, Vec c) {
        return _mm256_xor_si256(_mm256_xor_si256(a, b), c);
    }
    [[gnu::always_inline]] static Vec multiply_low32(Vec a, Vec b) { return _mm256_mul_epu32(a, b); }
    [[gnu::always_inline]] static Vec high_to_low32(Vec v) { return _mm256_shuffle_epi32(v, _MM_SHUFFLE(0, 3, 0, 1)); }
    [[gnu::always_inline]] static Vec swap_adjacent(Vec v) { return _mm256_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)); }
    template <int N>
    [[gnu::always_inline]] static Vec shift_right(Vec v) {
        return _mm256_srli_epi64(v, N);
    }
    template <int N>
    [[gnu::always_inline]] static Vec shift_left(Vec v) {
        return _mm256_slli_epi64(v, N);
    }
};

using Lanes = generic::VectorLanes<Ops>;

}  // namespace
}  // namespace vantorq::xxhash::avx2
