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
#include <utility>

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

// Every 4 values into 3 bytes, gathered at the bottom of each 128-bit lane:
// 12 bytes per lane. The lanes are stored apart rather than joined by a
// cross-lane permutation, which costs more than the second store on AMD cores.
template <class Contract, class V>
[[gnu::always_inline]] inline typename V::Reg pack(typename V::Reg values, const DecodeConstants<Contract, V>& k) {
    const auto merged = V::madd_i16(V::maddubs_u8(values, k.merge_pairs), k.merge_quads);
    return V::shuffle_u8(merged, k.gather);
}

// The store policy of every decoder: a step writes exactly the bytes it
// decodes, so a destination of the decoded length is never overrun.
struct ExactStore {
    static constexpr std::size_t LANE_BYTES = 12;

    unsigned char* out;

    // The 12 bytes of every lane that pack() filled; the last lane with an
    // 8-byte and a 4-byte store, the others whole (the next lane overwrites
    // their unused 4 bytes).
    template <class V>
    [[gnu::always_inline]] inline void put(typename V::Reg packed) {
        if constexpr (V::LANES == 2) store_lane(out, V::template lane<0>(packed));
        const __m128i last = V::template lane<V::LANES - 1>(packed);
        unsigned char* at = out + (V::LANES - 1) * LANE_BYTES;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(at), last);
        const int tail = _mm_cvtsi128_si32(_mm_srli_si128(last, 8));
        std::memcpy(at + 8, &tail, 4);
        out += V::LANES * LANE_BYTES;
    }

    // Every lane whole, 4 bytes past the decoded ones; only for a step that
    // another step is sure to follow.
    template <class V>
    [[gnu::always_inline]] inline void put_overlapping(typename V::Reg packed) {
        store_lane(out, V::template lane<0>(packed));
        if constexpr (V::LANES == 2) store_lane(out + LANE_BYTES, V::template lane<1>(packed));
        out += V::LANES * LANE_BYTES;
    }

private:
    [[gnu::always_inline]] static inline void store_lane(unsigned char* at, __m128i lane) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), lane);
    }
};

enum class DecodeKind {
    Decode,    // all or nothing: an invalid block fails the call
    Prefix,    // stops before the first block that holds an invalid byte
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
        out.put<V>(pack(values_of(chars, k), k));
    }
    return true;
}

// Characters per group: four 128-bit or two 256-bit registers. Four 256-bit
// registers keep more values alive than the 16 vector registers hold, and
// their spills cost more than the extra test of a second group.
inline constexpr std::size_t GROUP_CHARS = 64;

// The registers of a group, tested together before any of them is stored.
// Decoding stores even a group's last register whole while at least 16
// characters follow: a later step overwrites the spill, or the call fails and
// its output is discarded. A prefix run may end before that step, so there
// the last register is stored exactly.
template <DecodeKind Kind, class Contract, class V, std::size_t... R>
[[gnu::always_inline]] inline bool run_groups(const unsigned char* src, std::size_t len, std::size_t& i, ExactStore& out,
                                              const DecodeConstants<Contract, V>& k, std::index_sequence<R...>) {
    constexpr std::size_t last = sizeof...(R) - 1;
    constexpr bool spill_last = Kind == DecodeKind::Decode;
    constexpr std::size_t reserve = spill_last ? 16 : 0;
    for (; len - i >= GROUP_CHARS + reserve; i += GROUP_CHARS) {
        const typename V::Reg chars[] = {V::loadu(src + i + R * V::WIDTH)...};
        if constexpr (Contract::CHECKS_INPUT) {
            auto invalid = invalid_bytes(chars[0], k);
            ((invalid = R == 0 ? invalid : V::bit_or(invalid, invalid_bytes(chars[R], k))), ...);
            if (!V::all_zero(invalid)) return false;
        }
        const auto put = [&](typename V::Reg packed, bool whole) {
            if (whole) out.put_overlapping<V>(packed);
            else out.put<V>(packed);
        };
        (put(pack(values_of(chars[R], k), k), spill_last || R != last), ...);
    }
    return true;
}

// Groups of Wide registers, then single Wide registers, then single
// Narrow registers. A prefix run goes on to the narrower steps after a
// failing group or step, so it stops exactly before the first failing Narrow
// block; the other kinds give up at once.
template <DecodeKind Kind, class Contract, class Wide, class Narrow>
BlockRun run_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    constexpr bool give_up = Kind != DecodeKind::Prefix;
    ExactStore out{dst};
    std::size_t i = 0;
    const DecodeConstants<Contract, Wide> wide;
    constexpr auto group = std::make_index_sequence<GROUP_CHARS / Wide::WIDTH>();
    if (!run_groups<Kind>(src, len, i, out, wide, group) && give_up) return {i, true};
    bool clean = run_steps<Kind>(src, len, i, out, wide);
    if constexpr (Narrow::WIDTH != Wide::WIDTH) {
        if (!clean && give_up) return {i, true};
        clean = run_steps<Kind>(src, len, i, out, DecodeConstants<Contract, Narrow>{});
    }
    return {i, give_up && !clean};
}

[[gnu::always_inline]] inline error::KernelResult decode_result(BlockRun run) {
    if (run.invalid) return error::KernelResult::invalid_input();
    return error::KernelResult::success(run.consumed, run.consumed / 4 * 3);
}

template <class Contract, class Wide, class Narrow>
error::KernelResult decode_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    return decode_result(run_blocks<DecodeKind::Decode, Contract, Wide, Narrow>(src, len, dst));
}

template <class Contract, class Wide, class Narrow>
decode::DecodedPrefix decode_prefix_blocks(const unsigned char* src, std::size_t len, unsigned char* dst) {
    const std::size_t consumed = run_blocks<DecodeKind::Prefix, Contract, Wide, Narrow>(src, len, dst).consumed;
    return {consumed, consumed / 4 * 3};
}

}  // namespace vantorq::base64::generic
