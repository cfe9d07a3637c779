#pragma once
// AVX-512 (F, BW, VBMI) encoders. Each consumes whole 3-byte groups from the
// front of the source, writes 4 characters per group, and returns the bytes
// consumed; from 48 source bytes on only the last 0 to 2 are left over.

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::encode::avx512 {

// `stream` asks for non-temporal stores in the bulk of the output; they are
// used only where the destination is 16-byte aligned, and fenced before
// returning. Otherwise, from 1 KiB on, the output is first brought to a
// multiple of `OutputAlignment` (32 or 64) bytes.
template <std::size_t OutputAlignment>
std::size_t encode(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool stream);
// `alphabet` must be vector capable (its offsets are used below 48 bytes).
template <std::size_t OutputAlignment>
std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst,
                          const EncodeAlphabet& alphabet, bool stream);

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url);
std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const EncodeAlphabet& alphabet);

}  // namespace vantorq::base64::encode::avx512
