#pragma once
// SSSE3 encoders (also used on SSE4.1 processors). Each consumes whole 3-byte
// groups from the front of the source, writes 4 characters per group, and
// returns the bytes consumed; the scalar code finishes the rest.

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::encode::ssse3 {

std::size_t encode(const unsigned char* src, std::size_t len, unsigned char* dst, bool url);
std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst, const OffsetTable& offsets);

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url);
std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const OffsetTable& offsets);

}  // namespace vantorq::base64::encode::ssse3
