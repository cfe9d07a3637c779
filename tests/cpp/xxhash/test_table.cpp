// The engine that for_processor builds for described processors (the
// preference order, the two flags, the choices that differ between Intel and
// AMD processors with the same features), and that every entry point and
// hasher runs on the engine it is given.

#include <gtest/gtest.h>

#include <functional>

#include "support.hpp"
#if defined(__x86_64__)
#include "xxhash/avx2/accumulate.hpp"
#include "xxhash/avx512/accumulate.hpp"
#include "xxhash/avx512/xxh32_blocks.hpp"
#include "xxhash/avx512/xxh64_blocks.hpp"
#endif
#include "xxhash/batch.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/one_shot.hpp"
#include "xxhash/streaming.hpp"

namespace vantorq::xxhash::long_inputs {
namespace {

using backend::Capabilities, backend::Processor, backend::Vendor;
using testing_support::pattern;
namespace features = backend::tier_features;

struct ChoiceCase {
    const char* name;
    Processor processor;
    bool avx2, fused_128;
    // accumulate, init_secret, multi_input, xxh32_blocks, xxh64_blocks
    std::array<std::string_view, 5> kernels;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class EngineChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(EngineChoiceTest, ReportsTheDocumentedKernelsAndFlags) {
    const ChoiceCase& expected = GetParam();
    const LongEngine engine = for_processor(expected.processor);
    EXPECT_EQ(engine.avx2, expected.avx2);
    EXPECT_EQ(engine.fused_128, expected.fused_128);
#if defined(__x86_64__)
    EXPECT_EQ(engine.fused_128, engine.hash_128_medium == avx2::KERNELS.hash_128_medium);
#endif
    EXPECT_EQ(engine.multi_input_max_len, expected.avx2 ? MULTI_INPUT_MAX_LEN : 0);
    const std::array<std::string_view, 5> roles = {"accumulate", "init_secret", "multi_input", "xxh32_blocks",
                                                   "xxh64_blocks"};
    backend::KernelChoices choices;
    for (std::size_t i = 0; i < roles.size(); ++i) choices.push_back({roles[i], expected.kernels[i]});
    EXPECT_EQ(kernel_choices(engine), choices);
}

constexpr std::uint16_t DQ_VL = Processor::AVX512DQ | Processor::AVX512VL;
Processor described(std::uint16_t flags, Vendor vendor, std::uint16_t extensions = 0) {
    return {.capabilities = {flags}, .extensions = extensions, .vendor = vendor};
}

#if defined(__aarch64__)
INSTANTIATE_TEST_SUITE_P(
    Processors, EngineChoiceTest,
    ::testing::Values(ChoiceCase{"none", {}, false, false, {"scalar", "scalar", "none", "scalar", "scalar"}},
                      ChoiceCase{"neon", {.extensions = Processor::ASIMD}, false, false,
                                 {"neon", "scalar", "none", "scalar", "scalar"}}),
    [](const auto& info) { return std::string(info.param.name); });
#elif defined(__x86_64__)
INSTANTIATE_TEST_SUITE_P(
    Processors, EngineChoiceTest,
    ::testing::Values(
        ChoiceCase{"none", {}, false, false, {"scalar", "scalar", "none", "scalar", "scalar"}},
        ChoiceCase{"sse41_without_ssse3",
                   described(Capabilities::SSE41, Vendor::Amd),
                   false,
                   false,
                   {"scalar", "scalar", "none", "sse41", "scalar"}},
        ChoiceCase{"ssse3", described(features::SSSE3, Vendor::Amd), false, false,
                   {"ssse3", "scalar", "none", "scalar", "scalar"}},
        ChoiceCase{"sse41_intel", described(features::SSE41, Vendor::Intel), false, false,
                   {"ssse3", "scalar", "none", "scalar", "scalar"}},
        ChoiceCase{"sse41_amd", described(features::SSE41, Vendor::Amd), false, false,
                   {"ssse3", "scalar", "none", "sse41", "scalar"}},
        ChoiceCase{"avx2_intel", described(features::AVX2, Vendor::Intel), true, true,
                   {"avx2", "avx2", "avx2", "scalar", "scalar"}},
        ChoiceCase{"avx2_amd", described(features::AVX2, Vendor::Amd), true, true,
                   {"avx2", "avx2", "avx2", "sse41", "scalar"}},
        ChoiceCase{"avx512_intel", described(features::AVX512, Vendor::Intel, DQ_VL), true, false,
                   {"avx512_4stripes", "avx2", "avx2", "scalar", "scalar"}},
        ChoiceCase{"avx512_amd", described(features::AVX512, Vendor::Amd, DQ_VL), true, false,
                   {"avx512", "avx2", "avx2", "avx512", "avx512"}},
        ChoiceCase{"avx512_amd_without_vl", described(features::AVX512, Vendor::Amd, Processor::AVX512DQ), true,
                   false, {"avx512", "avx2", "avx2", "avx512", "scalar"}},
        ChoiceCase{"avx512_other_vendor", described(0xff, Vendor::Other, DQ_VL), true, false,
                   {"avx512", "avx2", "avx2", "scalar", "scalar"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The same features, and the pointers behind the names.
TEST(EngineChoice, IntelAndAmdWithTheSameFeatures) {
    const auto tier = [](std::string_view name) {
        return std::find_if(backend::TIERS.begin(), backend::TIERS.end(), [&](const auto& t) { return t.name == name; })
            ->processor;
    };
    const Processor intel = tier("avx512_intel"), amd = tier("avx512_amd");
    ASSERT_EQ(intel.capabilities, amd.capabilities);
    ASSERT_EQ(intel.extensions, amd.extensions);
    ASSERT_NE(intel.vendor, amd.vendor);
    const LongEngine on_intel = for_processor(intel), on_amd = for_processor(amd);
    EXPECT_EQ(on_intel.accumulate, avx512::KERNELS_4_STRIPES.accumulate);
    EXPECT_EQ(on_intel.continue_stripes, avx512::KERNELS_4_STRIPES.continue_stripes);
    EXPECT_EQ(on_amd.accumulate, avx512::KERNELS.accumulate);
    EXPECT_EQ(on_amd.continue_stripes, avx512::KERNELS.continue_stripes);
    EXPECT_EQ(on_intel.xxh32_blocks, classic::mix_xxh32_blocks_scalar);
    EXPECT_EQ(on_amd.xxh32_blocks, avx512::mix_xxh32_blocks);
    EXPECT_EQ(on_intel.xxh64_blocks, classic::mix_xxh64_blocks_scalar);
    EXPECT_EQ(on_amd.xxh64_blocks, avx512::mix_xxh64_blocks);
    for (const LongEngine* engine : {&on_intel, &on_amd}) {
        EXPECT_EQ(engine->init_secret, avx2::init_secret);
        EXPECT_EQ(engine->accumulate_batch4, avx2::accumulate_batch<4>);
    }
}
#endif

// An engine whose kernels count their calls, each doing the scalar one's work.
int calls = 0;

template <std::size_t N>
void counted_batch(const ByteView (&inputs)[N], const unsigned char* secret, Accumulators (&out)[N]) {
    ++calls;
    for (std::size_t i = 0; i < N; ++i) out[i] = scalar::accumulate(inputs[i].data, inputs[i].len, secret);
}

LongEngine counting_engine() {
    LongEngine e = for_processor({});
    e.accumulate = [](auto data, auto len, auto secret) { return ++calls, scalar::accumulate(data, len, secret); };
    e.continue_stripes = [](Accumulators& acc, auto data, auto stripes, auto in_block, auto secret) {
        return ++calls, scalar::continue_stripes(acc, data, stripes, in_block, secret);
    };
    e.hash_64_medium = [](auto data, auto len) { return ++calls, scalar::KERNELS.hash_64_medium(data, len); };
    e.hash_128_medium = [](auto data, auto len) { return ++calls, scalar::KERNELS.hash_128_medium(data, len); };
    e.init_secret = [](auto secret, auto seed) { ++calls, initialize_secret_scalar(secret, seed); };
    e.accumulate_batch2 = counted_batch<2>;
    e.accumulate_batch3 = counted_batch<3>;
    e.accumulate_batch4 = counted_batch<4>;
    e.multi_input_max_len = MULTI_INPUT_MAX_LEN;
    e.xxh32_blocks = [](auto& lanes, auto p, auto n) { ++calls, classic::mix_xxh32_blocks_scalar(lanes, p, n); };
    e.xxh64_blocks = [](auto& lanes, auto p, auto n) { ++calls, classic::mix_xxh64_blocks_scalar(lanes, p, n); };
    return e;
}

// Each call below reaches its kernels (one-block hash; seeded secret and
// accumulate; a run of two and a lone item; block loops) only through `engine`.
TEST(EngineGiven, EveryEntryPointRunsOnIt) {
    const LongEngine engine = counting_engine();
    const unsigned char* data = pattern().data();
    const ByteView items[] = {{data, 300}, {data + 1, 310}, {data, 5000}};
    unsigned char out[std::size(items) * batch::DIGEST_BYTES_128];
    const std::pair<int, std::function<void()>> cases[] = {
        {1, [&] { one_shot::xxh3_64(data, 500, 0, engine); }},
        {1, [&] { one_shot::xxh3_128(data, 500, 0, engine); }},
        {2, [&] { one_shot::xxh3_64(data, 5000, 9, engine); }},
        {2, [&] { one_shot::xxh3_128(data, 5000, 9, engine); }},
        {3, [&] { batch::hash_items_64(items, 9, out, engine); }},
        {3, [&] { batch::hash_items_128(items, 9, out, engine); }},
        {1, [&] { classic::xxh32(data, 5000, 9, engine); }},
        {1, [&] { classic::xxh64(data, 5000, 9, engine); }},
        {3, [&] { classic::xxh32_items(items, 9, out, engine); }},
        {3, [&] { classic::xxh64_items(items, 9, out, engine); }},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        calls = 0;
        cases[i].second();
        EXPECT_EQ(calls, cases[i].first) << "call " << i;
    }
}

TEST(EngineGiven, HashersKeepItThroughCopiesResetsAndRestoredForms) {
    const LongEngine engine = counting_engine();
    const auto runs_on_engine = [](auto& hasher) {
        calls = 0;
        hasher.update(pattern().data(), 4096);
        return calls > 0;
    };
    const auto check = [&](auto hasher) {
        EXPECT_TRUE(runs_on_engine(hasher));
        auto copy = hasher;
        EXPECT_TRUE(runs_on_engine(copy));
        hasher.reset();
        EXPECT_TRUE(runs_on_engine(hasher));
        auto restored = decltype(hasher)::from_bytes(hasher.to_bytes(), engine);
        ASSERT_TRUE(restored.has_value());
        EXPECT_TRUE(runs_on_engine(*restored));
    };
    check(streaming::Xxh3Hasher(9, engine));
    check(classic::Xxh32Hasher(9, engine));
    check(classic::Xxh64Hasher(9, engine));
}

}  // namespace
}  // namespace vantorq::xxhash::long_inputs
