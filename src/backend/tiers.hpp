#pragma once
// The processors that the C++ tests and the fuzz targets run every family's
// kernel table on, lowest first; the scalar one is the reference. Each tier
// is a described processor: its table is built by the families' own table
// functions, and it runs wherever this processor has all of its features.
// The AVX2 and full AVX-512 tiers come once per vendor, because the tables
// choose some kernels by vendor (the vector multiplies are priced differently).

#include <array>
#include <string_view>

#include "backend/capabilities.hpp"

namespace vantorq::backend {

struct DescribedTier {
    std::string_view name;
    Processor processor;
};

namespace tier_features {
using C = Capabilities;
using P = Processor;
inline constexpr std::uint16_t SSSE3 = C::SSSE3;
inline constexpr std::uint16_t SSE41 = SSSE3 | C::SSE41;
inline constexpr std::uint16_t AVX2 = SSE41 | C::AVX2 | C::BMI2;
inline constexpr std::uint16_t AVX512 = AVX2 | C::AVX512F | C::AVX512BW | C::AVX512VBMI;
inline constexpr std::uint16_t ALL_EXTENSIONS = P::POPCNT | P::AVX512VBMI2 | P::AVX512DQ | P::AVX512VL;
// A cache that makes the streaming threshold reachable by the tests' sizes.
inline constexpr std::size_t CACHE = std::size_t{2} << 20;
}  // namespace tier_features

#if defined(__aarch64__)
inline constexpr std::array<DescribedTier, 2> TIERS = {
    DescribedTier{"scalar", Processor{{0}, 0, Vendor::Other, 0, 0, tier_features::CACHE}},
    DescribedTier{"neon", Processor{{0}, Processor::ASIMD, Vendor::Other, 0, 0, tier_features::CACHE}},
};
#else
inline constexpr std::array<DescribedTier, 8> TIERS = [] {
    using namespace tier_features;
    auto described = [](std::string_view name, std::uint16_t caps, std::uint16_t extensions, Vendor vendor) {
        return DescribedTier{name, Processor{{caps}, extensions, vendor, 0, 0, CACHE}};
    };
    return std::array{
        described("scalar", 0, 0, Vendor::Other),
        described("ssse3", SSSE3, Processor::POPCNT, Vendor::Intel),
        described("sse41", SSE41, Processor::POPCNT, Vendor::Intel),
        described("avx2", AVX2, Processor::POPCNT, Vendor::Intel),
        // Zen 3-like: AMD's quick VPMULLD below AVX-512.
        described("avx2_amd", AVX2, Processor::POPCNT, Vendor::Amd),
        // Skylake-server-like, without VBMI2: the AVX-512 codec on the AVX2 scans.
        described("avx512", AVX512, Processor::POPCNT, Vendor::Intel),
        described("avx512_intel", AVX512, ALL_EXTENSIONS, Vendor::Intel),
        described("avx512_amd", AVX512, ALL_EXTENSIONS, Vendor::Amd),
    };
}();
#endif

}  // namespace vantorq::backend
