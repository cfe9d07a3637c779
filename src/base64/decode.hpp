#pragma once
// Base64 decoding of padded text into raw memory. The caller has located and
// verified the padding and sized the destination (lengths.hpp).

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/error.hpp"

namespace vantorq::base64::decode {

// Decodes a text whose length is a multiple of 4. `layout_mode` is the number
// of "=" that end the final quantum (0, 1 or 2); with 1 or 2 the last four
// bytes are that quantum. Bits of the last significant character that reach
// no output byte are ignored. Success carries no counts; a byte outside the
// alphabet gives InvalidInput, with an unspecified prefix already written.
// A length that is not a multiple of 4, or padding without a final quantum,
// is an invariant failure.
error::DecodeResult decode_to_ptr_with_layout_mode(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                   std::size_t layout_mode, DecodeAlphabet alphabet);

}  // namespace vantorq::base64::decode
