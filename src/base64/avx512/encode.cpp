#include "base64/avx512/encode.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

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

// Blocks of four pieces (192 bytes, 256 characters) while they fit. Inlined
// for the reason encode_loop gives: out of line (GCC's choice once both
// output alignments share it) the encoder ran 4-23% slower (Zen 4, 1 KiB
// to 1 MiB).
template <class Out>
[[gnu::always_inline]] inline std::size_t encode_blocks(const unsigned char* src, std::size_t len, Out& out,
                                                        const Tables& t) {
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
[[gnu::always_inline]] inline std::size_t encode_rest(const unsigned char* src, std::size_t len, Out& out,
                                                      const Tables& t) {
    std::size_t i = 0;
    for (; len - i >= PIECE_BYTES; i += PIECE_BYTES) out.template put<V512>(encode_groups(src + i, PIECE_BYTES, t));
    const std::size_t groups = (len - i) / 3;
    if (groups != 0) {
        out.template put_first<V512>(encode_groups(src + i, 3 * groups, t), 4 * groups);
        i += 3 * groups;
    }
    return i;
}

// Inlined into each caller, so that the output is a local whose pointer stays
// in a register: through a reference, every 64-byte store might alias it and
// the tables, and GCC reloaded and stored the pointer around each store.
template <class Out>
[[gnu::always_inline]] inline std::size_t encode_loop(const unsigned char* src, std::size_t len, Out& out,
                                                      const Tables& t) {
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
template <std::size_t OutputAlignment>
std::size_t encode_direct(const unsigned char* src, std::size_t len, unsigned char* dst, const Tables& t,
                          bool stream) {
    static_assert(OutputAlignment == 32 || OutputAlignment == 64, "one masked step reaches the boundary");
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
    // across lines: whole groups first (up to seven, or fifteen to reach a
    // line, one masked step) align the output, worth 8-20% from 1 KiB on
    // (Zen 4, at 32; interpreter bytes data is 16 bytes off). Where a store
    // at 32 mod 64 costs a split line too, the table asks for 64.
    const std::size_t misalignment = reinterpret_cast<std::uintptr_t>(dst) % OutputAlignment;
    if (misalignment % 4 == 0 && misalignment != 0 && len >= ALIGN_MIN_SOURCE) {
        const std::size_t groups = (OutputAlignment - misalignment) / 4;
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

// 64 output lanes cut anywhere out of lines that each start with a line feed:
// which source bytes go to which lane, the bit offset of each lane's field in
// its 64-bit lane, and which lanes are line feeds. Within each 64-bit lane the
// groups it shows are laid out in turn, each group's bytes (only those its
// fields need) reversed so that its bits read in order from the low end.
struct PieceLayout {
    std::size_t output = 0;  // offset of lane 0 from the first line feed
    std::size_t source = 0;  // source offset that spread index 0 reads
    std::array<std::uint8_t, 64> spread{};
    std::array<std::uint8_t, 64> field_shifts{};
    std::uint64_t line_feeds = 0;
};

constexpr PieceLayout layout_piece(std::size_t line, std::size_t output) {
    // Bytes of a group that each field needs, and the field's offset in the
    // group's 24 bits (first byte highest).
    constexpr std::size_t FIRST_BYTE[4] = {0, 0, 1, 2}, LAST_BYTE[4] = {0, 1, 2, 2};
    constexpr std::size_t FIELD_BIT[4] = {18, 12, 6, 0};
    struct Lane {
        bool line_feed;
        std::size_t group, field;
    };
    const auto lane_at = [&](std::size_t at) {
        const std::size_t column = (output + at) % (line + 1);
        const std::size_t row = (output + at) / (line + 1);
        if (column == 0) return Lane{true, 0, 0};
        return Lane{false, row * (line / 4) + (column - 1) / 4, (column - 1) % 4};
    };
    PieceLayout piece{};
    piece.output = output;
    piece.source = ~std::size_t{0};
    for (std::size_t at = 0; at < 64; ++at) {
        const Lane lane = lane_at(at);
        if (!lane.line_feed) piece.source = std::min(piece.source, 3 * lane.group + FIRST_BYTE[lane.field]);
    }
    for (std::size_t q = 0; q < 8; ++q) {
        std::size_t placed = 0;
        for (std::size_t at = 8 * q; at < 8 * q + 8;) {
            const Lane first = lane_at(at);
            if (first.line_feed) {
                piece.line_feeds |= std::uint64_t{1} << at;
                ++at;
                continue;
            }
            std::size_t low = 3, high = 0, end = at;
            for (; end < 8 * q + 8 && !lane_at(end).line_feed && lane_at(end).group == first.group; ++end) {
                low = std::min(low, FIRST_BYTE[lane_at(end).field]);
                high = std::max(high, LAST_BYTE[lane_at(end).field]);
            }
            const std::size_t base = 8 * q + placed;
            for (std::size_t b = 0; b <= high - low; ++b) {
                const std::size_t index = 3 * first.group + high - b - piece.source;
                if (index >= 64) throw "a piece's source must fit in one register";
                piece.spread[base + b] = static_cast<std::uint8_t>(index);
            }
            for (; at < end; ++at) {
                const std::size_t field = lane_at(at).field;
                piece.field_shifts[at] = static_cast<std::uint8_t>(8 * placed + FIELD_BIT[field] - 8 * (2 - high));
            }
            placed += high - low + 1;
            if (placed > 8) throw "a 64-bit lane's groups must fit in it";
        }
    }
    return piece;
}

// A line feed, then the first 63 characters of a line (of any length from 63 on).
constexpr PieceLayout LINE_START = layout_piece(WIDE_LINE_MIN, 0);

struct PieceRegisters {
    __m512i spread, field_shifts;
    __mmask64 characters;

    explicit PieceRegisters(const PieceLayout& layout)
        : spread(_mm512_loadu_si512(layout.spread.data())),
          field_shifts(_mm512_loadu_si512(layout.field_shifts.data())),
          characters(~layout.line_feeds) {}
};

// The piece whose source starts at `src`; line feed lanes from `line_feeds`.
[[gnu::always_inline]] inline __m512i encode_laid_out(const unsigned char* src, const PieceRegisters& piece,
                                                      __m512i symbols, __m512i line_feeds) {
    const __m512i spread = _mm512_permutexvar_epi8(piece.spread, _mm512_loadu_si512(src));
    const __m512i fields = _mm512_multishift_epi64_epi8(piece.field_shifts, spread);
    return _mm512_mask_permutexvar_epi8(line_feeds, piece.characters, fields, symbols);
}

// 16 groups from `src` into characters; reads 64 bytes.
[[gnu::always_inline]] inline __m512i encode_piece(const unsigned char* src, const Tables& t) {
    const __m512i spread = _mm512_permutexvar_epi8(t.spread, _mm512_loadu_si512(src));
    return _mm512_permutexvar_epi8(_mm512_multishift_epi64_epi8(t.field_shifts, spread), t.symbols);
}

struct WideLineTables {
    PieceRegisters line_start{LINE_START};
    __m512i line_feeds = _mm512_set1_epi8(static_cast<char>(LINE_FEED));
};

// One line of `line` characters at `out`; a line after the first also writes
// the line feed before `out`.
template <bool First>
[[gnu::always_inline]] inline void encode_wide_line(const unsigned char* in, unsigned char* out, std::size_t line,
                                                    const Tables& t, const WideLineTables& w) {
    if constexpr (First) {
        V512::storeu(out, encode_piece(in, t));
    } else {
        V512::storeu(out - 1, encode_laid_out(in, w.line_start, t.symbols, w.line_feeds));
    }
    const std::size_t last = line - V512::WIDTH;
    for (std::size_t at = V512::WIDTH - 4; at < last; at += V512::WIDTH) {
        V512::storeu(out + at, encode_piece(in + at / 4 * 3, t));
    }
    V512::storeu(out + last, encode_piece(in + last / 4 * 3, t));
}

// The usual line lengths, MIME's 76 characters (encodebytes) and PEM's 64, go
// out in runs of lines cut into consecutive pieces wherever the lines end: a
// run of 4 MIME lines with their feeds (308 bytes) takes 5 pieces where line
// by line it takes 8, each piece a store and 3 permutations; 4 PEM lines take
// 5 for 8 as well. The last piece ends at the run's end, overlapping the one
// before. Longer runs waste no less of their last piece until 64 lines, too
// many tables to keep in registers.
constexpr std::size_t MIME_LINE = 76;
constexpr std::size_t PEM_LINE = 64;
constexpr std::size_t RUN_LINES = 4;

template <std::size_t Line, std::size_t Lines>
struct LineRun {
    static constexpr std::size_t SPAN = Lines * (Line + 1);
    static constexpr std::size_t SOURCE = Lines * (Line / 4 * 3);
    static constexpr std::size_t PIECES = (SPAN + V512::WIDTH - 1) / V512::WIDTH;
    static constexpr std::array<PieceLayout, PIECES> LAYOUTS = [] {
        std::array<PieceLayout, PIECES> layouts{};
        for (std::size_t k = 0; k < PIECES; ++k) layouts[k] = layout_piece(Line, std::min(k * 64, SPAN - 64));
        return layouts;
    }();
    // Source bytes a run's loads read: its own and any beyond them.
    static constexpr std::size_t RESERVE = [] {
        std::size_t reserve = SOURCE;
        for (const PieceLayout& layout : LAYOUTS) reserve = std::max(reserve, layout.source + 64);
        return reserve;
    }();
};

// Runs from `out` (where the first run's line feed goes) while a run's
// source remains; advances `out` and returns the bytes consumed.
template <std::size_t Line, std::size_t Lines>
[[gnu::always_inline]] inline std::size_t encode_line_runs(const unsigned char* src, std::size_t len,
                                                           unsigned char*& out, const Tables& t,
                                                           const WideLineTables& w) {
    using Run = LineRun<Line, Lines>;
    return [&]<std::size_t... K>(std::index_sequence<K...>) {
        const std::array<PieceRegisters, Run::PIECES> pieces{PieceRegisters(Run::LAYOUTS[K])...};
        std::size_t i = 0;
        for (; len - i >= Run::RESERVE; i += Run::SOURCE, out += Run::SPAN) {
            (V512::storeu(out + Run::LAYOUTS[K].output,
                          encode_laid_out(src + i + Run::LAYOUTS[K].source, pieces[K], t.symbols, w.line_feeds)),
             ...);
        }
        return i;
    }(std::make_index_sequence<Run::PIECES>{});
}

// Whole lines from the start of the output while a line and the read-ahead
// remain, MIME and PEM lines in runs while a run's source remains. Leaves the
// cursor at the end of a full line and returns the bytes consumed.
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
    if (line == MIME_LINE) i += encode_line_runs<MIME_LINE, RUN_LINES>(src + i, len - i, out, t, w);
    if (line == PEM_LINE) i += encode_line_runs<PEM_LINE, RUN_LINES>(src + i, len - i, out, t, w);
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

template <std::size_t OutputAlignment>
std::size_t encode(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool stream) {
    return encode_direct<OutputAlignment>(src, len, dst, builtin_tables(url), stream);
}

template <std::size_t OutputAlignment>
std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst,
                          const EncodeAlphabet& alphabet, bool stream) {
    return encode_direct<OutputAlignment>(src, len, dst, Tables(alphabet.symbols, alphabet.offsets), stream);
}

template std::size_t encode<32>(const unsigned char*, std::size_t, unsigned char*, bool, bool);
template std::size_t encode<64>(const unsigned char*, std::size_t, unsigned char*, bool, bool);
template std::size_t encode_custom<32>(const unsigned char*, std::size_t, unsigned char*, const EncodeAlphabet&, bool);
template std::size_t encode_custom<64>(const unsigned char*, std::size_t, unsigned char*, const EncodeAlphabet&, bool);

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url) {
    return encode_wrapped_with(src, len, cursor, builtin_tables(url));
}

std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const EncodeAlphabet& alphabet) {
    return encode_wrapped_with(src, len, cursor, Tables(alphabet.symbols, alphabet.offsets));
}

}  // namespace vantorq::base64::encode::avx512
