#pragma once
// AVX2 encoders. Each consumes whole 3-byte groups from the front of the
// source, writes 4 characters per group, and returns the bytes consumed; the
// scalar code finishes the rest.

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::encode::avx2 {

// `stream` asks for non-temporal stores in the bulk of the output; they are
// used only where that output is 32-byte aligned, and fenced before returning.
std::size_t encode_with_store(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool stream);
std::size_t encode_custom(const unsigned char* src, std::size_t len, unsigned char* dst, const OffsetTable& offsets,
                          bool stream);

std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url);
std::size_t encode_wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                  const OffsetTable& offsets);

}  // namespace vantorq::base64::encode::avx2
