#pragma once
// Inputs and described processors shared by the XXH3, XXH32 and XXH64 tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "backend/tiers.hpp"
#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::testing_support {

// The byte pattern of make_reference.py: the top byte of each step of a
// 64-bit linear congruential generator.
inline std::vector<unsigned char> make_pattern(std::size_t size) {
    std::vector<unsigned char> out(size);
    std::uint64_t state = 0x243F6A8885A308D3ull;
    for (auto& byte : out) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        byte = static_cast<unsigned char>(state >> 56);
    }
    return out;
}

// Long enough for every reference length, plus room for unaligned starts.
inline const std::vector<unsigned char>& pattern() {
    static const std::vector<unsigned char> bytes = make_pattern((1u << 20) + 256);
    return bytes;
}

// Every length make_reference.py folds, in its order.
inline std::vector<std::size_t> reference_lengths() {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 2048; ++n) lengths.push_back(n);
    lengths.insert(lengths.end(), {2049, 1'000'000, 1u << 20});
    return lengths;
}

// make_reference.py's checksum step.
inline std::uint64_t fold(std::uint64_t checksum, std::uint64_t word) {
    return (std::rotl(checksum, 23) ^ word) * 0x9E3779B97F4A7C15ull;
}

// backend::TIERS, and AMD's form of its SSE4.1 tier (Zen 1 and 2 without
// AVX2 do not exist, but it is the one engine with the SSE4.1 XXH32 loop and
// no AVX2).
inline std::vector<backend::DescribedTier> engine_tiers() {
    std::vector<backend::DescribedTier> tiers(backend::TIERS.begin(), backend::TIERS.end());
    for (const backend::DescribedTier& tier : backend::TIERS)
        if (tier.name == "sse41") {
            backend::Processor amd = tier.processor;
            amd.vendor = backend::Vendor::Amd;
            tiers.push_back({"sse41_amd", amd});
        }
    return tiers;
}

// The first tier of each kernel that `role` picks from an engine, leaving out
// the scalar engine's: each vector kernel once, under a tier that has it.
template <typename Role>
std::vector<backend::DescribedTier> tiers_of_distinct(Role role) {
    const auto scalar = role(long_inputs::for_processor(backend::TIERS[0].processor));
    std::vector<backend::DescribedTier> out;
    std::vector<std::remove_const_t<decltype(scalar)>> seen{scalar};
    for (const backend::DescribedTier& tier : engine_tiers()) {
        const auto kernel = role(long_inputs::for_processor(tier.processor));
        if (std::find(seen.begin(), seen.end(), kernel) != seen.end()) continue;
        seen.push_back(kernel);
        out.push_back(tier);
    }
    return out;
}

// Test names that carry the tier's name (the emulated runs filter by it).
struct TierName {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        if constexpr (std::is_same_v<Param, backend::DescribedTier>)
            return std::string(info.param.name) + "_" + std::to_string(info.index);
        else
            return std::string(std::get<0>(info.param).name) + "_" + std::to_string(info.index);
    }
};

#define VANTORQ_SKIP_UNLESS_TIER_RUNS(tier)                                                                    \
    do {                                                                                                       \
        if (!::vantorq::backend::processor().runs((tier).processor)) GTEST_SKIP() << "processor lacks the tier"; \
    } while (0)

}  // namespace vantorq::xxhash::testing_support

namespace vantorq::backend {
inline void PrintTo(const DescribedTier& tier, std::ostream* os) { *os << tier.name; }
}  // namespace vantorq::backend
