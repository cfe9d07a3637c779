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

// A line of 64 characters or more goes out in whole 512-bit stores that never
// reach past its end, so no store is masked (masked byte stores are slow on
// Zen 4) and nothing needs overwriting later. A line after the first starts
// with one store at its line feed: the feed and the line's first 63
// characters. Group-aligned pieces follow, the last one ending at the line's
// end and overlapping the one before.
constexpr std::size_t WIDE_LINE_MIN = 64;
// Each piece loads a whole register, 16 bytes beyond its 48.
constexpr std::size_t WIDE_LINE_READ_AHEAD = 64 - PIECE_BYTES;

// Lane 0 of each 64-bit lane q takes byte 6q-1 (the last byte of group 2q-1),
// lanes 1-3 group 2q and lanes 4-6 group 2q+1, each group's bytes reversed so
// that its 24 bits read in order from the lane's low end.
constexpr std::array<std::uint8_t, 64> SPREAD_AFTER_LINE_FEED = [] {
    std::array<std::uint8_t, 64> spread{};
    for (std::uint8_t q = 0; q < 8; ++q) {
        const std::uint8_t first = static_cast<std::uint8_t>(6 * q);
        std::uint8_t* lane = &spread[8 * q];
        lane[0] = q == 0 ? 0 : static_cast<std::uint8_t>(first - 1);  // q == 0: the line feed's place
        for (std::uint8_t b = 0; b < 3; ++b) {
            lane[1 + b] = static_cast<std::uint8_t>(first + 2 - b);
            lane[4 + b] = static_cast<std::uint8_t>(first + 5 - b);
        }
    }
    return spread;
}();
// The fields in output order: the last of group 2q-1 at bit 0, group 2q's
// four at 26, 20, 14, 8 and group 2q+1's first three at 50, 44, 38.
constexpr std::uint64_t FIELD_SHIFTS_AFTER_LINE_FEED = 0x262c32080e141a00ull;

struct WideLineTables {
    __m512i spread_after_line_feed = _mm512_loadu_si512(SPREAD_AFTER_LINE_FEED.data());
    __m512i field_shifts_after_line_feed =
        _mm512_set1_epi64(static_cast<long long>(FIELD_SHIFTS_AFTER_LINE_FEED));
    __m512i line_feeds = _mm512_set1_epi8(static_cast<char>(LINE_FEED));
};

// 16 groups from `src` into characters; reads 64 bytes.
[[gnu::always_inline]] inline __m512i encode_piece(const unsigned char* src, const Tables& t) {
    const __m512i spread = _mm512_permutexvar_epi8(t.spread, _mm512_loadu_si512(src));
    return _mm512_permutexvar_epi8(_mm512_multishift_epi64_epi8(t.field_shifts, spread), t.symbols);
}

// A line feed, then the first 63 characters of the line whose source is `src`.
[[gnu::always_inline]] inline __m512i encode_line_start(const unsigned char* src, const Tables& t,
                                                        const WideLineTables& w) {
    const __m512i spread = _mm512_permutexvar_epi8(w.spread_after_line_feed, _mm512_loadu_si512(src));
    const __m512i fields = _mm512_multishift_epi64_epi8(w.field_shifts_after_line_feed, spread);
    return _mm512_mask_permutexvar_epi8(w.line_feeds, ~__mmask64{1}, fields, t.symbols);
}

// One line of `line` characters at `out`; a line after the first also writes
// the line feed before `out`.
template <bool First>
[[gnu::always_inline]] inline void encode_wide_line(const unsigned char* in, unsigned char* out, std::size_t line,
                                                    const Tables& t, const WideLineTables& w) {
    if constexpr (First) {
        V512::storeu(out, encode_piece(in, t));
    } else {
        V512::storeu(out - 1, encode_line_start(in, t, w));
    }
    const std::size_t last = line - V512::WIDTH;
    for (std::size_t at = V512::WIDTH - 4; at < last; at += V512::WIDTH) {
        V512::storeu(out + at, encode_piece(in + at / 4 * 3, t));
    }
    V512::storeu(out + last, encode_piece(in + last / 4 * 3, t));
}

// Whole lines from the start of the output while a line and the read-ahead
// remain. Leaves the cursor at the end of a full line and returns the bytes
// consumed.
[[gnu::noinline]] std::size_t encode_wide_lines(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                                const Tables& tables) {
    const std::size_t line = cursor.wrapcol;
    const std::size_t line_bytes = line / 4 * 3;
    const std::size_t reserve = line_bytes + WIDE_LINE_READ_AHEAD;
    if (cursor.column != 0 || len < reserve) return 0;
    // Private copies: stores through the output may not alias them.
    const Tables t = tables;
    const WideLineTables w;
    encode_wide_line<true>(src, cursor.out, line, t, w);
    std::size_t i = line_bytes;
    unsigned char* out = cursor.out + line;
    for (; len - i >= reserve; i += line_bytes, out += line + 1) encode_wide_line<false>(src + i, out + 1, line, t, w);
    cursor.out = out;
    cursor.column = line;
    return i;
}

// Whole lines in 512-bit pieces, or for lines under 64 characters in 256-bit
// ones, each written once at its place; the 512-bit loop takes the partial
// line that ends the output.
std::size_t encode_wrapped_with(const unsigned char* src, std::size_t len, WrapCursor& cursor, const Tables& t) {
    const std::size_t lines = cursor.wrapcol >= WIDE_LINE_MIN
                                  ? encode_wide_lines(src, len, cursor, t)
                                  : generic::encode_lines(src, len, cursor, generic::EncodeConstants<V256>(t.offsets));
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
