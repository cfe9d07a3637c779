// Compiled with AVX-512 F, DQ and VL.

#include "murmur3/avx512/hash_each.hpp"

#include <immintrin.h>

#include "murmur3/interleaved.hpp"

namespace vantorq::murmur3::avx512 {
namespace {

using interleaved::Message;
constexpr std::size_t ROWS = 8;

[[gnu::always_inline]] inline __m512i multiply(__m512i a, std::uint64_t c) {
    return _mm512_mullo_epi64(a, _mm512_set1_epi64(static_cast<long long>(c)));
}

// h * 5 + c as a shift and two adds, leaving the multiplier to the keys
// (a multiply here measured no faster).
[[gnu::always_inline]] inline __m512i times5_plus(__m512i h, std::uint32_t c) {
    return _mm512_add_epi64(_mm512_slli_epi64(h, 2), _mm512_add_epi64(h, _mm512_set1_epi64(c)));
}

// The 16-byte blocks at `offset` of four messages, one per 128-bit quarter.
[[gnu::always_inline]] inline __m512i load_blocks(const std::array<Message, ROWS>& messages, std::size_t first,
                                                  std::size_t offset) {
    const auto block = [&](std::size_t r) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(messages[first + r].data() + offset));
    };
    const __m256i low = _mm256_inserti128_si256(_mm256_castsi128_si256(block(0)), block(1), 1);
    const __m256i high = _mm256_inserti128_si256(_mm256_castsi128_si256(block(2)), block(3), 1);
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

// The common blocks of eight messages, x64_128's block mix in the eight
// 64-bit lanes of one register per state word (h1, h2) and per key (k1, k2).
// The lanes hold rows 0, 4, 1, 5, 2, 6, 3, 7: the order in which the 64-bit
// unpacks split the quarters of two registers of (h1, h2) or (k1, k2) pairs,
// rows 0-3 in one and 4-7 in the other, into one register of each word.
struct EightLanes {
    [[gnu::always_inline]] static void mix_common(std::array<x64_128::State, ROWS>& h,
                                                  const std::array<Message, ROWS>& messages, std::size_t common) {
        using namespace x64_128;
        static_assert(sizeof(h) == 2 * sizeof(__m512i));
        const __m512i rows_low = _mm512_loadu_si512(h.data());
        const __m512i rows_high = _mm512_loadu_si512(h.data() + ROWS / 2);
        __m512i h1 = _mm512_unpacklo_epi64(rows_low, rows_high);
        __m512i h2 = _mm512_unpackhi_epi64(rows_low, rows_high);
        for (std::size_t i = 0; i < common; i += BLOCK_SIZE) {
            const __m512i blocks_low = load_blocks(messages, 0, i);
            const __m512i blocks_high = load_blocks(messages, ROWS / 2, i);
            __m512i k1 = _mm512_unpacklo_epi64(blocks_low, blocks_high);
            __m512i k2 = _mm512_unpackhi_epi64(blocks_low, blocks_high);
            k1 = multiply(_mm512_rol_epi64(multiply(k1, C1), KEY_ROTATION[0]), C2);
            k2 = multiply(_mm512_rol_epi64(multiply(k2, C2), KEY_ROTATION[1]), C1);
            h1 = _mm512_xor_si512(h1, k1);
            h1 = times5_plus(_mm512_add_epi64(_mm512_rol_epi64(h1, STATE_ROTATION[0]), h2), STATE_ADD[0]);
            h2 = _mm512_xor_si512(h2, k2);
            h2 = times5_plus(_mm512_add_epi64(_mm512_rol_epi64(h2, STATE_ROTATION[1]), h1), STATE_ADD[1]);
        }
        _mm512_storeu_si512(h.data(), _mm512_unpacklo_epi64(h1, h2));
        _mm512_storeu_si512(h.data() + ROWS / 2, _mm512_unpackhi_epi64(h1, h2));
    }
};

}  // namespace

void hash_each_x64_128(x64_128::Messages messages, std::uint32_t seed, x64_128::State* out,
                       const Kernels& table) {
    interleaved::hash_each<variants::X64_128, ROWS, EightLanes>(messages, seed, out, table);
}

}  // namespace vantorq::murmur3::avx512
