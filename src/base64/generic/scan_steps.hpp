#pragma once
// The byte scans shared by the SSE2 and AVX2 members, written once over the
// register traits of vector_ops.hpp (their SSE2 members only where the tier is
// SSE2). Tier files instantiate them with their own tier tag.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base64/decode_contracts.hpp"
#include "base64/generic/decode_steps.hpp"
#include "base64/generic/keep_shuffles.hpp"
#include "base64/generic/vector_ops.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::generic {

template <class V>
struct SymbolClasses {
    using Reg = typename V::Reg;

    Reg fold_case = V::set1_u8(0xDF);
    Reg letter_base = V::set1_u8('A');
    Reg letter_span = V::set1_u8(25);
    Reg digit_base = V::set1_u8('0');
    Reg digit_span = V::set1_u8(9);
    // "+" (0x2B) and "/" (0x2F) differ in bit 2 alone.
    Reg fold_slash = V::set1_u8(0xFB);
    Reg plus = V::set1_u8('+');
    Reg extra_first;
    Reg extra_second;

    explicit SymbolClasses(scan::ExtraSymbols extra = {})
        : extra_first(V::set1_u8(extra.first)), extra_second(V::set1_u8(extra.second)) {}
};

// x <= span, unsigned: the only unsigned byte compare SSE2 has is min.
template <class V>
[[gnu::always_inline]] inline typename V::Reg within(typename V::Reg x, typename V::Reg span) {
    return V::cmpeq_u8(V::min_u8(x, span), x);
}

// 0xFF in every byte that is a letter or a digit (plus "+", "/" and the extra
// pair with `Symbols`), 0 elsewhere.
template <bool Symbols, class V>
[[gnu::always_inline]] inline typename V::Reg class_bytes(typename V::Reg chars, const SymbolClasses<V>& k) {
    const auto letter = within<V>(V::sub_u8(V::bit_and(chars, k.fold_case), k.letter_base), k.letter_span);
    const auto digit = within<V>(V::sub_u8(chars, k.digit_base), k.digit_span);
    auto found = V::bit_or(letter, digit);
    if constexpr (Symbols) {
        found = V::bit_or(found, V::cmpeq_u8(V::bit_and(chars, k.fold_slash), k.plus));
        found = V::bit_or(found, V::bit_or(V::cmpeq_u8(chars, k.extra_first), V::cmpeq_u8(chars, k.extra_second)));
    }
    return found;
}

template <bool Symbols>
[[gnu::always_inline]] inline bool in_class(unsigned char byte, scan::ExtraSymbols extra) {
    if constexpr (Symbols) return scan::is_symbol(byte, extra);
    return scan::is_alphanumeric(byte);
}

// Whole registers while they are all in the class; the register that is not
// gives the position of its first outsider; the partial tail byte by byte.
template <bool Symbols, class V>
[[gnu::always_inline]] inline std::size_t class_prefix(const unsigned char* src, std::size_t len,
                                                       scan::ExtraSymbols extra) {
    const SymbolClasses<V> k(extra);
    constexpr std::uint32_t ALL = static_cast<std::uint32_t>((std::uint64_t{1} << V::WIDTH) - 1);
    std::size_t i = 0;
    for (; len - i >= V::WIDTH; i += V::WIDTH) {
        const std::uint32_t found = V::movemask(class_bytes<Symbols, V>(V::loadu(src + i), k));
        if (found != ALL) return i + static_cast<std::size_t>(std::countr_one(found));
    }
    while (i < len && in_class<Symbols>(src[i], extra)) ++i;
    return i;
}

template <class V>
[[gnu::always_inline]] inline void translate_bytes(unsigned char* data, std::size_t len, scan::ByteMapping m) {
    const auto from_first = V::set1_u8(m.from_first), to_first = V::set1_u8(m.to_first);
    const auto from_second = V::set1_u8(m.from_second), to_second = V::set1_u8(m.to_second);
    const auto select = [](typename V::Reg mask, typename V::Reg yes, typename V::Reg no) {
        return V::bit_or(V::bit_and(mask, yes), V::andnot(mask, no));
    };
    std::size_t i = 0;
    for (; len - i >= V::WIDTH; i += V::WIDTH) {
        const auto chars = V::loadu(data + i);
        const auto first = select(V::cmpeq_u8(chars, from_first), to_first, chars);
        V::storeu(data + i, select(V::cmpeq_u8(chars, from_second), to_second, first));
    }
    for (; i < len; ++i) {
        const unsigned char byte = data[i];
        data[i] = byte == m.from_second ? m.to_second : byte == m.from_first ? m.to_first : byte;
    }
}

// The kept bytes of one 16-byte block moved to `dst` with one byte shuffle;
// each 8-byte half is stored whole, so 16 bytes of room must remain.
[[gnu::always_inline]] inline unsigned char* compact_block_shuffled(__m128i chars, std::uint32_t keep,
                                                                     unsigned char* dst) {
    const unsigned low = keep & 0xFF, high = keep >> 8 & 0xFF;
    const __m128i second_half = _mm_set1_epi8(8);
    const __m128i indices = _mm_unpacklo_epi64(
        _mm_cvtsi64_si128(static_cast<long long>(KEEP_SHUFFLES.indices[low])),
        _mm_add_epi8(_mm_cvtsi64_si128(static_cast<long long>(KEEP_SHUFFLES.indices[high])), second_half));
    const __m128i packed = _mm_shuffle_epi8(chars, indices);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), packed);
    dst += KEEP_SHUFFLES.counts[low];
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_unpackhi_epi64(packed, packed));
    return dst + KEEP_SHUFFLES.counts[high];
}

// The kept bytes of a block, one byte at a time without branches: for tiers
// without a byte shuffle. Needs as much room as the block is long.
[[gnu::always_inline]] inline unsigned char* compact_block_bytewise(const unsigned char* src, std::size_t width,
                                                                     std::uint32_t keep, unsigned char* dst) {
    for (std::size_t j = 0; j < width; ++j) {
        *dst = src[j];
        dst += keep >> j & 1;
    }
    return dst;
}

// Classifiers for compaction: the symbols with any extra pair (SSE2 ops
// only), or exactly the symbols of a decode contract, found with two byte
// shuffles as the decoders test them (half the operations).
template <class V>
struct ExtraClassifier {
    SymbolClasses<V> k;
    explicit ExtraClassifier(scan::ExtraSymbols extra) : k(extra) {}
    [[gnu::always_inline]] typename V::Reg symbols(typename V::Reg chars) const { return class_bytes<true, V>(chars, k); }
};

template <class V, class Contract>
struct ContractClassifier {
    DecodeConstants<Contract, V> k;
    typename V::Reg zero = V::set1_u8(0);
    explicit ContractClassifier(scan::ExtraSymbols) {}
    [[gnu::always_inline]] typename V::Reg symbols(typename V::Reg chars) const {
        return V::cmpeq_u8(invalid_bytes(chars, k), zero);
    }
};

template <class V>
struct NoiseClasses {
    typename V::Reg bytes[4];
    explicit NoiseClasses(scan::AllowedNoise noise)
        : bytes{V::set1_u8(noise.bytes[0]), V::set1_u8(noise.bytes[1]), V::set1_u8(noise.bytes[2]),
                V::set1_u8(noise.bytes[3])} {}
};

[[gnu::always_inline]] inline bool allowed_noise(unsigned char byte, scan::AllowedNoise noise) {
    return byte == noise.bytes[0] || byte == noise.bytes[1] || byte == noise.bytes[2] || byte == noise.bytes[3];
}

// Whole registers: a block of symbols only is stored as it is, another one
// compacted. The partial tail and the last registers that the room cannot
// take whole go byte by byte. `Checked` stops before the first block that
// holds a byte that is neither a symbol nor allowed noise.
template <class V, bool Shuffle, bool Checked, class Classifier = ExtraClassifier<V>>
[[gnu::always_inline]] inline scan::Compacted compact_symbols(const unsigned char* src, std::size_t len,
                                                              unsigned char* dst, std::size_t room,
                                                              scan::ExtraSymbols extra, scan::AllowedNoise noise) {
    const Classifier classifier(extra);
    const NoiseClasses<V> n(noise);
    constexpr std::uint32_t ALL = static_cast<std::uint32_t>((std::uint64_t{1} << V::WIDTH) - 1);
    unsigned char* const start = dst;
    unsigned char* const end = dst + room;
    const auto stopped = [&](std::size_t at) { return scan::Compacted{at, static_cast<std::size_t>(dst - start), true}; };
    std::size_t i = 0;
    for (; len - i >= V::WIDTH && static_cast<std::size_t>(end - dst) >= V::WIDTH; i += V::WIDTH) {
        const auto chars = V::loadu(src + i);
        const auto symbols = classifier.symbols(chars);
        const std::uint32_t keep = V::movemask(symbols);
        if (keep == ALL) {
            V::storeu(dst, chars);
            dst += V::WIDTH;
            continue;
        }
        if constexpr (Checked) {
            auto allowed = V::bit_or(symbols, V::cmpeq_u8(chars, n.bytes[0]));
            for (int b = 1; b < 4; ++b) allowed = V::bit_or(allowed, V::cmpeq_u8(chars, n.bytes[b]));
            if (V::movemask(allowed) != ALL) return stopped(i);
        }
        if constexpr (Shuffle) {
            dst = compact_block_shuffled(V::template lane<0>(chars), keep, dst);
            if constexpr (V::LANES == 2) dst = compact_block_shuffled(V::template lane<1>(chars), keep >> 16, dst);
        } else {
            dst = compact_block_bytewise(src + i, V::WIDTH, keep, dst);
        }
    }
    for (; i < len && dst != end; ++i) {
        const bool symbol = scan::is_symbol(src[i], extra);
        if (Checked && !symbol && !allowed_noise(src[i], noise)) return stopped(i);
        *dst = src[i];
        dst += symbol ? 1 : 0;
    }
    return {i, static_cast<std::size_t>(dst - start), false};
}

}  // namespace vantorq::base64::generic
