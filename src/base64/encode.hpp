#pragma once
// Base64 encoding into raw memory. The entry points run the selected vector
// tier over the bulk of the source and finish with the scalar encoder, so the
// output is the same on every processor. No function checks a capacity: the
// caller sizes the destination by the rules of lengths.hpp.

#include <cstddef>

#include "base64/alphabet.hpp"
#include "base64/runtime_dispatch.hpp"
#include "base64/wrap_cursor.hpp"

namespace vantorq::base64::encode {

// Writes padded_encoded_length(len) characters.
void encode_scalar_ptr_with_alphabet(const unsigned char* src, std::size_t len, unsigned char* dst,
                                     const Symbols& symbols);

// Continues `cursor` with the encoding of the source, padded or not.
void encode_scalar_wrapped_with_alphabet(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                                         const Symbols& symbols, bool pad);

// Padded encoding on a backend; `cached` forbids non-temporal stores, which
// otherwise a large enough aligned output may take.
void encode_to_ptr_on(const runtime_dispatch::RuntimeBackend& backend, const unsigned char* src, std::size_t len,
                      unsigned char* dst, const EncodeAlphabet& alphabet, bool cached);
// A line feed every `wrapcol` characters (a positive multiple of 4), none at
// the end. Destination: wrapped_length of the padded or unpadded length.
void encode_wrapped_to_ptr_on(const runtime_dispatch::RuntimeBackend& backend, const unsigned char* src,
                              std::size_t len, unsigned char* dst, const EncodeAlphabet& alphabet, bool pad,
                              std::size_t wrapcol);

}  // namespace vantorq::base64::encode
