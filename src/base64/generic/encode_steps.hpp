#pragma once
// The encoding step shared by the SSSE3 and AVX2 tiers: 3-byte groups spread
// over 32-bit lanes become four 6-bit values, and a 16-entry offset table,
// indexed by a class computed from the value, turns each into its character.
// Tier files include this and instantiate it with their own tier tag.

#include <array>
#include <cstddef>
#include <cstdint>

#include "base64/alphabet.hpp"
#include "base64/generic/vector_ops.hpp"

namespace vantorq::base64::generic {

// Picks source bytes 0..11 so that each 32-bit lane holds one group as b1 b0 b2 b1.
inline constexpr std::array<std::uint8_t, 16> SPREAD_GROUPS = {1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10};
// The same for 12 source bytes that start at byte 4 of the lane.
inline constexpr std::array<std::uint8_t, 16> SPREAD_GROUPS_AFTER_4 = {5,  4,  6,  5,  8,  7,  9,  8,
                                                                      11, 10, 12, 11, 14, 13, 15, 14};

template <class V>
struct EncodeConstants {
    using Reg = typename V::Reg;

    // Bits 23..18 and 11..6 of each group, moved down by a 16-bit multiply-high.
    Reg first_fields_mask = V::set1_u32(0x0FC0FC00);
    Reg first_fields_shift = V::set1_u32(0x04000040);
    // Bits 17..12 and 5..0, moved up by a 16-bit multiply-low.
    Reg second_fields_mask = V::set1_u32(0x003F03F0);
    Reg second_fields_shift = V::set1_u32(0x01000010);
    // Class of a value: 0 for 0..25, 1 for 26..51, 2..11 for the digits, 12 and 13 for 62 and 63.
    Reg digits_start = V::set1_u8(51);
    Reg last_capital = V::set1_u8(25);
    Reg offsets;

    explicit EncodeConstants(const OffsetTable& table) : offsets(V::lane_table(table.data())) {}
};

// Each 32-bit lane of `spread` holds a group as b1 b0 b2 b1; returns the four
// characters of every group in output order.
template <class V>
typename V::Reg groups_to_chars(typename V::Reg spread, const EncodeConstants<V>& k) {
    const auto first = V::mulhi_u16(V::bit_and(spread, k.first_fields_mask), k.first_fields_shift);
    const auto second = V::mullo_u16(V::bit_and(spread, k.second_fields_mask), k.second_fields_shift);
    const auto values = V::bit_or(first, second);
    // The compare gives -1 for letters 26..51 and beyond; subtracting it adds 1.
    const auto classes = V::sub_u8(V::subs_u8(values, k.digits_start), V::cmpgt_i8(values, k.last_capital));
    return V::add_u8(values, V::shuffle_u8(k.offsets, classes));
}

// 12 source bytes into 16 characters; reads 16 bytes.
template <class V128>
typename V128::Reg encode_12(const unsigned char* src, const EncodeConstants<V128>& k) {
    static_assert(V128::WIDTH == 16);
    return groups_to_chars<V128>(V128::shuffle_u8(V128::loadu(src), V128::loadu(SPREAD_GROUPS.data())), k);
}

// 12-byte steps while 16 source bytes remain; returns the new position.
template <class V128, class Out>
std::size_t encode_12_steps(const unsigned char* src, std::size_t n, std::size_t i, Out& out,
                            const EncodeConstants<V128>& k) {
    for (; n - i >= 16; i += 12) out.template put<V128>(encode_12(src + i, k));
    return i;
}

template <class V256>
typename V256::Reg spread_pair(const std::array<std::uint8_t, 16>& low, const std::array<std::uint8_t, 16>& high) {
    return _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(high.data())),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(low.data())));
}

// The first 24 source bytes into 32 characters, reading 32 bytes from `src`:
// 64-bit lanes 0, 1, 1, 2 put bytes 0..15 in the low lane and 8..23 in the high one.
template <class V256>
typename V256::Reg encode_24_first(const unsigned char* src, const EncodeConstants<V256>& k) {
    const auto lanes = _mm256_permute4x64_epi64(V256::loadu(src), 0x94);
    return groups_to_chars<V256>(V256::shuffle_u8(lanes, spread_pair<V256>(SPREAD_GROUPS, SPREAD_GROUPS_AFTER_4)), k);
}

// 24 source bytes that start 4 bytes after `shifted` into 32 characters: the
// load puts source bytes 0..11 at the top of the low lane and 12..23 at the
// bottom of the high lane, so no cross-lane move is needed.
template <class V256>
typename V256::Reg encode_24_shifted(const unsigned char* shifted, const EncodeConstants<V256>& k) {
    return groups_to_chars<V256>(
        V256::shuffle_u8(V256::loadu(shifted), spread_pair<V256>(SPREAD_GROUPS_AFTER_4, SPREAD_GROUPS)), k);
}

}  // namespace vantorq::base64::generic
