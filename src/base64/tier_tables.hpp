#pragma once
// What each tier folder puts in a kernel table, for for_processor to compose.
// Each tier's table.cpp is compiled without the tier's instruction-set flags:
// the table function runs on every processor, and a table filled by code
// compiled for AVX-512 could itself use AVX-512 instructions. Those files
// only take the addresses of the tier's kernels and name them.

#include <cstddef>

#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::runtime_dispatch {

namespace sse2 {
// The byte scans every x86-64 processor runs, and the scalar symbol counter.
void fill_scans(RuntimeBackend& table);
}  // namespace sse2

namespace ssse3 {
// Encoders and decoders (the encoders serve the SSE4.1 tier too).
void fill_codec(RuntimeBackend& table);
}  // namespace ssse3

namespace sse41 {
void fill_decoders(RuntimeBackend& table);
}  // namespace sse41

namespace avx2 {
void fill_codec(RuntimeBackend& table);
// `popcnt`: the processor has POPCNT, which the faster symbol counter uses.
void fill_scans(RuntimeBackend& table, bool popcnt);
}  // namespace avx2

namespace avx512 {
// `output_alignment`: 32 or 64, the boundary the unwrapped encoders bring
// their output to before the bulk loop.
void fill_codec(RuntimeBackend& table, std::size_t output_alignment);
// The scans, the symbol counter and the one-pass decoder of noisy text,
// which need VBMI2 and POPCNT besides the codec's features.
void fill_scans(RuntimeBackend& table);
}  // namespace avx512

// aarch64: Advanced SIMD is part of the architecture, so these run on every
// aarch64 processor.
namespace neon {
void fill_codec(RuntimeBackend& table);
void fill_scans(RuntimeBackend& table);
}  // namespace neon

}  // namespace vantorq::base64::runtime_dispatch
