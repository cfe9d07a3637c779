#pragma once
// Wrapped encoding that writes every whole line once, at its final place:
// encoding first and spreading the text into lines afterwards costs more
// than the encoding itself. Each line is a run of full-register pieces; the
// last piece of a line may write past the line's end, and the line feed and
// the output that follows overwrite those characters.
// Tier files instantiate it with their own register traits.

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/generic/encode_steps.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::generic {

// Characters a line's last store may write past the line's end.
template <class V>
inline constexpr std::size_t LINE_SPILL = V::WIDTH - 4;
// Source bytes a line's loads may read past the line's own: a 256-bit first
// piece of a 4-character line reads 32 bytes for its 3; a 128-bit last piece
// reads 16 for its 3.
template <class V>
inline constexpr std::size_t LINE_READ_AHEAD = V::WIDTH == 32 ? 29 : 13;

// The characters of the piece whose source starts at `in`; a 256-bit piece
// reads the 4 bytes before `in` unless it is a first piece (see encode_lines).
template <class V, bool First>
[[gnu::always_inline]] inline typename V::Reg line_piece(const unsigned char* in, const EncodeConstants<V>& k) {
    if constexpr (V::WIDTH == 16) {
        return encode_12(in, k);
    } else if constexpr (First) {
        return encode_24_first(in, k);
    } else {
        return encode_24_shifted(in - 4, k);
    }
}

template <class V, bool First>
[[gnu::always_inline]] inline void encode_line(const unsigned char* in, unsigned char* out, std::size_t line,
                                               const EncodeConstants<V>& k) {
    constexpr std::size_t PIECE_BYTES = V::WIDTH / 4 * 3;
    unsigned char* const end = out + line;
    if constexpr (First) {
        V::storeu(out, line_piece<V, true>(in, k));
        in += PIECE_BYTES;
        out += V::WIDTH;
    }
    for (; out < end; in += PIECE_BYTES, out += V::WIDTH) V::storeu(out, line_piece<V, false>(in, k));
}

// Whole lines from the start of the output while a line and the read-ahead
// remain; the output of those remaining bytes, written afterwards line feed
// first, covers the spill of the last line. Leaves the cursor at the end of
// a full line and returns the bytes consumed. Out of line so that its loop
// keeps the constants in registers.
template <class V>
[[gnu::noinline]] std::size_t encode_lines(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                           const EncodeConstants<V>& constants) {
    static_assert(LINE_READ_AHEAD<V> / 3 * 4 >= LINE_SPILL<V>);
    const std::size_t line = cursor.wrapcol;
    const std::size_t line_bytes = line / 4 * 3;
    const std::size_t reserve = line_bytes + LINE_READ_AHEAD<V>;
    if (cursor.column != 0 || len < reserve) return 0;
    // A private copy: stores through the output may not alias it.
    const EncodeConstants<V> k = constants;
    encode_line<V, true>(src, cursor.out, line, k);
    std::size_t i = line_bytes;
    unsigned char* out = cursor.out + line;
    for (; len - i >= reserve; i += line_bytes, out += line + 1) {
        *out = LINE_FEED;
        // A later 256-bit piece reads the 4 bytes before its source: the
        // second of 4-character lines (3 bytes each) starts too close to the
        // source's start for that, so it is encoded as a first line.
        if (i < 4) {
            encode_line<V, true>(src + i, out + 1, line, k);
        } else {
            encode_line<V, false>(src + i, out + 1, line, k);
        }
    }
    cursor.out = out;
    cursor.column = line;
    return i;
}

}  // namespace vantorq::base64::generic
