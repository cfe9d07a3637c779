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

// Padded encoding with the standard (url false) or URL-safe alphabet; may
// bypass the caches for outputs much larger than them.
void encode_to_ptr(const unsigned char* src, std::size_t len, unsigned char* dst, bool url);
// The same output with ordinary stores, for output that is read again at once.
void encode_to_ptr_cached(const unsigned char* src, std::size_t len, unsigned char* dst, bool url);
// Padded encoding with a custom record; `cached` forbids non-temporal stores.
void encode_to_ptr_with_custom_alphabet(const unsigned char* src, std::size_t len, unsigned char* dst,
                                        const EncodeAlphabet& alphabet, bool cached);

// A line feed every `wrapcol` characters (a positive multiple of 4), none at
// the end. Destination: wrapped_length of the padded or unpadded length.
void encode_wrapped_to_ptr_cached(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool pad,
                                  std::size_t wrapcol);
void encode_wrapped_to_ptr_custom(const unsigned char* src, std::size_t len, unsigned char* dst,
                                  const EncodeAlphabet& alphabet, bool pad, std::size_t wrapcol);

// The entry points above on a given backend rather than the selected one.
void encode_to_ptr_on(const backend::RuntimeBackend& backend, const unsigned char* src, std::size_t len,
                      unsigned char* dst, const EncodeAlphabet& alphabet, bool cached);
void encode_wrapped_to_ptr_on(const backend::RuntimeBackend& backend, const unsigned char* src, std::size_t len,
                              unsigned char* dst, const EncodeAlphabet& alphabet, bool pad, std::size_t wrapcol);

}  // namespace vantorq::base64::encode
