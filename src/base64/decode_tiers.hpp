#pragma once
// The decode kernels of the vector tiers, each compiled in its own folder
// for its own instruction set. How far each goes in one call:
// - SSSE3: 64 characters (four registers) per step, then 16 at a time, so
//   the source length rounded down to a multiple of 16;
// - SSE4.1: the SSSE3 loop with the block test done by one PTEST;
// - AVX2: 64 characters (two registers) per step, then 32, then one step of
//   16: again the length rounded down to a multiple of 16;
// - AVX-512 (F, BW, VBMI): 128 characters (two registers) per step, then 64,
//   then the remaining whole quanta in one masked step; under 64 characters
//   the AVX2 loop. A prefix run stops at the quantum that holds the invalid byte;
// - NEON (aarch64): 64 characters (one de-interleaving load of four
//   registers) per step, then 16 at a time: the length rounded down to a
//   multiple of 16.

#include <cstddef>
#include <optional>

#include "base64/decode_contracts.hpp"
#include "base64/error.hpp"
#include "base64/runtime_dispatch.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::decode {
namespace ssse3 {
#include "base64/generic/decode_tier_api.inc"
}
namespace sse41 {
#include "base64/generic/decode_tier_api.inc"
}
namespace avx2 {
#include "base64/generic/decode_tier_api.inc"
}
namespace neon {
#include "base64/generic/decode_tier_api.inc"
}
namespace avx512 {
#include "base64/generic/decode_tier_api.inc"

// Only where the AVX-512 scans run (scan::AVX512_SCAN_FEATURES): decodes the
// symbols of `alphabet` in a noisy text straight to `dst`, skipping every
// other byte, in groups of 64 symbols while whole 64-character blocks remain
// and the capacity takes 48 more bytes. With `noise`, stops before the first
// block that holds a byte that is neither a symbol nor one of those. Returns
// the text up to and including the last symbol decoded, and the bytes written.
// `line`: the symbols of a clean run just before `src`, the line length
// to try first where the text is wrapped (0 when unknown).
DecodedPrefix decode_gathered_prefix(const unsigned char* src, std::size_t len, unsigned char* dst,
                                     std::size_t capacity, DecodeAlphabet alphabet,
                                     std::optional<scan::AllowedNoise> noise, std::size_t line);
}
}  // namespace vantorq::base64::decode
