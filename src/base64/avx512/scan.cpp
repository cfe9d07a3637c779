// The AVX-512 byte scans (F, BW, VBMI, VBMI2): 64 bytes per step, classified
// with one 128-entry table lookup, compacted with a register compress, and
// the partial tail read and written with masks instead of byte by byte.
#include <immintrin.h>

#include <array>
#include <bit>
#include <cstdint>

#include "base64/alphabet.hpp"
#include "base64/avx512/decode_steps.hpp"
#include "base64/scan.hpp"

// GCC 12's byte-permutation intrinsics start from an "undefined" register and
// trip -Wmaybe-uninitialized on every use; the value is fully overwritten.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace vantorq::base64::scan::avx512 {
namespace {

constexpr std::size_t WIDTH = 64;
constexpr __mmask64 ALL = ~__mmask64{0};

__mmask64 first_lanes(std::size_t count) { return count >= WIDTH ? ALL : (__mmask64{1} << count) - 1; }

// A table over bytes 0..127 whose entries have the top bit set for the bytes
// outside a class: A-Z, a-z and 0-9 here; the decode tables serve for the
// symbol sets.
constexpr std::array<std::uint8_t, 128> ALPHANUMERIC_TABLE = [] {
    std::array<std::uint8_t, 128> table{};
    for (unsigned byte = 0; byte < 128; ++byte)
        table[byte] = is_alphanumeric(static_cast<unsigned char>(byte)) ? 0 : 0x80;
    return table;
}();

// The bytes of a class, found with one lookup (of the low 7 bits) whose top
// bit, ORed with the byte's own, marks an outsider; with `Extras`, the extra
// pair is compared on top.
template <bool Extras>
struct Classifier {
    __m512i low_half, high_half, first, second;

    Classifier(const std::uint8_t* table, ExtraSymbols extra)
        : low_half(_mm512_loadu_si512(table)),
          high_half(_mm512_loadu_si512(table + 64)),
          first(_mm512_set1_epi8(static_cast<char>(extra.first))),
          second(_mm512_set1_epi8(static_cast<char>(extra.second))) {}

    [[gnu::always_inline]] __mmask64 members(__m512i chars) const {
        const __m512i entries = _mm512_permutex2var_epi8(low_half, chars, high_half);
        const __mmask64 found = ~_mm512_movepi8_mask(_mm512_or_si512(entries, chars));
        if constexpr (!Extras) return found;
        return found | _mm512_cmpeq_epi8_mask(chars, first) | _mm512_cmpeq_epi8_mask(chars, second);
    }
};

// Runs `body` with the classifier of the symbols with this extra pair: the
// decode contracts' own tables need no compare.
template <class Body>
[[gnu::always_inline]] inline auto with_symbol_classifier(ExtraSymbols extra, Body&& body) {
    if (extra.first == 'A' && extra.second == 'A') return body(Classifier<false>(STANDARD_DECODE_TABLE.data(), extra));
    if (extra.first == '-' && extra.second == '_') return body(Classifier<false>(MIXED_DECODE_TABLE.data(), extra));
    return body(Classifier<true>(STANDARD_DECODE_TABLE.data(), extra));
}

// Whole registers while they are all in the class, then one masked register.
template <class Members>
[[gnu::always_inline]] inline std::size_t class_prefix(const unsigned char* src, std::size_t len,
                                                       const Members& classifier) {
    std::size_t i = 0;
    for (; len - i >= WIDTH; i += WIDTH) {
        const __mmask64 outside = ~classifier.members(_mm512_loadu_si512(src + i));
        if (outside != 0) return i + static_cast<std::size_t>(std::countr_zero(outside));
    }
    if (i == len) return i;
    const __mmask64 loaded = first_lanes(len - i);
    const __mmask64 outside = ~classifier.members(_mm512_maskz_loadu_epi8(loaded, src + i)) & loaded;
    return outside != 0 ? i + static_cast<std::size_t>(std::countr_zero(outside)) : len;
}

struct NoiseBytes {
    __m512i bytes[4];
    explicit NoiseBytes(AllowedNoise noise)
        : bytes{_mm512_set1_epi8(static_cast<char>(noise.bytes[0])),
                _mm512_set1_epi8(static_cast<char>(noise.bytes[1])),
                _mm512_set1_epi8(static_cast<char>(noise.bytes[2])),
                _mm512_set1_epi8(static_cast<char>(noise.bytes[3]))} {}
    [[gnu::always_inline]] __mmask64 members(__m512i chars) const {
        return _mm512_cmpeq_epi8_mask(chars, bytes[0]) | _mm512_cmpeq_epi8_mask(chars, bytes[1]) |
               _mm512_cmpeq_epi8_mask(chars, bytes[2]) | _mm512_cmpeq_epi8_mask(chars, bytes[3]);
    }
};

// Whole registers while 64 bytes of room remain: a block of symbols only is
// stored as it is, another one compressed in a register and stored whole
// (the memory form of compress is slow on some processors). The rest goes
// in masked steps no longer than the room left, so nothing past the room
// is written. `Checked` stops at the first byte that is neither a symbol
// nor allowed noise, after gathering the symbols before it.
template <bool Checked, class Symbols>
[[gnu::always_inline]] inline Compacted compact(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                std::size_t room, const Symbols& classifier, AllowedNoise noise) {
    const NoiseBytes allowed_noise(noise);
    unsigned char* out = dst;
    unsigned char* const end = dst + room;
    // One step over the `loaded` lanes of `chars`; false after a disallowed byte.
    const auto step = [&](__m512i chars, __mmask64 loaded, std::size_t& i, auto store) {
        __mmask64 keep = classifier.members(chars) & loaded;
        std::size_t consumed = static_cast<std::size_t>(std::popcount(loaded));
        bool disallowed = false;
        if constexpr (Checked) {
            const __mmask64 bad = loaded & ~(keep | allowed_noise.members(chars));
            if (bad != 0) {
                consumed = static_cast<std::size_t>(std::countr_zero(bad));
                keep &= first_lanes(consumed);
                disallowed = true;
            }
        }
        const std::size_t kept = static_cast<std::size_t>(std::popcount(keep));
        store(avx512_steps::compress(keep, chars), kept);
        out += kept;
        i += consumed;
        return !disallowed;
    };
    const auto store_whole = [&](__m512i symbols, std::size_t) { _mm512_storeu_si512(out, symbols); };
    const auto store_exact = [&](__m512i symbols, std::size_t kept) {
        _mm512_mask_storeu_epi8(out, first_lanes(kept), symbols);
    };
    std::size_t i = 0;
    while (len - i >= WIDTH && static_cast<std::size_t>(end - out) >= WIDTH) {
        if (!step(_mm512_loadu_si512(src + i), ALL, i, store_whole))
            return {i, static_cast<std::size_t>(out - dst), true};
    }
    while (i < len && out != end) {
        const std::size_t room_left = static_cast<std::size_t>(end - out);
        const __mmask64 loaded = first_lanes(len - i < room_left ? len - i : room_left);
        if (!step(_mm512_maskz_loadu_epi8(loaded, src + i), loaded, i, store_exact))
            return {i, static_cast<std::size_t>(out - dst), true};
    }
    return {i, static_cast<std::size_t>(out - dst), false};
}

}  // namespace

std::size_t alphanumeric_prefix(const unsigned char* src, std::size_t len) {
    return class_prefix(src, len, Classifier<false>(ALPHANUMERIC_TABLE.data(), {}));
}

std::size_t symbol_prefix(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    return with_symbol_classifier(extra, [&](const auto& classifier) { return class_prefix(src, len, classifier); });
}

void translate(unsigned char* data, std::size_t len, ByteMapping mapping) {
    const __m512i from_first = _mm512_set1_epi8(static_cast<char>(mapping.from_first));
    const __m512i to_first = _mm512_set1_epi8(static_cast<char>(mapping.to_first));
    const __m512i from_second = _mm512_set1_epi8(static_cast<char>(mapping.from_second));
    const __m512i to_second = _mm512_set1_epi8(static_cast<char>(mapping.to_second));
    const auto mapped = [&](__m512i chars) {
        const __m512i first = _mm512_mask_mov_epi8(chars, _mm512_cmpeq_epi8_mask(chars, from_first), to_first);
        return _mm512_mask_mov_epi8(first, _mm512_cmpeq_epi8_mask(chars, from_second), to_second);
    };
    std::size_t i = 0;
    for (; len - i >= WIDTH; i += WIDTH) _mm512_storeu_si512(data + i, mapped(_mm512_loadu_si512(data + i)));
    if (i == len) return;
    const __mmask64 loaded = first_lanes(len - i);
    _mm512_mask_storeu_epi8(data + i, loaded, mapped(_mm512_maskz_loadu_epi8(loaded, data + i)));
}

Compacted compact_symbols(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                          ExtraSymbols extra) {
    return with_symbol_classifier(extra, [&](const auto& classifier) {
        return compact<false>(src, len, dst, room, classifier, {});
    });
}

Compacted compact_symbols_checked(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                                  ExtraSymbols extra, AllowedNoise noise) {
    return with_symbol_classifier(extra, [&](const auto& classifier) {
        return compact<true>(src, len, dst, room, classifier, noise);
    });
}

std::size_t symbol_count(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    return with_symbol_classifier(extra, [&](const auto& classifier) {
        std::size_t count = 0, i = 0;
        for (; len - i >= WIDTH; i += WIDTH)
            count += static_cast<std::size_t>(std::popcount(classifier.members(_mm512_loadu_si512(src + i))));
        const __mmask64 loaded = first_lanes(len - i);
        const __mmask64 tail = classifier.members(_mm512_maskz_loadu_epi8(loaded, src + i)) & loaded;
        return count + static_cast<std::size_t>(std::popcount(tail));
    });
}

}  // namespace vantorq::base64::scan::avx512
