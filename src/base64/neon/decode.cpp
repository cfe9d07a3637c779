// The NEON decoders: 64 characters per step, de-interleaved by the load so
// that register k holds character k of 16 quanta, translated by two table
// lookups over the contract's 128 ASCII entries, and packed with shifts that
// insert bits. A tail of 16 to 63 characters, and the blocks after a failing
// step of a prefix run, go 16 characters at a time, so that every run stops
// where the other narrow tiers stop (decode_tiers.hpp).

#include <arm_neon.h>

#include <array>
#include <cstdint>

#include "base64/decode_tiers.hpp"

namespace vantorq::base64::decode::neon {
namespace {

constexpr std::size_t STEP_CHARS = 64;
constexpr std::size_t NARROW_CHARS = 16;

// A contract's decode table as the two lookups read it: `low` for the
// characters 0..63; `high[k]` for the character 63 + k, with 0 at k = 0,
// where every character below 64 lands. Characters from 127 on land past
// `high`, where the second lookup keeps the index itself: 64 or more, like
// every invalid entry.
struct SplitTable {
    std::array<std::uint8_t, 64> low{};
    std::array<std::uint8_t, 64> high{};
};

constexpr SplitTable split(const DecodeTable& table) {
    SplitTable split;
    for (std::size_t c = 0; c < 64; ++c) split.low[c] = table[c];
    for (std::size_t k = 1; k < 64; ++k) split.high[k] = table[63 + k];
    return split;
}

inline constexpr SplitTable STANDARD_SPLIT = split(STANDARD_DECODE_TABLE);
inline constexpr SplitTable URL_SAFE_SPLIT = split(URL_SAFE_DECODE_TABLE);
inline constexpr SplitTable MIXED_SPLIT = split(MIXED_DECODE_TABLE);

template <class Contract>
constexpr const SplitTable& split_of() {
    if constexpr (Contract::ALPHABET == DecodeAlphabet::Standard) return STANDARD_SPLIT;
    else if constexpr (Contract::ALPHABET == DecodeAlphabet::UrlSafe) return URL_SAFE_SPLIT;
    else return MIXED_SPLIT;
}

struct Lookup {
    uint8x16x4_t low;
    uint8x16x4_t high;
    uint8x16_t above_low = vdupq_n_u8(63);

    explicit Lookup(const SplitTable& table)
        : low(vld1q_u8_x4(table.low.data())), high(vld1q_u8_x4(table.high.data())) {}
};

// The value of every character; 64 or more for a character outside the contract.
[[gnu::always_inline]] inline uint8x16_t values_of(uint8x16_t chars, const Lookup& k) {
    const uint8x16_t upper = vqsubq_u8(chars, k.above_low);
    return vorrq_u8(vqtbl4q_u8(k.low, chars), vqtbx4q_u8(upper, k.high, upper));
}

[[gnu::always_inline]] inline bool all_values(uint8x16_t values) { return vmaxvq_u8(values) < 64; }

// Characters k of 16 quanta in register k: bytes 0, 1 and 2 of each quantum
// in registers 0, 1 and 2, which the interleaving store puts in place.
// Inserting a shifted register keeps the low bits of the other: their
// right-shifted values hold no more than those bits.
[[gnu::always_inline]] inline uint8x16x3_t pack_64(const uint8x16x4_t& v) {
    return {{vsliq_n_u8(vshrq_n_u8(v.val[1], 4), v.val[0], 2), vsliq_n_u8(vshrq_n_u8(v.val[2], 2), v.val[1], 4),
             vsliq_n_u8(v.val[3], v.val[2], 6)}};
}

// 16 values in character order into 12 bytes at the bottom of the register:
// pairs of 6-bit values into 12 bits, pairs of those into 24, whose three
// bytes are gathered most significant first.
[[gnu::always_inline]] inline uint8x16_t pack_16(uint8x16_t values) {
    static constexpr std::uint8_t GATHER[16] = {2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, 255, 255, 255, 255};
    const uint16x8_t pairs = vreinterpretq_u16_u8(values);
    const uint16x8_t twelve = vsraq_n_u16(vshrq_n_u16(pairs, 8), vshlq_n_u16(pairs, 8), 2);
    const uint32x4_t quads = vreinterpretq_u32_u16(twelve);
    const uint32x4_t merged = vsraq_n_u32(vshrq_n_u32(quads, 16), vshlq_n_u32(quads, 16), 4);
    return vqtbl1q_u8(vreinterpretq_u8_u32(merged), vld1q_u8(GATHER));
}

[[gnu::always_inline]] inline void store_12(unsigned char* dst, uint8x16_t packed) {
    vst1_u8(dst, vget_low_u8(packed));
    vst1q_lane_u32(reinterpret_cast<std::uint32_t*>(dst + 8), vreinterpretq_u32_u8(packed), 2);
}

// Decodes whole 64- then 16-character blocks; every step stores exactly what
// it decodes, and only once the block is known valid. `Prefix` goes on to
// the 16-character steps after a failing wide step and stops before the
// first failing one; otherwise `failed` is set at the first invalid block.
// llvm-mca of the loops (GCC 12 -O2 -mcpu=neoverse-n1), cycles per 64
// characters, standard contract: Neoverse N1 31.7 for the wide step and
// 53.3 for four narrow ones against 153 for the scalar loop; Neoverse V1
// 19.9 and 29.8 against 102. GCC 12 keeps the two tables on the stack and
// reloads them every step; they still fit the load ports.
template <class Contract, bool Prefix>
[[gnu::always_inline]] inline std::size_t run_blocks(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                     bool& failed) {
    const Lookup k(split_of<Contract>());
    std::size_t i = 0;
    for (; len - i >= STEP_CHARS; i += STEP_CHARS, dst += STEP_CHARS / 4 * 3) {
        const uint8x16x4_t chars = vld4q_u8(src + i);
        const uint8x16x4_t values{{values_of(chars.val[0], k), values_of(chars.val[1], k),
                                   values_of(chars.val[2], k), values_of(chars.val[3], k)}};
        if constexpr (Contract::CHECKS_INPUT) {
            const uint8x16_t any = vorrq_u8(vorrq_u8(values.val[0], values.val[1]), vorrq_u8(values.val[2], values.val[3]));
            if (!all_values(any)) {
                if constexpr (!Prefix) {
                    failed = true;
                    return i;
                }
                break;
            }
        }
        vst3q_u8(dst, pack_64(values));
    }
    for (; len - i >= NARROW_CHARS; i += NARROW_CHARS, dst += NARROW_CHARS / 4 * 3) {
        const uint8x16_t values = values_of(vld1q_u8(src + i), k);
        if (Contract::CHECKS_INPUT && !all_values(values)) {
            failed = !Prefix;
            return i;
        }
        store_12(dst, pack_16(values));
    }
    return i;
}

}  // namespace

template <class Contract>
error::KernelResult decode(const unsigned char* src, std::size_t len, unsigned char* dst) {
    bool failed = false;
    const std::size_t consumed = run_blocks<Contract, false>(src, len, dst, failed);
    if (failed) return error::KernelResult::invalid_input();
    return error::KernelResult::success(consumed, consumed / 4 * 3);
}

template <class Contract>
DecodedPrefix decode_prefix(const unsigned char* src, std::size_t len, unsigned char* dst) {
    bool failed = false;
    const std::size_t consumed = run_blocks<Contract, true>(src, len, dst, failed);
    return {consumed, consumed / 4 * 3};
}

template error::KernelResult decode<StandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::KernelResult decode<UrlSafeDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::KernelResult decode<MixedDecoder>(const unsigned char*, std::size_t, unsigned char*);
template error::KernelResult decode<ValidatedStandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template DecodedPrefix decode_prefix<StandardDecoder>(const unsigned char*, std::size_t, unsigned char*);
template DecodedPrefix decode_prefix<MixedDecoder>(const unsigned char*, std::size_t, unsigned char*);

}  // namespace vantorq::base64::decode::neon
