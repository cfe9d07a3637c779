// Decoding noisy text in one pass (AVX-512 F, BW, VBMI, VBMI2): each block
// of 64 characters is looked up once, its symbols' values compressed in a
// register and joined to the values still waiting from earlier blocks; every
// 64 values so gathered are packed and stored at once. No staging copy, and
// no second lookup of the gathered symbols.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

// GCC 12's byte-permutation intrinsics start from an "undefined" register and
// trip -Wmaybe-uninitialized on every use; the value is fully overwritten.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "base64/avx512/decode_steps.hpp"
#include "base64/decode_tiers.hpp"

namespace vantorq::base64::decode::avx512 {
namespace {

using avx512_steps::PACKED_BYTES;
using avx512_steps::WIDTH;

// Byte m is (m - 64) mod 128: a 64-byte window from m = 64 + s holds the
// indices j + s (mod 128) for j = 0..63, which select, in a two-register
// permutation, the first register where they are below 64 and the second
// above: how waiting values and new ones are lined up without a shift.
constexpr std::array<std::uint8_t, 256> WINDOW_INDICES = [] {
    std::array<std::uint8_t, 256> indices{};
    for (unsigned m = 0; m < 256; ++m) indices[m] = static_cast<std::uint8_t>((m - 64) & 127);
    return indices;
}();

__m512i window(std::size_t start) { return _mm512_loadu_si512(WINDOW_INDICES.data() + start); }

// The lookup value of allowed noise: bit 6 tells it from a symbol, and its
// clear top bit from a byte that is not allowed.
constexpr std::uint8_t NOISE_VALUE = 0x40;

// Line separators longer than this ("\r\n" and a little more) are left to gather_blocks.
constexpr std::size_t MAX_SEPARATOR = 4;
// Shorter lines cost more checked one by one than gathered by blocks.
constexpr std::size_t MIN_LINE = 32;

// The waiting values sit at the top of `waiting` (its last `count` bytes),
// so that both joins below are a single permutation with window indices:
// - the next 64 in order: lane j < count takes waiting[64 - count + j], lane
//   j >= count the new value j - count (the window from 64 - count);
// - the values still waiting after the block, again at the top: lane j takes
//   new value j + kept - 64 where that is not negative, else waiting[j + kept]
//   (the window from 128 + kept).
// With `Checked`, `table` gives allowed noise NOISE_VALUE; a byte whose
// lookup (or itself) has the top bit set stops the decoding.
template <bool Checked>
DecodedPrefix gather_blocks(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t capacity,
                            const std::uint8_t* table) {
    const avx512_steps::Tables t(table);
    const __m512i not_symbol = _mm512_set1_epi8(static_cast<char>(INVALID_SYMBOL_BIT | NOISE_VALUE));
    const __m512i top_bit = _mm512_set1_epi8(static_cast<char>(0x80));
    const __mmask64 packed_lanes = avx512_steps::first_lanes(PACKED_BYTES);
    __m512i waiting = _mm512_setzero_si512();
    std::size_t count = 0, written = 0, i = 0;
    // The block that completed the last group, its symbols, and how many of
    // them the group took: where the decoded text ends, found once at the end.
    std::size_t last_block = 0, last_taken = 0;
    __mmask64 last_symbols = 0;
    for (; len - i >= WIDTH && capacity - written >= PACKED_BYTES; i += WIDTH) {
        const __m512i chars = _mm512_loadu_si512(src + i);
        const __m512i values = avx512_steps::lookup(chars, t);
        // The value, with the byte's own top bit (0x80 and up are no symbols).
        const __m512i marked = _mm512_ternarylogic_epi32(values, chars, top_bit, 0xF8);
        if constexpr (Checked) {
            if (_mm512_movepi8_mask(marked) != 0) break;
        }
        const __mmask64 symbols = _mm512_testn_epi8_mask(marked, not_symbol);
        const std::size_t kept = static_cast<std::size_t>(std::popcount(symbols));
        const __m512i fresh = avx512_steps::compress(symbols, values);
        const __m512i group = _mm512_permutex2var_epi8(fresh, window(WIDTH - count), waiting);
        if (count + kept < WIDTH) {
            waiting = _mm512_permutex2var_epi8(fresh, window(2 * WIDTH + kept), waiting);
            count += kept;
            continue;
        }
        // Only new values wait after a full group.
        waiting = _mm512_permutexvar_epi8(window(2 * WIDTH + kept), fresh);
        _mm512_mask_storeu_epi8(dst + written, packed_lanes, avx512_steps::pack(group, t));
        last_block = i;
        last_taken = WIDTH - count;
        last_symbols = symbols;
        written += PACKED_BYTES;
        count = count + kept - WIDTH;
    }
    if (written == 0) return {};
    // Past the last symbol taken: drop the symbols before it, then it.
    for (std::size_t skip = last_taken - 1; skip != 0; --skip) last_symbols &= last_symbols - 1;
    return {last_block + static_cast<std::size_t>(std::countr_zero(last_symbols)) + 1, written};
}

// Text in lines of `line` symbols (a multiple of 4), each followed by the
// same number of other bytes, as encoders wrap it: each line is checked in at
// most two registers and decoded where it stands, with no compress and no
// join. Stops at the first line that differs (the last one, or noise of
// another shape) and leaves it to gather_blocks.
template <bool Checked>
DecodedPrefix decode_lines(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t capacity,
                           const std::uint8_t* table, std::size_t line, std::size_t separator) {
    const avx512_steps::Tables t(table);
    const __m512i not_symbol = _mm512_set1_epi8(static_cast<char>(INVALID_SYMBOL_BIT | NOISE_VALUE));
    const __m512i top_bit = _mm512_set1_epi8(static_cast<char>(0x80));
    const std::size_t stride = line + separator;
    const auto lanes = [](std::size_t from, std::size_t to) {
        return avx512_steps::first_lanes(to) & ~avx512_steps::first_lanes(from);
    };
    const auto high = [](std::size_t n) { return n > WIDTH ? n - WIDTH : 0; };
    // Per register: the lanes loaded, the lanes that must not be symbols, the bytes decoded.
    const __mmask64 loaded[2] = {lanes(0, stride), lanes(0, high(stride))};
    const __mmask64 separators[2] = {lanes(line, stride), lanes(high(line), high(stride))};
    const std::size_t bytes[2] = {(line < WIDTH ? line : WIDTH) / 4 * 3, high(line) / 4 * 3};
    // Checked: the marks that the lookup must give, lane by lane (noise on
    // the separators, a symbol elsewhere), told apart in one compare.
    const __m512i noise_mark = _mm512_set1_epi8(static_cast<char>(NOISE_VALUE));
    const __m512i marks[2] = {_mm512_maskz_mov_epi8(separators[0], noise_mark),
                              _mm512_maskz_mov_epi8(separators[1], noise_mark)};
    std::size_t i = 0, written = 0;
    for (; len - i >= stride && capacity - written >= bytes[0] + bytes[1]; i += stride) {
        __m512i values[2];
        bool fits = true;
        for (int r = 0; r < 2; ++r) {
            // Whole loads while the text goes on: the lanes past the line are never used.
            const __m512i chars = len - i >= 2 * WIDTH ? _mm512_loadu_si512(src + i + r * WIDTH)
                                                       : _mm512_maskz_loadu_epi8(loaded[r], src + i + r * WIDTH);
            values[r] = avx512_steps::lookup(chars, t);
            const __m512i marked = _mm512_ternarylogic_epi32(values[r], chars, top_bit, 0xF8);
            if constexpr (Checked)
                fits &= _mm512_mask_cmpneq_epi8_mask(loaded[r], _mm512_and_si512(marked, not_symbol), marks[r]) == 0;
            else
                fits &= (_mm512_test_epi8_mask(marked, not_symbol) & loaded[r]) == separators[r];
        }
        if (!fits) break;
        _mm512_mask_storeu_epi8(dst + written, avx512_steps::first_lanes(bytes[0]), avx512_steps::pack(values[0], t));
        _mm512_mask_storeu_epi8(dst + written + bytes[0], avx512_steps::first_lanes(bytes[1]),
                                avx512_steps::pack(values[1], t));
        written += bytes[0] + bytes[1];
    }
    return {i, written};
}

// Lines are tried where the text follows a clean run of `line` symbols:
// the bytes that are not symbols after it give the separator.
template <bool Checked>
DecodedPrefix gather(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t capacity,
                     const std::uint8_t* table, std::size_t line) {
    DecodedPrefix lines{};
    std::size_t separator = 0;
    const auto not_symbol = [&](unsigned char byte) { return byte >= 0x80 || !is_symbol_value(table[byte]); };
    while (separator < MAX_SEPARATOR && separator < len && not_symbol(src[separator])) {
        if (Checked && (src[separator] >= 0x80 || table[src[separator]] != NOISE_VALUE)) break;
        ++separator;
    }
    if (line >= MIN_LINE && line % 4 == 0 && separator != 0 && line + separator <= 2 * WIDTH && separator < len) {
        lines = decode_lines<Checked>(src + separator, len - separator, dst, capacity, table, line, separator);
        if (lines.written != 0) lines.consumed += separator;
    }
    const DecodedPrefix rest = gather_blocks<Checked>(src + lines.consumed, len - lines.consumed,
                                                      dst + lines.written, capacity - lines.written, table);
    return {lines.consumed + rest.consumed, lines.written + rest.written};
}

}  // namespace

DecodedPrefix decode_gathered_prefix(const unsigned char* src, std::size_t len, unsigned char* dst,
                                     std::size_t capacity, DecodeAlphabet alphabet,
                                     std::optional<scan::AllowedNoise> noise, std::size_t line) {
    const DecodeTable& table = decode_table(alphabet);
    if (!noise) return gather<false>(src, len, dst, capacity, table.data(), line);
    std::array<std::uint8_t, 128> checked;
    std::copy_n(table.begin(), checked.size(), checked.begin());
    for (const unsigned char byte : noise->bytes) {
        // Noise from 0x80 on is left to the byte scans.
        if (byte >= checked.size()) return {};
        if (!is_symbol_value(checked[byte])) checked[byte] = NOISE_VALUE;
    }
    return gather<true>(src, len, dst, capacity, checked.data(), line);
}

}  // namespace vantorq::base64::decode::avx512
