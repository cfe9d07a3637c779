#include "base64/avx512/encode.hpp"

#include <array>
#include <cstdint>

// GCC 12's byte-permutation intrinsics start from an "undefined" register and
// trip -Wmaybe-uninitialized on every use; the value is fully overwritten.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "base64/generic/encode_lines.hpp"
#include "base64/generic/encode_steps.hpp"
#include "base64/generic/outputs.hpp"

namespace vantorq::base64::encode::avx512 {
namespace {

struct Avx512 {};
using V128 = generic::Vec128<Avx512>;
using V256 = generic::Vec256<Avx512>;

__mmask64 first_lanes(std::size_t count) { return count >= 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1; }

struct V512 {
    using Reg = __m512i;
    static constexpr std::size_t WIDTH = 64;

    static void storeu(void* p, Reg v) { _mm512_storeu_si512(p, v); }
    static void store_first(void* p, Reg v, std::size_t count) { _mm512_mask_storeu_epi8(p, first_lanes(count), v); }
    static void stream(void* p, Reg v) { _mm512_stream_si512(static_cast<Reg*>(p), v); }
};

constexpr std::size_t PIECE_BYTES = 48;  // 16 groups, one register of characters
// Sources from which the output is aligned before the bulk loop.
constexpr std::size_t ALIGN_MIN_SOURCE = 1024;

// Spreads group g (bytes 3g..3g+2) into 32-bit lane g as b1 b0 b2 b1.
constexpr std::array<std::uint8_t, 64> SPREAD_GROUPS = [] {
    std::array<std::uint8_t, 64> spread{};
    for (std::uint8_t g = 0; g < 16; ++g) {
        spread[4 * g] = static_cast<std::uint8_t>(3 * g + 1);
        spread[4 * g + 1] = static_cast<std::uint8_t>(3 * g);
        spread[4 * g + 2] = static_cast<std::uint8_t>(3 * g + 2);
        spread[4 * g + 3] = static_cast<std::uint8_t>(3 * g + 1);
    }
    return spread;
}();

// Bit offsets of the four 6-bit fields of the two groups in each 64-bit lane,
// in output order: 10, 4, 22, 16 and the same plus 32.
constexpr std::uint64_t FIELD_SHIFTS = 0x3036242a1016040aull;

struct Tables {
    // Sources under 48 bytes and whole lines take the narrower steps, whose
    // constants are made from these where they run: made for every call,
    // they would cost a short source more than its encoding.
    const OffsetTable& offsets;
    __m512i spread = _mm512_loadu_si512(SPREAD_GROUPS.data());
    __m512i field_shifts = _mm512_set1_epi64(static_cast<long long>(FIELD_SHIFTS));
    __m512i symbols;

    Tables(const Symbols& alphabet, const OffsetTable& offsets)
        : offsets(offsets), symbols(_mm512_loadu_si512(alphabet.data())) {}
};

// Up to 16 whole groups (`bytes` of them, a multiple of 3) into characters;
// the masked load reads nothing past them.
__m512i encode_groups(const unsigned char* src, std::size_t bytes, const Tables& t) {
    const __m512i raw = _mm512_maskz_loadu_epi8(first_lanes(bytes), src);
    const __m512i spread = _mm512_permutexvar_epi8(t.spread, raw);
    // The byte permutation reads only the low 6 bits of each field.
    const __m512i fields = _mm512_multishift_epi64_epi8(t.field_shifts, spread);
    return _mm512_permutexvar_epi8(fields, t.symbols);
}

// Blocks of four pieces (192 bytes, 256 characters) while they fit.
template <class Out>
std::size_t encode_blocks(const unsigned char* src, std::size_t len, Out& out, const Tables& t) {
    std::size_t i = 0;
    for (; len - i >= 4 * PIECE_BYTES; i += 4 * PIECE_BYTES) {
        const __m512i a = encode_groups(src + i, PIECE_BYTES, t);
        const __m512i b = encode_groups(src + i + PIECE_BYTES, PIECE_BYTES, t);
        const __m512i c = encode_groups(src + i + 2 * PIECE_BYTES, PIECE_BYTES, t);
        const __m512i d = encode_groups(src + i + 3 * PIECE_BYTES, PIECE_BYTES, t);
        out.template put<V512>(a);
        out.template put<V512>(b);
        out.template put<V512>(c);
        out.template put<V512>(d);
    }
    return i;
}

// Whole pieces, then every remaining whole group in one masked step.
template <class Out>
std::size_t encode_rest(const unsigned char* src, std::size_t len, Out& out, const Tables& t) {
    std::size_t i = 0;
    for (; len - i >= PIECE_BYTES; i += PIECE_BYTES) out.template put<V512>(encode_groups(src + i, PIECE_BYTES, t));
    const std::size_t groups = (len - i) / 3;
    if (groups != 0) {
        out.template put_first<V512>(encode_groups(src + i, 3 * groups, t), 4 * groups);
        i += 3 * groups;
    }
    return i;
}

template <class Out>
std::size_t encode_loop(const unsigned char* src, std::size_t len, Out& out, const Tables& t) {
    if (len < 32) return generic::encode_12_steps(src, len, 0, out, generic::EncodeConstants<V128>(t.offsets));
    if (len < PIECE_BYTES) {
        out.template put<V256>(generic::encode_24_first(src, generic::EncodeConstants<V256>(t.offsets)));
        return generic::encode_12_steps(src, len, 24, out, generic::EncodeConstants<V128>(t.offsets));
    }

    const std::size_t blocks = encode_blocks(src, len, out, t);
    return blocks + encode_rest(src + blocks, len - blocks, out, t);
}

// Non-temporal stores need a 64-byte aligned output: from a 16-byte aligned
// one, up to three 16-character steps get there. The blocks are streamed, the
// rest is written through the cache after a fence.
std::size_t encode_direct(const unsigned char* src, std::size_t len, unsigned char* dst, const Tables& t,
                          bool stream) {
    constexpr std::size_t STEP_BYTES = 12;
    generic::DirectOutput<Avx512> out{dst};
    std::size_t i = 0;
    if (stream && reinterpret_cast<std::uintptr_t>(dst) % 16 == 0 && len >= 3 * STEP_BYTES + 4 * PIECE_BYTES) {
        for (; reinterpret_cast<std::uintptr_t>(out.out) % 64 != 0 && len - i >= STEP_BYTES; i += STEP_BYTES) {
            out.put_first<V512>(encode_groups(src + i, STEP_BYTES, t), STEP_BYTES / 3 * 4);
        }
        generic::StreamingOutput<Avx512> streaming{out.out};
        i += encode_blocks(src + i, len - i, streaming, t);
        _mm_sfence();  // non-temporal stores are weakly ordered
        out.out = streaming.out;
        return i + encode_rest(src + i, len - i, out, t);
    }
    // A 64-byte store that is not 32-byte aligned splits both of its halves
    // across lines: whole groups first (up to seven, one masked step) align
    // the output, worth 8-20% from 1 KiB on (Zen 4; interpreter bytes data
    // is 16 bytes off).
    const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(dst) % 32;
    if (misalignment % 4 == 0 && misalignment != 0 && len >= ALIGN_MIN_SOURCE) {
        const std::size_t groups = (32 - misalignment) / 4;
        out.put_first<V512>(encode_groups(src, 3 * groups, t), 4 * groups);
        i = 3 * groups;
    }
    return i + encode_loop(src + i, len - i, out, t);
}

// Whole lines in 256-bit pieces, each written once at its place; the
// 512-bit loop takes the partial line that ends the output.
std::size_t encode_wrapped_with(const unsigned char* src, std::size_t len, WrapCursor& cursor, const Tables& t) {
    const std::size_t lines = generic::encode_lines(src, len, cursor, generic::EncodeConstants<V256>(t.offsets));
    generic::WrappedOutput<Avx512> out{cursor};
    return lines + encode_loop(src + lines, len - lines, out, t);
}

Tables builtin_tables(bool url) {
    return url ? Tables(URL_SAFE_SYMBOLS, URL_SAFE_OFFSETS) : Tables(STANDARD_SYMBOLS, STANDARD_OFFSETS);
}

}  // namespace

std::size_t encode(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool stream) {
    return encode_direct(src, len, dst, builtin_tables(url), stream);
}

std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst,
                          const EncodeAlphabet& alphabet, bool stream) {
    return encode_direct(src, len, dst, Tables(alphabet.symbols, alphabet.offsets), stream);
}

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url) {
    return encode_wrapped_with(src, len, cursor, builtin_tables(url));
}

std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const EncodeAlphabet& alphabet) {
    return encode_wrapped_with(src, len, cursor, Tables(alphabet.symbols, alphabet.offsets));
}

}  // namespace vantorq::base64::encode::avx512
