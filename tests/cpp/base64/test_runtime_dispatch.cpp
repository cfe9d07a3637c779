#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <utility>

#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::runtime_dispatch {
namespace {

using vantorq::backend::Capabilities;
using C = Capabilities;

struct TierCase {
    std::uint16_t flags;
    Tier expected;
};

class TierSelection : public ::testing::TestWithParam<TierCase> {};

TEST_P(TierSelection, PicksTheHighestCompleteTier) {
    EXPECT_EQ(tier_for(Capabilities{GetParam().flags}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Processors, TierSelection,
    ::testing::Values(TierCase{0, Tier::Scalar}, TierCase{C::SCALAR_TIER, Tier::Scalar},
                      TierCase{C::SSE41, Tier::Scalar}, TierCase{C::SSSE3, Tier::Ssse3},
                      TierCase{C::SSSE3 | C::SSE41, Tier::Sse41}, TierCase{C::AVX2 | C::SSE41, Tier::Scalar},
                      TierCase{C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2, Tier::Avx2},
                      TierCase{C::SSSE3 | C::AVX2 | C::AVX512F | C::AVX512BW, Tier::Avx2},
                      TierCase{C::SSSE3 | C::AVX2 | C::AVX512F | C::AVX512BW | C::AVX512VBMI, Tier::Avx512},
                      TierCase{0xfe, Tier::Avx512}));

// A processor described by the CPUID leaves the cache walk reads.
using Leaves = std::map<std::pair<std::uint32_t, std::uint32_t>, CpuidRegisters>;
const Leaves* current_leaves = nullptr;

CpuidRegisters fake_cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
    const auto it = current_leaves->find({leaf, subleaf});
    return it == current_leaves->end() ? CpuidRegisters{} : it->second;
}

// One cache descriptor: type 1 data, 2 instruction, 3 unified.
CpuidRegisters cache(std::uint32_t type, std::uint32_t level, std::uint32_t ways, std::uint32_t partitions,
                     std::uint32_t line, std::uint32_t sets) {
    return {type | level << 5, (ways - 1) << 22 | (partitions - 1) << 12 | (line - 1), sets - 1, 0};
}

struct CacheCase {
    const char* name;
    Leaves leaves;
    std::size_t expected;
};

class CacheWalk : public ::testing::TestWithParam<CacheCase> {};

TEST_P(CacheWalk, FindsTheLargestDataCache) {
    current_leaves = &GetParam().leaves;
    EXPECT_EQ(largest_data_cache(fake_cpuid), GetParam().expected);
}

const Leaves INTEL = {
    {{0, 0}, {0x1f, 0, 0, 0}},
    {{4, 0}, cache(1, 1, 12, 1, 64, 64)},    // 48 KiB L1d
    {{4, 1}, cache(2, 1, 8, 1, 64, 64)},     // 32 KiB L1i
    {{4, 2}, cache(3, 2, 10, 1, 64, 2048)},  // 1.25 MiB L2
    {{4, 3}, cache(3, 3, 12, 1, 64, 49152)}, // 36 MiB L3
    {{4, 4}, cache(2, 2, 8, 1, 64, 1 << 20)}, // a larger instruction cache does not count
};
const Leaves AMD = {
    {{0, 0}, {0x10, 0, 0, 0}},
    {{0x80000000, 0}, {0x80000023, 0, 0, 0}},
    {{0x8000001D, 0}, cache(1, 1, 8, 1, 64, 64)},     // 32 KiB L1d
    {{0x8000001D, 1}, cache(2, 1, 8, 1, 64, 64)},
    {{0x8000001D, 2}, cache(3, 2, 8, 1, 64, 1024)},   // 512 KiB L2
    {{0x8000001D, 3}, cache(3, 3, 16, 1, 64, 32768)}, // 32 MiB L3
};
const Leaves L1_ONLY = {
    {{0, 0}, {0x0d, 0, 0, 0}},
    {{4, 0}, cache(2, 1, 8, 1, 64, 64)},
    {{4, 1}, cache(1, 1, 8, 2, 64, 64)},  // two partitions: 64 KiB
};
const Leaves SATURATING = {
    {{0, 0}, {0x0d, 0, 0, 0}},
    {{4, 0}, {1 | 2 << 5, 0xffffffff, 0xffffffff, 0}},
    {{4, 1}, cache(1, 1, 8, 1, 64, 64)},
};

INSTANTIATE_TEST_SUITE_P(
    Processors, CacheWalk,
    ::testing::Values(CacheCase{"intel", INTEL, 36 << 20}, CacheCase{"amd", AMD, 32 << 20},
                      CacheCase{"l1_only", L1_ONLY, 64 * 1024},
                      CacheCase{"saturating", SATURATING, std::numeric_limits<std::size_t>::max()},
                      CacheCase{"leaf4_absent", Leaves{{{0, 0}, {3, 0, 0, 0}}, {{4, 0}, cache(1, 1, 8, 1, 64, 64)}}, 0},
                      CacheCase{"nothing", Leaves{}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RuntimeBackend, StreamsOnceSourceAndOutputOutgrowTheCache) {
    const std::size_t cache_size = 32 << 20;
    const RuntimeBackend with_cache = backend_for(Capabilities{C::SSSE3 | C::AVX2}, cache_size);
    EXPECT_EQ(with_cache.tier, Tier::Avx2);
    EXPECT_TRUE(with_cache.streaming_enabled);
    const std::size_t threshold = with_cache.streaming_threshold;
    EXPECT_LE(threshold + threshold * 4 / 3, cache_size);
    EXPECT_GT(threshold + 3 + (threshold + 3) * 4 / 3, cache_size);

    const RuntimeBackend without_cache = backend_for(Capabilities{C::SSSE3}, 0);
    EXPECT_EQ(without_cache.tier, Tier::Ssse3);
    EXPECT_FALSE(without_cache.streaming_enabled);
}

TEST(RuntimeBackend, SelectedBackendIsThisProcessorsDetection) {
    const RuntimeBackend& selected = selected_backend();
    const RuntimeBackend detected = detect_runtime_backend();
    EXPECT_EQ(selected.tier, detected.tier);
    EXPECT_EQ(selected.tier, tier_for(vantorq::backend::capabilities()));
    EXPECT_EQ(selected.streaming_enabled, detected.streaming_enabled);
    EXPECT_EQ(selected.streaming_threshold, detected.streaming_threshold);
    EXPECT_EQ(&selected, &selected_backend());
}

}  // namespace
}  // namespace vantorq::base64::runtime_dispatch
