#pragma once
// The AVX-512 (F, BW, VBMI) steps of decoding 64 characters at a time: one
// two-table byte permutation turns characters into 6-bit values and marks
// the invalid ones, two multiply-adds and a permutation pack 64 values into
// 48 bytes. Shared by the strict decoder and the gathering decoder; every
// definition is private to the including file, compiled for its own flags.

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "base64/alphabet.hpp"

namespace vantorq::base64::avx512_steps {
namespace {

constexpr std::size_t WIDTH = 64;
constexpr std::size_t PACKED_BYTES = WIDTH / 4 * 3;

inline __mmask64 first_lanes(std::size_t count) { return count >= WIDTH ? ~__mmask64{0} : (__mmask64{1} << count) - 1; }

// Bytes 2, 1, 0 of each 32-bit word: the 48 decoded bytes in order.
constexpr std::array<std::uint8_t, 64> GATHER_TRIPLES = [] {
    std::array<std::uint8_t, 64> gather{};
    for (std::uint8_t word = 0; word < 16; ++word) {
        gather[3 * word] = static_cast<std::uint8_t>(4 * word + 2);
        gather[3 * word + 1] = static_cast<std::uint8_t>(4 * word + 1);
        gather[3 * word + 2] = static_cast<std::uint8_t>(4 * word);
    }
    return gather;
}();

struct Tables {
    // A decode table for bytes 0..63 and 64..127: a 6-bit value or 255.
    __m512i low_half;
    __m512i high_half;
    __m512i merge_pairs = _mm512_set1_epi32(0x01400140);
    __m512i merge_quads = _mm512_set1_epi32(0x00011000);
    __m512i gather = _mm512_loadu_si512(GATHER_TRIPLES.data());

    // The first 128 entries of a table.
    explicit Tables(const std::uint8_t* table)
        : low_half(_mm512_loadu_si512(table)), high_half(_mm512_loadu_si512(table + 64)) {}
};

// The lookup reads the low 7 bits of each byte: an invalid entry is 255,
// and a byte from 0x80 on carries the top bit itself.
inline __m512i lookup(__m512i chars, const Tables& t) {
    return _mm512_permutex2var_epi8(t.low_half, chars, t.high_half);
}

// The `kept` lanes of `bytes` moved to the front, in order (VBMI2). A full
// mask takes the register as it is: Bochs' emulation of the instruction, on
// which processors without AVX-512 run these kernels' tests, gives zeros then.
[[gnu::target("avx512vbmi2")]] inline __m512i compress(__mmask64 kept, __m512i bytes) {
    if (kept == ~__mmask64{0}) return bytes;
    return _mm512_maskz_compress_epi8(kept, bytes);
}

inline __m512i pack(__m512i values, const Tables& t) {
    const __m512i merged = _mm512_madd_epi16(_mm512_maddubs_epi16(values, t.merge_pairs), t.merge_quads);
    return _mm512_permutexvar_epi8(t.gather, merged);
}

}  // namespace
}  // namespace vantorq::base64::avx512_steps
