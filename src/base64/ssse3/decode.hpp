#pragma once
// SSSE3 decoders: 64 characters (four registers) per step, then 16 at a time,
// so they consume the source length rounded down to a multiple of 16.

#include <cstddef>

#include "base64/decode_contracts.hpp"
#include "base64/error.hpp"

namespace vantorq::base64::decode::ssse3 {

// Success carries (consumed, written); any contract of decode_contracts.hpp.
template <class Contract>
error::KernelResult decode(const unsigned char* src, std::size_t len, unsigned char* dst);
// StandardDecoder and MixedDecoder only.
template <class Contract>
DecodedPrefix decode_prefix(const unsigned char* src, std::size_t len, unsigned char* dst);

}  // namespace vantorq::base64::decode::ssse3
