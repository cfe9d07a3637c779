#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "backend/tiers.hpp"
#if defined(__x86_64__)
#include "base64/avx512/encode.hpp"
#endif
#include "base64/decode_tiers.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::runtime_dispatch {
namespace {

using vantorq::backend::Capabilities;
using vantorq::backend::Processor;
using vantorq::backend::Vendor;
using C = Capabilities;

#if defined(__x86_64__)
struct TierCase {
    std::uint16_t flags;
    Tier expected;
};

class TierSelection : public ::testing::TestWithParam<TierCase> {};

TEST_P(TierSelection, PicksTheHighestCompleteTier) {
    EXPECT_EQ(tier_for(Capabilities{GetParam().flags}), GetParam().expected);
    EXPECT_EQ(for_processor({Capabilities{GetParam().flags}}).tier, GetParam().expected);
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

TEST(ForProcessor, StreamsOnceSourceAndOutputOutgrowTheCache) {
    const std::size_t cache_size = 32 << 20;
    const RuntimeBackend with_cache = for_processor({.capabilities = {C::SSSE3 | C::AVX2}, .data_cache_bytes = cache_size});
    EXPECT_EQ(with_cache.tier, Tier::Avx2);
    EXPECT_TRUE(with_cache.streaming_enabled);
    const std::size_t threshold = with_cache.streaming_threshold;
    EXPECT_LE(threshold + threshold * 4 / 3, cache_size);
    EXPECT_GT(threshold + 3 + (threshold + 3) * 4 / 3, cache_size);

    const RuntimeBackend without_cache = for_processor({.capabilities = {C::SSSE3}});
    EXPECT_EQ(without_cache.tier, Tier::Ssse3);
    EXPECT_FALSE(without_cache.streaming_enabled);
}

#endif

// What each described tier reports, role by role: encode, decode,
// gathered_decode, byte_scan, symbol_count. The SSE4.1 tier encodes with
// SSSE3; the scans follow their own features (AVX-512 ones need VBMI2 and
// POPCNT); only Intel's AVX-512 encoders align their output to 64 bytes.
struct ExpectedChoices {
    std::string_view tier;
    std::string_view kernels[5];
};

const ExpectedChoices EXPECTED[] = {
#if defined(__aarch64__)
    {"scalar", {"scalar", "scalar", "none", "scalar", "scalar"}},
    {"neon", {"neon", "neon", "none", "neon", "neon"}},
#else
    {"scalar", {"scalar", "scalar", "none", "sse2", "scalar"}},
    {"ssse3", {"ssse3", "ssse3", "none", "sse2", "scalar"}},
    {"sse41", {"ssse3", "sse41", "none", "sse2", "scalar"}},
    {"avx2", {"avx2", "avx2", "none", "avx2", "avx2_popcnt"}},
    {"avx2_amd", {"avx2", "avx2", "none", "avx2", "avx2_popcnt"}},
    {"avx512", {"avx512_align64", "avx512", "none", "avx2", "avx2_popcnt"}},
    {"avx512_intel", {"avx512_align64", "avx512", "avx512", "avx512", "avx512"}},
    {"avx512_amd", {"avx512", "avx512", "avx512", "avx512", "avx512"}},
#endif
};

class DescribedTierChoices : public ::testing::TestWithParam<backend::DescribedTier> {};

TEST_P(DescribedTierChoices, AreTheDocumentedOnes) {
    const auto& tier = GetParam();
    const auto* expected = std::find_if(std::begin(EXPECTED), std::end(EXPECTED),
                                        [&](const ExpectedChoices& e) { return e.tier == tier.name; });
    ASSERT_NE(expected, std::end(EXPECTED)) << "no expectation for " << tier.name;
    const RuntimeBackend table = for_processor(tier.processor);
    const backend::KernelChoices choices = kernel_choices(table);
    const std::string_view roles[] = {"encode", "decode", "gathered_decode", "byte_scan", "symbol_count"};
    ASSERT_EQ(choices.size(), std::size(roles));
    for (std::size_t i = 0; i < choices.size(); ++i)
        EXPECT_EQ(choices[i], (backend::KernelChoice{roles[i], expected->kernels[i]}));
    // A reported kernel is one the table holds.
    EXPECT_EQ(table.encoders.encode == nullptr, choices[0].kernel == "scalar");
    EXPECT_EQ(table.decoders.standard == nullptr, choices[1].kernel == "scalar");
    EXPECT_EQ(table.decode_gathered_prefix == nullptr, choices[2].kernel == "none");
}

INSTANTIATE_TEST_SUITE_P(Tiers, DescribedTierChoices, ::testing::ValuesIn(backend::TIERS),
                         [](const auto& info) { return std::string(info.param.name); });

#if defined(__x86_64__)
// Two processors with the same features that differ only in vendor.
TEST(ForProcessor, OnlyTheAvx512EncodersDependOnTheVendor) {
    const auto* described = std::find_if(backend::TIERS.begin(), backend::TIERS.end(),
                                         [](const auto& tier) { return tier.name == "avx512_intel"; });
    ASSERT_NE(described, backend::TIERS.end());
    const Processor intel = described->processor;
    Processor amd = intel, other = intel;
    amd.vendor = Vendor::Amd;
    other.vendor = Vendor::Other;
    const RuntimeBackend on_intel = for_processor(intel), on_amd = for_processor(amd), on_other = for_processor(other);
    EXPECT_EQ(on_intel.encoders.encode, encode::avx512::encode<64>);
    EXPECT_EQ(on_intel.encoders.encode_custom, encode::avx512::encode_custom<64>);
    for (const RuntimeBackend* table : {&on_amd, &on_other}) {
        EXPECT_EQ(table->encoders.encode, encode::avx512::encode<32>);
        EXPECT_EQ(table->encoders.encode_custom, encode::avx512::encode_custom<32>);
        EXPECT_EQ(table->encoders.encode_wrapped, on_intel.encoders.encode_wrapped);
        EXPECT_EQ(table->decoders.mixed, on_intel.decoders.mixed);
        EXPECT_EQ(table->byte_kernels.compact_symbols, on_intel.byte_kernels.compact_symbols);
        EXPECT_EQ(table->symbol_count, on_intel.symbol_count);
    }
}

TEST(ForProcessor, TakesTheAvx512ScansOnlyWithVbmi2AndPopcnt) {
    constexpr std::uint16_t AVX512 = backend::tier_features::AVX512;
    const RuntimeBackend full = for_processor({{AVX512}, Processor::AVX512VBMI2 | Processor::POPCNT});
    EXPECT_EQ(full.byte_kernels.compact_symbols, scan::avx512::compact_symbols);
    EXPECT_EQ(full.symbol_count, scan::avx512::symbol_count);
    EXPECT_EQ(full.decode_gathered_prefix, decode::avx512::decode_gathered_prefix);
    for (const std::uint16_t extensions : {std::uint16_t{Processor::POPCNT}, std::uint16_t{Processor::AVX512VBMI2}}) {
        const RuntimeBackend table = for_processor({{AVX512}, extensions});
        EXPECT_EQ(table.byte_kernels.compact_symbols, scan::avx2::compact_symbols);
        EXPECT_EQ(table.decode_gathered_prefix, nullptr);
        EXPECT_EQ(table.decoders.standard, full.decoders.standard);
    }
    EXPECT_EQ(for_processor({{AVX512}, Processor::AVX512VBMI2}).symbol_count, scan::avx2::symbol_count_avx2);
    // AVX2 scans need AVX2 alone, whatever the codec's tier.
    EXPECT_EQ(for_processor({{C::AVX2}}).byte_kernels.symbol_prefix, scan::avx2::symbol_prefix);
    EXPECT_EQ(for_processor({{C::SSSE3 | C::SSE41}}).byte_kernels.compact_symbols, scan::sse2::compact_symbols);
}
#endif

}  // namespace
}  // namespace vantorq::base64::runtime_dispatch
