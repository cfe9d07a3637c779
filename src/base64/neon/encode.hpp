#pragma once
// NEON encoders (aarch64). Each consumes whole 3-byte groups from the front
// of the source, writes 4 characters per group, and returns the bytes
// consumed; the scalar code finishes the rest. A four-register table lookup
// holds all 64 symbols, so every alphabet, built-in or custom, runs the same
// loop.

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::encode::neon {

std::size_t encode(const unsigned char* src, std::size_t len, unsigned char* dst, const Symbols& symbols);
std::size_t encode_wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, const Symbols& symbols);

}  // namespace vantorq::base64::encode::neon
