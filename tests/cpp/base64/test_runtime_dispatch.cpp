#include <gtest/gtest.h>

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

TEST(RuntimeBackend, StreamsOnceSourceAndOutputOutgrowTheCache) {
    const std::size_t cache_size = 32 << 20;
    const RuntimeBackend with_cache = backend_for({.capabilities = {C::SSSE3 | C::AVX2}, .data_cache_bytes = cache_size});
    EXPECT_EQ(with_cache.tier, Tier::Avx2);
    EXPECT_TRUE(with_cache.streaming_enabled);
    const std::size_t threshold = with_cache.streaming_threshold;
    EXPECT_LE(threshold + threshold * 4 / 3, cache_size);
    EXPECT_GT(threshold + 3 + (threshold + 3) * 4 / 3, cache_size);

    const RuntimeBackend without_cache = backend_for({.capabilities = {C::SSSE3}});
    EXPECT_EQ(without_cache.tier, Tier::Ssse3);
    EXPECT_FALSE(without_cache.streaming_enabled);
}

}  // namespace
}  // namespace vantorq::base64::runtime_dispatch
