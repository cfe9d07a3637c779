#pragma once
// Base64 decoding of padded text into raw memory. The caller has located and
// verified the padding and sized the destination (lengths.hpp).

#include <cstddef>
#include <cstdint>

#include "base64/alphabet.hpp"
#include "base64/decode_contracts.hpp"
#include "base64/error.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::decode {

// The 1 or 2 bytes of a final 2 or 3 symbols, whose unused low bits are
// dropped; false, with nothing written, when one is outside `table`.
[[gnu::always_inline]] inline bool decode_final_symbols(const unsigned char* symbols, std::size_t count,
                                                        unsigned char* dst, const DecodeTable& table) {
    const std::uint8_t a = table[symbols[0]], b = table[symbols[1]], c = count == 3 ? table[symbols[2]] : 0;
    if ((a | b | c) & INVALID_SYMBOL_BIT) return false;
    dst[0] = static_cast<unsigned char>(a << 2 | b >> 4);
    if (count == 3) dst[1] = static_cast<unsigned char>(b << 4 | c >> 2);
    return true;
}

// Decodes a text whose length is a multiple of 4. `layout_mode` is the number
// of "=" that end the final quantum (0, 1 or 2); with 1 or 2 the last four
// bytes are that quantum. Bits of the last significant character that reach
// no output byte are ignored. Success carries no counts; a byte outside the
// alphabet gives an invalid result, with an unspecified prefix already written.
// A length that is not a multiple of 4, or padding without a final quantum,
// is an invariant failure.
error::KernelResult decode_to_ptr_with_layout_mode(const unsigned char* src, std::size_t len, unsigned char* dst,
                                                   std::size_t layout_mode, DecodeAlphabet alphabet);

// The same on a given backend rather than the selected one.
error::KernelResult decode_to_ptr_with_layout_mode_on(const runtime_dispatch::RuntimeBackend& backend,
                                                      const unsigned char* src, std::size_t len, unsigned char* dst,
                                                      std::size_t layout_mode, DecodeAlphabet alphabet);

// The vector kernels of a backend's tier, over whole blocks of characters
// (no padding, no line breaks) from the front of the source; the caller goes
// on from where they stop. A scalar tier consumes nothing. The destination
// needs room for 3/4 of the source length; nothing beyond the decoded bytes
// is written.

// All or nothing: an invalid result when a block holds a byte outside the
// alphabet, else success with (consumed, written).
error::KernelResult vector_decode(const runtime_dispatch::RuntimeBackend& backend, DecodeAlphabet alphabet,
                                  const unsigned char* src, std::size_t len, unsigned char* dst);
// Text already proven to hold standard symbols only: no test.
error::KernelResult vector_decode_validated(const runtime_dispatch::RuntimeBackend& backend, const unsigned char* src,
                                            std::size_t len, unsigned char* dst);
// Decodes up to the first block that holds an invalid byte. The standard
// alphabet has its own kernel; every other alphabet runs the mixed one, which
// accepts both spellings of 62 and 63, as lenient URL-safe decoding does.
DecodedPrefix vector_decode_prefix(const runtime_dispatch::RuntimeBackend& backend, DecodeAlphabet alphabet,
                                   const unsigned char* src, std::size_t len, unsigned char* dst);

}  // namespace vantorq::base64::decode
