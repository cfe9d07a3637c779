#pragma once
// Register-width traits for the generic encode, decode and scan steps: the same
// algorithm body runs on 128-bit (SSE2, SSSE3, SSE4.1) and 256-bit (AVX2)
// registers. An SSE2 tier uses only the members that SSE2 has.
//
// Every trait is a template over the including file's tier tag, a type in that
// file's anonymous namespace. Each instantiation is therefore private to its
// tier file: the linker can never hand an AVX2-compiled copy to an SSSE3 caller.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace vantorq::base64::generic {

template <class Tier>
struct Vec128 {
    using Reg = __m128i;
    static constexpr std::size_t WIDTH = 16;
    static constexpr std::size_t LANES = 1;

    static Reg loadu(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    static void storeu(void* p, Reg v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
    // A 16-byte table; the same in every 128-bit lane.
    static Reg lane_table(const void* p) { return loadu(p); }
    static Reg set1_u32(std::uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
    static Reg set1_u8(std::uint8_t x) { return _mm_set1_epi8(static_cast<char>(x)); }
    static Reg bit_and(Reg a, Reg b) { return _mm_and_si128(a, b); }
    static Reg bit_or(Reg a, Reg b) { return _mm_or_si128(a, b); }
    static Reg mulhi_u16(Reg a, Reg b) { return _mm_mulhi_epu16(a, b); }
    static Reg mullo_u16(Reg a, Reg b) { return _mm_mullo_epi16(a, b); }
    static Reg subs_u8(Reg a, Reg b) { return _mm_subs_epu8(a, b); }
    static Reg cmpgt_i8(Reg a, Reg b) { return _mm_cmpgt_epi8(a, b); }
    static Reg add_u8(Reg a, Reg b) { return _mm_add_epi8(a, b); }
    static Reg sub_u8(Reg a, Reg b) { return _mm_sub_epi8(a, b); }
    static Reg shuffle_u8(Reg table, Reg index) { return _mm_shuffle_epi8(table, index); }
    static Reg cmpeq_u8(Reg a, Reg b) { return _mm_cmpeq_epi8(a, b); }
    static Reg min_u8(Reg a, Reg b) { return _mm_min_epu8(a, b); }
    // ~a & b
    static Reg andnot(Reg a, Reg b) { return _mm_andnot_si128(a, b); }
    // The top bit of every byte, byte 0 in bit 0.
    static std::uint32_t movemask(Reg a) { return static_cast<std::uint32_t>(_mm_movemask_epi8(a)); }
    template <int Bits>
    static Reg shift_right_u32(Reg a) { return _mm_srli_epi32(a, Bits); }
    // Adjacent unsigned bytes of `a` times signed bytes of `b`, summed into 16 bits.
    static Reg maddubs_u8(Reg a, Reg b) { return _mm_maddubs_epi16(a, b); }
    // Adjacent 16-bit products summed into 32 bits.
    static Reg madd_i16(Reg a, Reg b) { return _mm_madd_epi16(a, b); }
    // SSSE3 has no vector test: compare with zero and gather the byte masks.
    static bool all_zero(Reg a) { return _mm_movemask_epi8(_mm_cmpeq_epi8(a, _mm_setzero_si128())) == 0xFFFF; }
    template <std::size_t Lane>
    static __m128i lane(Reg a) {
        static_assert(Lane == 0);
        return a;
    }
};

template <class Tier>
struct Vec256 {
    using Reg = __m256i;
    static constexpr std::size_t WIDTH = 32;
    static constexpr std::size_t LANES = 2;

    static Reg loadu(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    static void storeu(void* p, Reg v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
    // Requires a 32-byte aligned destination.
    static void stream(void* p, Reg v) { _mm256_stream_si256(static_cast<__m256i*>(p), v); }
    static Reg lane_table(const void* p) {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(p)));
    }
    static Reg set1_u32(std::uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
    static Reg set1_u8(std::uint8_t x) { return _mm256_set1_epi8(static_cast<char>(x)); }
    static Reg bit_and(Reg a, Reg b) { return _mm256_and_si256(a, b); }
    static Reg bit_or(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    static Reg mulhi_u16(Reg a, Reg b) { return _mm256_mulhi_epu16(a, b); }
    static Reg mullo_u16(Reg a, Reg b) { return _mm256_mullo_epi16(a, b); }
    static Reg subs_u8(Reg a, Reg b) { return _mm256_subs_epu8(a, b); }
    static Reg cmpgt_i8(Reg a, Reg b) { return _mm256_cmpgt_epi8(a, b); }
    static Reg add_u8(Reg a, Reg b) { return _mm256_add_epi8(a, b); }
    static Reg sub_u8(Reg a, Reg b) { return _mm256_sub_epi8(a, b); }
    static Reg shuffle_u8(Reg table, Reg index) { return _mm256_shuffle_epi8(table, index); }
    static Reg cmpeq_u8(Reg a, Reg b) { return _mm256_cmpeq_epi8(a, b); }
    static Reg min_u8(Reg a, Reg b) { return _mm256_min_epu8(a, b); }
    static Reg andnot(Reg a, Reg b) { return _mm256_andnot_si256(a, b); }
    static std::uint32_t movemask(Reg a) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(a)); }
    template <int Bits>
    static Reg shift_right_u32(Reg a) { return _mm256_srli_epi32(a, Bits); }
    static Reg maddubs_u8(Reg a, Reg b) { return _mm256_maddubs_epi16(a, b); }
    static Reg madd_i16(Reg a, Reg b) { return _mm256_madd_epi16(a, b); }
    static bool all_zero(Reg a) { return _mm256_testz_si256(a, a) != 0; }
    // One 128-bit half, 0 the low one.
    template <std::size_t Lane>
    static __m128i lane(Reg a) {
        if constexpr (Lane == 0) return _mm256_castsi256_si128(a);
        else return _mm256_extracti128_si256(a, Lane);
    }
};

}  // namespace vantorq::base64::generic
