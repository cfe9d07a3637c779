#pragma once
// Byte scans of Base64 text that decode nothing: the length of the leading run
// of symbols, the count of symbols, and an in-place rewrite of two byte values.
// The lenient and configured decoders find their clean runs with these.

#include <cstddef>
#include <cstdint>

#include "backend/capabilities.hpp"

namespace vantorq::base64::scan {

// Two more bytes that count as symbols besides A-Z, a-z, 0-9, "+" and "/".
// "A" stands for "none": it is a symbol already.
struct ExtraSymbols {
    unsigned char first = 'A';
    unsigned char second = 'A';
};

// Every byte equal to `from_first` becomes `to_first` and every byte equal to
// `from_second` becomes `to_second`; the second mapping wins where both match.
struct ByteMapping {
    unsigned char from_first, to_first, from_second, to_second;
};

// Up to four bytes that may stand between symbols; unused places hold "A".
struct AllowedNoise {
    unsigned char bytes[4] = {'A', 'A', 'A', 'A'};
};

// How far a compaction got: source bytes read, symbols written, and whether
// it stopped before a byte that is neither a symbol nor allowed noise.
struct Compacted {
    std::size_t consumed;
    std::size_t written;
    bool disallowed = false;
    friend bool operator==(const Compacted&, const Compacted&) = default;
};

// The scans of one tier; the kernel table (runtime_dispatch.hpp) holds the
// set a processor runs: AVX-512 (F, BW, VBMI, VBMI2) where it has it, else
// AVX2 where it has it, else SSE2.
struct DecodeByteKernels {
    // Length of the leading run of A-Z, a-z and 0-9.
    std::size_t (*alphanumeric_prefix)(const unsigned char* src, std::size_t len);
    // Length of the leading run of symbols.
    std::size_t (*symbol_prefix)(const unsigned char* src, std::size_t len, ExtraSymbols extra);
    // Rewrites `len` bytes in place; never touches a byte past them.
    void (*translate)(unsigned char* data, std::size_t len, ByteMapping mapping);
    // Copies the symbols of the source, in order, to `dst` until the source
    // ends or `room` symbols are written (it may stop up to one register
    // short of either; then the caller calls again). Never writes past `room`.
    Compacted (*compact_symbols)(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                                 ExtraSymbols extra);
    // The same, stopping with `disallowed` before the first register (or
    // tail byte) that holds a byte that is neither a symbol nor in `noise`.
    Compacted (*compact_symbols_checked)(const unsigned char* src, std::size_t len, unsigned char* dst,
                                         std::size_t room, ExtraSymbols extra, AllowedNoise noise);
};

[[gnu::always_inline]] constexpr bool is_alphanumeric(unsigned char byte) {
    const unsigned char letter = byte & 0xDF;
    return (letter >= 'A' && letter <= 'Z') || (byte >= '0' && byte <= '9');
}

[[gnu::always_inline]] constexpr bool is_symbol(unsigned char byte, ExtraSymbols extra) {
    return is_alphanumeric(byte) || (byte & 0xFB) == '+' || byte == extra.first || byte == extra.second;
}

// Counts 16 bytes per step, then byte by byte: the counter of processors without AVX2.
std::size_t symbol_count_scalar(const unsigned char* src, std::size_t len, ExtraSymbols extra);

// Byte by byte: the scans of processors without a vector tier here.
namespace scalar {
#include "base64/generic/scan_tier_api.inc"
}  // namespace scalar

namespace sse2 {
#include "base64/generic/scan_tier_api.inc"
}  // namespace sse2

// Only on processors with AVX2 (the popcnt counter also needs POPCNT).
namespace avx2 {
#include "base64/generic/scan_tier_api.inc"
std::size_t symbol_count_avx2(const unsigned char* src, std::size_t len, ExtraSymbols extra);
std::size_t symbol_count_avx2_popcnt(const unsigned char* src, std::size_t len, ExtraSymbols extra);
}  // namespace avx2

// Only on processors with AVX-512 F, BW, VBMI and VBMI2 (and POPCNT).
namespace avx512 {
#include "base64/generic/scan_tier_api.inc"
std::size_t symbol_count(const unsigned char* src, std::size_t len, ExtraSymbols extra);
}  // namespace avx512

// aarch64, whose every processor has Advanced SIMD.
namespace neon {
#include "base64/generic/scan_tier_api.inc"
std::size_t symbol_count(const unsigned char* src, std::size_t len, ExtraSymbols extra);
}  // namespace neon

// The features the AVX-512 members need.
inline constexpr backend::Processor AVX512_SCAN_FEATURES{
    {backend::Capabilities::AVX512F | backend::Capabilities::AVX512BW | backend::Capabilities::AVX512VBMI},
    backend::Processor::AVX512VBMI2 | backend::Processor::POPCNT};

}  // namespace vantorq::base64::scan
