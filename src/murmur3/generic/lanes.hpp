#pragma once
// The few vector operations the block-mixing kernels need, at 128 bits
// (SSE4.1) and 256 bits (AVX2), and the step loop they share. Each kernel is
// written once over a lane type and compiled once per tier; a tier file
// instantiates it with a type of its own anonymous namespace, so no copy
// compiled for a newer instruction set can be shared with an older caller.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace vantorq::murmur3::generic {

// A 128-bit pattern of four 32-bit words, lane 0 first, repeated over a register.
struct Pattern32 {
    std::uint32_t w0, w1, w2, w3;
};

// A 128-bit pattern of two 64-bit words, lane 0 first.
struct Pattern64 {
    std::uint64_t w0, w1;
};

struct Lanes128 {
    using Reg = __m128i;
    static constexpr std::size_t BYTES = 16;

    [[gnu::always_inline]] static Reg load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    [[gnu::always_inline]] static void store(void* p, Reg v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

    [[gnu::always_inline]] static Reg repeat(Pattern32 p) {
        return _mm_setr_epi32(static_cast<int>(p.w0), static_cast<int>(p.w1), static_cast<int>(p.w2),
                              static_cast<int>(p.w3));
    }
    [[gnu::always_inline]] static Reg repeat(Pattern64 p) {
        return _mm_set_epi64x(static_cast<long long>(p.w1), static_cast<long long>(p.w0));
    }

    [[gnu::always_inline]] static Reg bit_or(Reg a, Reg b) { return _mm_or_si128(a, b); }
    [[gnu::always_inline]] static Reg add64(Reg a, Reg b) { return _mm_add_epi64(a, b); }
    [[gnu::always_inline]] static Reg mul32(Reg a, Reg b) { return _mm_mullo_epi32(a, b); }
    // 64-bit products of the low 32-bit halves of each 64-bit lane.
    [[gnu::always_inline]] static Reg mul_low_halves(Reg a, Reg b) { return _mm_mul_epu32(a, b); }
    template <int N>
    [[gnu::always_inline]] static Reg shl32(Reg a) { return _mm_slli_epi32(a, N); }
    template <int N>
    [[gnu::always_inline]] static Reg shr32(Reg a) { return _mm_srli_epi32(a, N); }
    template <int N>
    [[gnu::always_inline]] static Reg shl64(Reg a) { return _mm_slli_epi64(a, N); }
    template <int N>
    [[gnu::always_inline]] static Reg shr64(Reg a) { return _mm_srli_epi64(a, N); }

    // Rotates lane i of each four 32-bit lanes left by Ri. SSE4.1 has no
    // per-lane shift: x * 2^r as a 64-bit product holds x << r in its low
    // word and x >> (32 - r) in its high word, and their OR is the rotation.
    template <int R0, int R1, int R2, int R3>
    [[gnu::always_inline]] static Reg rotl32(Reg x) {
        const Reg powers = repeat(Pattern32{1u << R0, 1u << R1, 1u << R2, 1u << R3});
        const Reg even = _mm_mul_epu32(x, powers);
        const Reg odd = _mm_mul_epu32(_mm_srli_epi64(x, 32), _mm_srli_epi64(powers, 32));
        const Reg high_words = _mm_blend_epi16(_mm_srli_epi64(even, 32), odd, 0xcc);
        return _mm_or_si128(_mm_mullo_epi32(x, powers), high_words);
    }

    // Rotates the two 64-bit lanes left by R0 and R1.
    template <int R0, int R1>
    [[gnu::always_inline]] static Reg rotl64(Reg x) {
        const Reg by_r0 = _mm_or_si128(_mm_slli_epi64(x, R0), _mm_srli_epi64(x, 64 - R0));
        const Reg by_r1 = _mm_or_si128(_mm_slli_epi64(x, R1), _mm_srli_epi64(x, 64 - R1));
        return _mm_blend_epi16(by_r0, by_r1, 0xf0);
    }
};

#if defined(__AVX2__)
struct Lanes256 {
    using Reg = __m256i;
    static constexpr std::size_t BYTES = 32;

    [[gnu::always_inline]] static Reg load(const unsigned char* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    [[gnu::always_inline]] static void store(void* p, Reg v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }

    [[gnu::always_inline]] static Reg repeat(Pattern32 p) {
        return _mm256_broadcastsi128_si256(Lanes128::repeat(p));
    }
    [[gnu::always_inline]] static Reg repeat(Pattern64 p) {
        return _mm256_broadcastsi128_si256(Lanes128::repeat(p));
    }

    [[gnu::always_inline]] static Reg bit_or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    [[gnu::always_inline]] static Reg add64(Reg a, Reg b) { return _mm256_add_epi64(a, b); }
    [[gnu::always_inline]] static Reg mul32(Reg a, Reg b) { return _mm256_mullo_epi32(a, b); }
    [[gnu::always_inline]] static Reg mul_low_halves(Reg a, Reg b) { return _mm256_mul_epu32(a, b); }
    template <int N>
    [[gnu::always_inline]] static Reg shl32(Reg a) { return _mm256_slli_epi32(a, N); }
    template <int N>
    [[gnu::always_inline]] static Reg shr32(Reg a) { return _mm256_srli_epi32(a, N); }
    template <int N>
    [[gnu::always_inline]] static Reg shl64(Reg a) { return _mm256_slli_epi64(a, N); }
    template <int N>
    [[gnu::always_inline]] static Reg shr64(Reg a) { return _mm256_srli_epi64(a, N); }

    template <int R0, int R1, int R2, int R3>
    [[gnu::always_inline]] static Reg rotl32(Reg x) {
        const Reg left = repeat(Pattern32{R0, R1, R2, R3});
        const Reg right = repeat(Pattern32{32 - R0, 32 - R1, 32 - R2, 32 - R3});
        return _mm256_or_si256(_mm256_sllv_epi32(x, left), _mm256_srlv_epi32(x, right));
    }

    template <int R0, int R1>
    [[gnu::always_inline]] static Reg rotl64(Reg x) {
        const Reg left = repeat(Pattern64{R0, R1});
        const Reg right = repeat(Pattern64{64 - R0, 64 - R1});
        return _mm256_or_si256(_mm256_sllv_epi64(x, left), _mm256_srlv_epi64(x, right));
    }
};
#endif

// Rotation of every 32-bit lane by the same count: two shifts, no multiply.
template <class L, int R>
[[gnu::always_inline]] inline typename L::Reg rotl32_uniform(typename L::Reg x) {
    return L::bit_or(L::template shl32<R>(x), L::template shr32<32 - R>(x));
}

// 64-bit lane product modulo 2^64 from 32 x 32 -> 64-bit products: the
// high x high term lies wholly above bit 64 and drops out.
template <class L>
[[gnu::always_inline]] inline typename L::Reg mul64(typename L::Reg a, typename L::Reg b) {
    const auto low = L::mul_low_halves(a, b);
    const auto cross =
        L::add64(L::mul_low_halves(a, L::template shr64<32>(b)), L::mul_low_halves(L::template shr64<32>(a), b));
    return L::add64(low, L::template shl64<32>(cross));
}

// The fold should read stored keys back with plain loads: lane extracts
// would compete with the serial fold for the integer ports. The empty
// statement claims to rewrite the keys, so the compiler cannot turn the
// loads into extracts of the registers it stored.
template <typename Keys>
[[gnu::always_inline]] inline void reload_from_memory(Keys& keys) {
    __asm__("" : "+m"(keys));
}

// Mixes the keys of the whole vectors at the front of a body, four vectors a
// step while four fit, then one: `mix` turns loaded blocks into mixed keys and
// `fold` takes the stored keys of the step in input order (a pointer to
// `Word`s and their count). Returns the bytes consumed; fewer than one
// vector's worth of blocks remain for the caller's scalar step.
template <class L, typename Word, class Mix, class Fold>
[[gnu::always_inline]] inline std::size_t mix_vector_steps(const unsigned char* blocks, std::size_t byte_count, Mix mix,
                                                    Fold fold) {
    constexpr std::size_t UNROLL = 4;
    constexpr std::size_t WORDS = L::BYTES / sizeof(Word);
    alignas(32) Word keys[UNROLL * WORDS];
    std::size_t done = 0;
    for (; byte_count - done >= UNROLL * L::BYTES; done += UNROLL * L::BYTES) {
        for (std::size_t i = 0; i < UNROLL; ++i) L::store(keys + i * WORDS, mix(L::load(blocks + done + i * L::BYTES)));
        reload_from_memory(keys);
        fold(keys, UNROLL * WORDS);
    }
    for (; byte_count - done >= L::BYTES; done += L::BYTES) {
        L::store(keys, mix(L::load(blocks + done)));
        reload_from_memory(keys);
        fold(keys, WORDS);
    }
    return done;
}

}  // namespace vantorq::murmur3::generic
