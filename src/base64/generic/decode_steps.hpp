#pragma once
// The decode loop shared by the SSSE3, SSE4.1 and AVX2 tiers (and by the
// AVX-512 tier below one 64-character register): characters are checked
// against the contract with two nibble lookups, turned into 6-bit values by a
// per-row adjustment, and every 4 values are packed into 3 bytes.
//
// Tier files instantiate these templates with register traits that carry
// their own tier tag, so every instantiation stays private to its tier file.
// The steps are always inlined into the loop that runs them: out of line,
// every store through the output pointer could alias the constants and the
// position, which would then be reloaded from memory at each step.

#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base64/decode_contracts.hpp"
#include "base64/error.hpp"
#include "base64/generic/vector_ops.hpp"

namespace vantorq::base64::generic {

// Bytes 2, 1, 0 of every 32-bit lane (the 24 decoded bits, most significant
// first) moved to the bottom of the 128-bit lane; the last 4 bytes are zeroed.
inline constexpr std::array<std::int8_t, 16> GATHER_TRIPLES = {2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1};

template <class Contract, class V>
struct DecodeConstants {
    using Reg = typename V::Reg;

    Reg nibble = V::set1_u8(0x0F);
    Reg low_classes = V::lane_table(Contract::LOW_NIBBLE_CLASSES.data());
    Reg high_classes = V::lane_table(Contract::HIGH_NIBBLE_CLASSES.data());
    Reg adjustments = V::lane_table(Contract::ADJUSTMENTS.data());
    Reg slash = V::set1_u8('/');
    Reg underscore = V::set1_u8('_');
    Reg minus = V::set1_u8('-');
    Reg underscore_correction = V::set1_u8(static_cast<std::uint8_t>(Contract::UNDERSCORE_CORRECTION));
    Reg minus_correction = V::set1_u8(static_cast<std::uint8_t>(Contract::MINUS_CORRECTION));
    // Pairs of values a, b become a * 64 + b; pairs of those ab, cd become ab * 4096 + cd.
    Reg merge_pairs = V::set1_u32(0x01400140);
    Reg merge_quads = V::set1_u32(0x00011000);
    Reg gather = V::lane_table(GATHER_TRIPLES.data());
};

template <class Contract, class V>
[[gnu::always_inline]] inline typename V::Reg high_nibbles(typename V::Reg chars, const DecodeConstants<Contract, V>& k) {
    return V::bit_and(V::template shift_right_u32<4>(chars), k.nibble);
}

// Non-zero in every byte that is not a symbol of the contract.
template <class Contract, class V>
[[gnu::always_inline]] inline typename V::Reg invalid_bytes(typename V::Reg chars, const DecodeConstants<Contract, V>& k) {
    const auto low = V::shuffle_u8(k.low_classes, V::bit_and(chars, k.nibble));
    const auto high = V::shuffle_u8(k.high_classes, high_nibbles(chars, k));
    return V::bit_and(low, high);
}

// The 6-bit value of every character; only meaningful for valid characters.
template <class Contract, class V>
[[gnu::always_inline]] inline typename V::Reg values_of(typename V::Reg chars, const DecodeConstants<Contract, V>& k) {
    auto row = high_nibbles(chars, k);
    // The compare gives -1 for "/", moving it to the row below.
    if constexpr (Contract::SLASH_USES_ROW_BELOW) row = V::add_u8(row, V::cmpeq_u8(chars, k.slash));
    auto values = V::add_u8(chars, V::shuffle_u8(k.adjustments, row));
    if constexpr (Contract::UNDERSCORE_CORRECTION != 0) {
        values = V::add_u8(values, V::bit_and(V::cmpeq_u8(chars, k.underscore), k.underscore_correction));
    }
    if constexpr (Contract::MINUS_CORRECTION != 0) {
        values = V::add_u8(values, V::bit_and(V::cmpeq_u8(chars, k.minus), k.minus_correction));
    }
    return values;
}

// Every 4 values into 3 bytes, gathered at the bottom of the register: 12
// bytes per 128-bit lane, and for 256-bit registers the two lanes' 12 bytes
// joined into 24 by a cross-lane move of 32-bit words.
template <class Contract, class V>
[[gnu::always_inline]] inline typename V::Reg pack(typename V::Reg values, const DecodeConstants<Contract, V>& k) {
    const auto merged = V::madd_i16(V::maddubs_u8(values, k.merge_pairs), k.merge_quads);
    const auto gathered = V::shuffle_u8(merged, k.gather);
    if constexpr (V::WIDTH == 32) {
        return _mm256_permutevar8x32_epi32(gathered, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    } else {
        return gathered;
    }
}

// The store policy of every decoder: a step writes exactly the bytes it
// decodes, so a destination of the decoded length is never overrun.
struct ExactStore {
    unsigned char* out;

    // The 3/4 of a register that pack() filled.
    template <class V>
    [[gnu::always_inline]] inline void put(typename V::Reg packed) {
        if constexpr (V::WIDTH == 32) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
        } else {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
            const int last = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
            std::memcpy(out + 8, &last, 4);
        }
        out += V::WIDTH / 4 * 3;
    }

    // A whole register, whose unused last quarter the next step overwrites;
    // only for a step that another step of the same group follows.
    template <class V>
    [[gnu::always_inline]] inline void put_overlapping(typename V::Reg packed) {
        V::storeu(out, packed);
        out += V::WIDTH / 4 * 3;
    }
};

enum class DecodeKind {
    Decode,    // all or nothing: an invalid block fails the call
    Prefix,    // stops before the first block that holds an invalid byte
    Validate,  // tests only
};

struct BlockRun {
    std::size_t consumed;
    bool invalid;  // stopped by an invalid block (never set for Prefix)
};

// One register of characters per step while a whole register remains;
// false when a step met an invalid byte (then nothing of it was stored).
template <DecodeKind Kind, class Contract, class V>
[[gnu::always_inline]] inline bool run_steps(const unsigned char* src, std::size_t len, std::size_t& i, ExactStore& out,
               const DecodeConstants<Contract, V>& k) {
    for (; len - i >= V::WIDTH; i += V::WIDTH) {
        const auto chars = V::loadu(src + i);
        if constexpr (Contract::CHECKS_INPUT) {
            if (!V::all_zero(invalid_bytes(chars, k))) return false;
        }
        if constexpr (Kind != DecodeKind::Validate) out.put<V>(pack(values_of(chars, k), k));
    }
    return true;
}

// Four registers per step, tested together before any of them is stored.
template <DecodeKind Kind, class Contract, class V>
[[gnu::always_inline]] inline bool run_groups(const unsigned char* src, std::size_t len, std::size_t& i, ExactStore& out,
                const DecodeConstants<Contract, V>& k) {
    for (; len - i >= 4 * V::WIDTH; i += 4 * V::WIDTH) {
        const auto a = V::loadu(src + i);
        const auto b = V::loadu(src + i + V::WIDTH);
        const auto c = V::loadu(src + i + 2 * V::WIDTH);
        const auto d = V::loadu(src + i + 3 * V::WIDTH);
        if constexpr (Contract::CHECKS_INPUT) {
            const auto ab = V::bit_or(invalid_bytes(a, k), invalid_bytes(b, k));
            const auto cd = V::bit_or(invalid_bytes(c, k), invalid_bytes(d, k));
            if (!V::all_zero(V::bit_or(ab, cd))) return false;
        }
        if constexpr (Kind != DecodeKind::Validate) {
            out.put_overlapping<V>(pack(values_of(a, k), k));
            out.put_overlapping<V>(pack(values_of(b, k), k));
            out.put_overlapping<V>(pack(values_of(c, k), k));
            out.put<V>(pack(values_of(d, k), k));
        }
    }
    return true;
}

// Groups of four Wide registers, then single Wide registers, then single
// Narrow registers. A prefix run goes on to the narrower steps after a
// failing group or step, so it stops exactly before the first failing Narrow
// block; the other kinds give up at once.
template <DecodeKind Kind, class Contract, class Wide, class Narrow>
BlockRun run_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    constexpr bool give_up = Kind != DecodeKind::Prefix;
    ExactStore out{dst};
    std::size_t i = 0;
    const DecodeConstants<Contract, Wide> wide;
    if (!run_groups<Kind>(src, len, i, out, wide) && give_up) return {i, true};
    bool clean = run_steps<Kind>(src, len, i, out, wide);
    if constexpr (Narrow::WIDTH != Wide::WIDTH) {
        if (!clean && give_up) return {i, true};
        clean = run_steps<Kind>(src, len, i, out, DecodeConstants<Contract, Narrow>{});
    }
    return {i, give_up && !clean};
}

[[gnu::always_inline]] inline error::DecodeResult decode_result(BlockRun run) {
    if (run.invalid) return {error::DecodeResult::INVALID_INPUT, 0, 0};
    return {error::DecodeResult::SUCCESS, run.consumed, run.consumed / 4 * 3};
}

[[gnu::always_inline]] inline error::DecodeResult validate_result(BlockRun run) {
    if (run.invalid) return {error::DecodeResult::INVALID_INPUT, 0, 0};
    return {error::DecodeResult::SUCCESS, run.consumed, 0};
}

template <class Contract, class Wide, class Narrow>
error::DecodeResult decode_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    return decode_result(run_blocks<DecodeKind::Decode, Contract, Wide, Narrow>(src, len, dst));
}

template <class Contract, class Wide, class Narrow>
decode::DecodedPrefix decode_prefix_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    const std::size_t consumed = run_blocks<DecodeKind::Prefix, Contract, Wide, Narrow>(src, len, dst).consumed;
    return {consumed, consumed / 4 * 3};
}

template <class Contract, class Wide, class Narrow>
error::DecodeResult validate_blocks(const unsigned char* src, std::size_t len) {
    return validate_result(run_blocks<DecodeKind::Validate, Contract, Wide, Narrow>(src, len, nullptr));
}

}  // namespace vantorq::base64::generic
