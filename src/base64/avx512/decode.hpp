#pragma once
// AVX-512 (F, BW, VBMI) decoders: 128 characters (two registers) per step,
// then 64, then the remaining whole quanta (all remaining characters when
// validating) in one masked step. Under 64 characters they run the AVX2 loop.
// A prefix run stops at the 4-character quantum that holds the invalid byte.

#include <cstddef>

#include "base64/decode_contracts.hpp"
#include "base64/error.hpp"

namespace vantorq::base64::decode::avx512 {

// Success carries (consumed, written); any contract of decode_contracts.hpp.
template <class Contract>
error::KernelResult decode(const unsigned char* src, std::size_t len, unsigned char* dst);
// StandardDecoder and MixedDecoder only.
template <class Contract>
DecodedPrefix decode_prefix(const unsigned char* src, std::size_t len, unsigned char* dst);

}  // namespace vantorq::base64::decode::avx512
