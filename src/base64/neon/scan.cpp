// The NEON byte scans and symbol counter: 16 bytes per register, tested 64
// at a time where a run is expected to go on. The symbol sets of the decode
// contracts (no extra pair, or "-" "_") are told apart as the decoders'
// nibble tables tell them; other extra pairs by compares.

#include <arm_neon.h>

#include <array>
#include <bit>
#include <cstdint>

#include "base64/decode_contracts.hpp"
#include "base64/generic/keep_shuffles.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::scan::neon {
namespace {

constexpr std::size_t WIDTH = 16;
constexpr std::size_t BLOCK = 64;

[[gnu::always_inline]] inline uint8x16_t splat(unsigned char byte) { return vdupq_n_u8(byte); }

[[gnu::always_inline]] inline bool all_set(uint8x16_t mask) { return vminvq_u8(mask) == 0xFF; }

// Four bits per byte of a mask, byte 0 lowest: a narrowing shift is one
// instruction, where gathering one bit per byte takes several.
[[gnu::always_inline]] inline std::uint64_t nibble_mask(uint8x16_t mask) {
    return vget_lane_u64(vreinterpret_u64_u8(vshrn_n_u16(vreinterpretq_u16_u8(mask), 4)), 0);
}

// Each classifier gives 0xFF in every byte of its class and 0 elsewhere, and
// tests a single byte the same way.
struct Alphanumeric {
    uint8x16_t fold_case = splat(0xDF), letter_base = splat('A'), letter_span = splat(25);
    uint8x16_t digit_base = splat('0'), digit_span = splat(9);

    [[gnu::always_inline]] uint8x16_t operator()(uint8x16_t chars) const {
        const uint8x16_t letter = vcleq_u8(vsubq_u8(vandq_u8(chars, fold_case), letter_base), letter_span);
        return vorrq_u8(letter, vcleq_u8(vsubq_u8(chars, digit_base), digit_span));
    }
    [[gnu::always_inline]] bool operator()(unsigned char byte) const { return is_alphanumeric(byte); }
};

struct WithExtraPair {
    Alphanumeric alphanumeric;
    // "+" (0x2B) and "/" (0x2F) differ in bit 2 alone.
    uint8x16_t fold_slash = splat(0xFB), plus = splat('+');
    uint8x16_t first, second;
    ExtraSymbols extra;

    explicit WithExtraPair(ExtraSymbols pair) : first(splat(pair.first)), second(splat(pair.second)), extra(pair) {}

    [[gnu::always_inline]] uint8x16_t operator()(uint8x16_t chars) const {
        const uint8x16_t pair = vorrq_u8(vceqq_u8(chars, first), vceqq_u8(chars, second));
        const uint8x16_t plus_slash = vceqq_u8(vandq_u8(chars, fold_slash), plus);
        return vorrq_u8(alphanumeric(chars), vorrq_u8(pair, plus_slash));
    }
    [[gnu::always_inline]] bool operator()(unsigned char byte) const { return is_symbol(byte, extra); }
};

// A byte is a symbol of the contract when its two nibble classes share no bit.
template <class Contract>
struct ContractSymbols {
    uint8x16_t low = vld1q_u8(Contract::LOW_NIBBLE_CLASSES.data());
    uint8x16_t high = vld1q_u8(Contract::HIGH_NIBBLE_CLASSES.data());
    uint8x16_t nibble = splat(0x0F);
    ExtraSymbols extra;

    explicit ContractSymbols(ExtraSymbols pair) : extra(pair) {}

    [[gnu::always_inline]] uint8x16_t operator()(uint8x16_t chars) const {
        const uint8x16_t low_class = vqtbl1q_u8(low, vandq_u8(chars, nibble));
        const uint8x16_t high_class = vqtbl1q_u8(high, vshrq_n_u8(chars, 4));
        return vmvnq_u8(vtstq_u8(low_class, high_class));
    }
    [[gnu::always_inline]] bool operator()(unsigned char byte) const { return is_symbol(byte, extra); }
};

// Runs `body` with the classifier of the symbols of `extra`.
template <class Body>
[[gnu::always_inline]] inline auto with_symbols(ExtraSymbols extra, Body&& body) {
    if (extra.first == 'A' && extra.second == 'A') return body(ContractSymbols<decode::StandardDecoder>(extra));
    if (extra.first == '-' && extra.second == '_') return body(ContractSymbols<decode::MixedDecoder>(extra));
    return body(WithExtraPair(extra));
}

// Whole blocks while they are all in the class; from the block that is not,
// registers, the first one with an outsider giving its position; the partial
// tail byte by byte.
// llvm-mca of the block loop (GCC 12 -O2 -mcpu=neoverse-n1), cycles per 64
// bytes, Neoverse N1 / V1: alphanumeric_prefix 15.2 / 7.7 against 211 / 164
// for the scalar loop; symbol_prefix 13.7 / 10.2 for the contracts' sets and
// 29.2 / 14.8 for another pair, against 187 / 144 (letters only).
template <class Classifier>
[[gnu::always_inline]] inline std::size_t class_prefix(const unsigned char* src, std::size_t len,
                                                       const Classifier& in_class) {
    std::size_t i = 0;
    for (; len - i >= BLOCK; i += BLOCK) {
        const uint8x16x4_t chars = vld1q_u8_x4(src + i);
        const uint8x16_t found = vandq_u8(vandq_u8(in_class(chars.val[0]), in_class(chars.val[1])),
                                          vandq_u8(in_class(chars.val[2]), in_class(chars.val[3])));
        if (!all_set(found)) break;
    }
    for (; len - i >= WIDTH; i += WIDTH) {
        const std::uint64_t found = nibble_mask(in_class(vld1q_u8(src + i)));
        if (found != ~std::uint64_t{0}) return i + static_cast<std::size_t>(std::countr_one(found)) / 4;
    }
    while (i < len && in_class(src[i])) ++i;
    return i;
}

// The kept bytes of one register moved to `dst`, each 8-byte half by its own
// lookup and stored whole, so 16 bytes of room must remain.
[[gnu::always_inline]] inline unsigned char* compact_register(uint8x16_t chars, uint8x16_t keep, unsigned char* dst) {
    static constexpr std::uint8_t BITS[8] = {1, 2, 4, 8, 16, 32, 64, 128};
    const uint8x8_t bits = vld1_u8(BITS);
    const unsigned low = vaddv_u8(vand_u8(vget_low_u8(keep), bits));
    const unsigned high = vaddv_u8(vand_u8(vget_high_u8(keep), bits));
    const uint8x8_t low_indices = vcreate_u8(generic::KEEP_SHUFFLES.indices[low]);
    const uint8x8_t high_indices = vadd_u8(vcreate_u8(generic::KEEP_SHUFFLES.indices[high]), vdup_n_u8(8));
    vst1_u8(dst, vqtbl1_u8(chars, low_indices));
    dst += generic::KEEP_SHUFFLES.counts[low];
    vst1_u8(dst, vqtbl1_u8(chars, high_indices));
    return dst + generic::KEEP_SHUFFLES.counts[high];
}

// Registers of symbols only are stored as they are, others compacted, while
// a register and its room remain; the rest byte by byte. `Checked` stops
// before the first register (or tail byte) that holds a byte that is neither
// a symbol nor allowed noise.
// llvm-mca (GCC 12 -O2 -mcpu=neoverse-n1), cycles per 64 bytes, Neoverse
// N1 / V1: 34.8 / 20.6 for registers of symbols only, 53.4 / 32.7 where
// every register is compacted, against 346 / 260 for the scalar loop;
// checked, 54.6 / 28.8 and 77.0 / 40.7 against 646 / 325.
template <bool Checked, class Classifier>
[[gnu::always_inline]] inline Compacted compact(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                std::size_t room, const Classifier& symbol, AllowedNoise noise) {
    const uint8x16_t noise_bytes[4] = {splat(noise.bytes[0]), splat(noise.bytes[1]), splat(noise.bytes[2]),
                                       splat(noise.bytes[3])};
    const auto is_noise = [&](unsigned char byte) {
        return byte == noise.bytes[0] || byte == noise.bytes[1] || byte == noise.bytes[2] || byte == noise.bytes[3];
    };
    unsigned char* const start = dst;
    unsigned char* const end = dst + room;
    const auto written = [&] { return static_cast<std::size_t>(dst - start); };
    std::size_t i = 0;
    for (; len - i >= WIDTH && static_cast<std::size_t>(end - dst) >= WIDTH; i += WIDTH) {
        const uint8x16_t chars = vld1q_u8(src + i);
        const uint8x16_t keep = symbol(chars);
        if (all_set(keep)) {
            vst1q_u8(dst, chars);
            dst += WIDTH;
            continue;
        }
        if constexpr (Checked) {
            const uint8x16_t noisy = vorrq_u8(vorrq_u8(vceqq_u8(chars, noise_bytes[0]), vceqq_u8(chars, noise_bytes[1])),
                                              vorrq_u8(vceqq_u8(chars, noise_bytes[2]), vceqq_u8(chars, noise_bytes[3])));
            if (!all_set(vorrq_u8(keep, noisy))) return {i, written(), true};
        }
        dst = compact_register(chars, keep, dst);
    }
    for (; i < len && dst != end; ++i) {
        const bool kept = symbol(src[i]);
        if (Checked && !kept && !is_noise(src[i])) return {i, written(), true};
        *dst = src[i];
        dst += kept ? 1 : 0;
    }
    return {i, written(), false};
}

// Byte counters hold at most 255: a block adds up to 4 to each.
constexpr std::size_t BLOCKS_PER_SUM = 63;

// Every byte lane counts its own symbols (a match is -1, so subtracting it
// adds one), summed across lanes every 63 blocks.
// llvm-mca (GCC 12 -O2 -mcpu=neoverse-n1), cycles per 64 bytes, Neoverse
// N1 / V1: 13.7 / 9.2 for the contracts' sets and 29.2 / 14.4 for another
// pair, against 46.9 / 23.9 for symbol_count_scalar, which GCC vectorizes.
template <class Classifier>
[[gnu::always_inline]] inline std::size_t count_symbols(const unsigned char* src, std::size_t len,
                                                        const Classifier& symbol, ExtraSymbols extra) {
    std::size_t count = 0, i = 0;
    while (len - i >= BLOCK) {
        uint8x16_t lanes = vdupq_n_u8(0);
        for (std::size_t step = 0; step < BLOCKS_PER_SUM && len - i >= BLOCK; ++step, i += BLOCK) {
            const uint8x16x4_t chars = vld1q_u8_x4(src + i);
            const uint8x16_t matches = vaddq_u8(vaddq_u8(symbol(chars.val[0]), symbol(chars.val[1])),
                                                vaddq_u8(symbol(chars.val[2]), symbol(chars.val[3])));
            lanes = vsubq_u8(lanes, matches);
        }
        count += vaddlvq_u8(lanes);
    }
    return count + symbol_count_scalar(src + i, len - i, extra);
}

}  // namespace

std::size_t alphanumeric_prefix(const unsigned char* src, std::size_t len) {
    return class_prefix(src, len, Alphanumeric{});
}

std::size_t symbol_prefix(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    return with_symbols(extra, [&](const auto& symbol) { return class_prefix(src, len, symbol); });
}

// Four registers per step: in a loop of single registers, llvm-mca has each
// step wait for the address update of the last one's store (48 cycles per
// 64 bytes on Neoverse N1).
// llvm-mca (GCC 12 -O2 -mcpu=neoverse-n1), cycles per 64 bytes, Neoverse
// N1 / V1: 18.1 / 16.1 against 132 / 70 for the scalar loop.
void translate(unsigned char* data, std::size_t len, ByteMapping mapping) {
    const uint8x16_t from_first = splat(mapping.from_first), to_first = splat(mapping.to_first);
    const uint8x16_t from_second = splat(mapping.from_second), to_second = splat(mapping.to_second);
    const auto mapped = [&](uint8x16_t chars) {
        const uint8x16_t first = vbslq_u8(vceqq_u8(chars, from_first), to_first, chars);
        return vbslq_u8(vceqq_u8(chars, from_second), to_second, first);
    };
    std::size_t i = 0;
    for (; len - i >= BLOCK; i += BLOCK) {
        const uint8x16x4_t chars = vld1q_u8_x4(data + i);
        vst1q_u8_x4(data + i, {{mapped(chars.val[0]), mapped(chars.val[1]), mapped(chars.val[2]), mapped(chars.val[3])}});
    }
    for (; len - i >= WIDTH; i += WIDTH) vst1q_u8(data + i, mapped(vld1q_u8(data + i)));
    for (; i < len; ++i) {
        const unsigned char byte = data[i];
        data[i] = byte == mapping.from_second ? mapping.to_second : byte == mapping.from_first ? mapping.to_first : byte;
    }
}

Compacted compact_symbols(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                          ExtraSymbols extra) {
    return with_symbols(extra, [&](const auto& symbol) { return compact<false>(src, len, dst, room, symbol, {}); });
}

Compacted compact_symbols_checked(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                                  ExtraSymbols extra, AllowedNoise noise) {
    return with_symbols(extra, [&](const auto& symbol) { return compact<true>(src, len, dst, room, symbol, noise); });
}

std::size_t symbol_count(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    return with_symbols(extra, [&](const auto& symbol) { return count_symbols(src, len, symbol, extra); });
}

}  // namespace vantorq::base64::scan::neon
