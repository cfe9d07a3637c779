// Every vector kernel of the described tiers' engines against the scalar
// one: the accumulator words (at unaligned addresses, on the default and a
// derived secret), the streaming stripes kernel, the seeded secret, the
// one-block hashes, the multi-input kernels, and the XXH32 and XXH64 block
// loops. Each kernel runs once, under the first tier whose engine has it.

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <tuple>

#include "support.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::long_inputs {
namespace {

using backend::DescribedTier;
using testing_support::pattern;
using testing_support::TierName;
using testing_support::tiers_of_distinct;

constexpr std::uint64_t ARBITRARY_SEED = 0x5F0B3C7A91D2E486ull;

Secret derived_secret(std::uint64_t seed) {
    Secret secret;
    initialize_secret_scalar(secret.data(), seed);
    return secret;
}

// Block and stripe boundaries, plus lengths drawn once from a fixed generator.
std::vector<std::size_t> kernel_lengths() {
    std::vector<std::size_t> lengths = {241, 256, 1023, 1024, 1025, 1088, 2047, 2048, 2049, 3072, 1'000'000};
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<std::size_t> draw(241, 70'000);
    for (int i = 0; i < 12; ++i) lengths.push_back(draw(random));
    return lengths;
}

class AccumulateKernelTest : public ::testing::TestWithParam<std::tuple<DescribedTier, std::size_t>> {};

TEST_P(AccumulateKernelTest, GivesTheScalarWords) {
    const auto& [tier, len] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const AccumulateKernel kernel = for_processor(tier.processor).accumulate;
    const Secret derived = derived_secret(ARBITRARY_SEED);
    for (const unsigned char* secret : {DEFAULT_SECRET.data(), derived.data()}) {
        for (const std::size_t offset : {0, 1, 7, 33}) {
            const unsigned char* data = pattern().data() + offset;
            EXPECT_EQ(kernel(data, len, secret), scalar::accumulate(data, len, secret))
                << "offset " << offset << (secret == derived.data() ? ", derived secret" : ", default secret");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(KernelsAndLengths, AccumulateKernelTest,
                         ::testing::Combine(::testing::ValuesIn(tiers_of_distinct([](const LongEngine& e) {
                                                return e.accumulate;
                                            })),
                                            ::testing::ValuesIn(kernel_lengths())),
                         TierName());

// The streaming kernels continue a block from any stripe of it, over runs that
// stop short of its end, end on it, or cross many blocks.
class StripesKernelTest : public ::testing::TestWithParam<std::tuple<DescribedTier, std::size_t>> {};

TEST_P(StripesKernelTest, GivesTheScalarWordsAndBlockPosition) {
    const auto& [tier, stripes_in_block] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const StripesKernel kernel = for_processor(tier.processor).continue_stripes;
    const Secret derived = derived_secret(ARBITRARY_SEED);
    // Accumulators already well mixed, as they are mid-stream.
    const Accumulators start = scalar::accumulate(pattern().data(), 5000, DEFAULT_SECRET.data());
    for (const std::size_t stripes : {0, 1, 15, 16, 17, 33, 1000}) {
        const unsigned char* data = pattern().data() + 3;
        Accumulators vector_words = start, scalar_words = start;
        EXPECT_EQ(kernel(vector_words, data, stripes, stripes_in_block, derived.data()),
                  scalar::continue_stripes(scalar_words, data, stripes, stripes_in_block, derived.data()));
        EXPECT_EQ(vector_words, scalar_words) << stripes << " stripes";
    }
}

INSTANTIATE_TEST_SUITE_P(KernelsAndBlockPositions, StripesKernelTest,
                         ::testing::Combine(::testing::ValuesIn(tiers_of_distinct([](const LongEngine& e) {
                                                return e.continue_stripes;
                                            })),
                                            ::testing::Values(0, 1, 9, 15)),
                         TierName());

// Streaming over whole stripes, then the final one, is the one-shot kernel.
TEST(ScalarStripesKernel, ThenTheLastStripeGivesTheOneShotWords) {
    for (const std::size_t len : {241, 1024, 1025, 4097, 70'000}) {
        Accumulators words = INITIAL_ACCUMULATORS;
        const std::size_t stripes = (len - 1) / STRIPE_LEN;
        std::size_t in_block = 0;
        for (std::size_t done = 0; done < stripes; done += 5)  // in runs of 5 stripes
            in_block = scalar::continue_stripes(words, pattern().data() + done * STRIPE_LEN,
                                                std::min<std::size_t>(5, stripes - done), in_block,
                                                DEFAULT_SECRET.data());
        accumulate_last_stripe(words, pattern().data() + len - STRIPE_LEN, DEFAULT_SECRET.data());
        EXPECT_EQ(words, scalar::accumulate(pattern().data(), len, DEFAULT_SECRET.data())) << "length " << len;
    }
}

class InitSecretTest : public ::testing::TestWithParam<std::tuple<DescribedTier, std::uint64_t>> {};

TEST_P(InitSecretTest, DerivesTheScalarSecret) {
    const auto& [tier, seed] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    Secret vector_secret;
    for_processor(tier.processor).init_secret(vector_secret.data(), seed);
    EXPECT_EQ(vector_secret, derived_secret(seed));
}

INSTANTIATE_TEST_SUITE_P(
    Seeds, InitSecretTest,
    ::testing::Combine(::testing::ValuesIn(tiers_of_distinct([](const LongEngine& e) { return e.init_secret; })),
                       ::testing::Values(1, ~0ull, 1ull << 63, 0xffffffffull, ARBITRARY_SEED)),
    TierName());

TEST(InitSecret, SeedZeroKeepsTheDefaultSecret) { EXPECT_EQ(derived_secret(0), DEFAULT_SECRET); }

// The one-block hashes against the scalar kernel followed by the merge, for
// every medium length, at aligned and unaligned starts.
class MediumHashTest : public ::testing::TestWithParam<std::tuple<DescribedTier, std::size_t>> {};

TEST_P(MediumHashTest, BothWidthsEqualAccumulateThenFinalize) {
    const auto& [tier, offset] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const LongEngine engine = for_processor(tier.processor);
    const unsigned char* data = pattern().data() + offset;
    for (std::size_t len = MIDSIZE_MAX + 1; len <= BLOCK_LEN; ++len) {
        const Accumulators acc = scalar::accumulate(data, len, DEFAULT_SECRET.data());
        ASSERT_EQ(engine.hash_64_medium(data, len), finalize_long_64(len, DEFAULT_SECRET.data(), acc))
            << "length " << len;
        ASSERT_EQ(engine.hash_128_medium(data, len), finalize_long_128(len, DEFAULT_SECRET.data(), acc))
            << "length " << len;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, MediumHashTest,
    ::testing::Combine(::testing::ValuesIn(tiers_of_distinct([](const LongEngine& e) { return e.hash_128_medium; })),
                       ::testing::Values(0, 1, 5, 63)),
    TierName());

// Inputs of one run share (len - 1) / 64 but may differ in length; each
// starts at its own unaligned address in a different part of the pattern.
std::vector<ByteView> run_inputs(std::size_t stripe_index, std::size_t count, bool equal_lengths) {
    static constexpr std::size_t LAST_BYTE_IN_STRIPE[] = {63, 0, 40, 17};
    std::vector<ByteView> inputs;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t len = STRIPE_LEN * stripe_index + 1 + (equal_lengths ? 63 : LAST_BYTE_IN_STRIPE[i]);
        const std::size_t start = (i * 100'003 + 2 * i + 1) % (pattern().size() - len);
        inputs.push_back({pattern().data() + start, std::max(len, MIDSIZE_MAX + 1)});
    }
    return inputs;
}

template <std::size_t N>
std::vector<Accumulators> run_batch_kernel(BatchKernel<N> kernel, const std::vector<ByteView>& inputs,
                                           const unsigned char* secret) {
    ByteView in[N];
    Accumulators out[N];
    std::copy_n(inputs.begin(), N, in);
    kernel(in, secret, out);
    return {out, out + N};
}

std::vector<Accumulators> run_batch(const LongEngine& engine, const std::vector<ByteView>& inputs,
                                    const unsigned char* secret) {
    switch (inputs.size()) {
        case 2: return run_batch_kernel<2>(engine.accumulate_batch2, inputs, secret);
        case 3: return run_batch_kernel<3>(engine.accumulate_batch3, inputs, secret);
        default: return run_batch_kernel<4>(engine.accumulate_batch4, inputs, secret);
    }
}

class BatchKernelTest
    : public ::testing::TestWithParam<std::tuple<DescribedTier, std::size_t, std::size_t, bool>> {};

TEST_P(BatchKernelTest, EachInputGetsItsScalarWords) {
    const auto& [tier, count, stripe_index, equal_lengths] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const LongEngine engine = for_processor(tier.processor);
    const std::vector<ByteView> inputs = run_inputs(stripe_index, count, equal_lengths);
    const Secret derived = derived_secret(ARBITRARY_SEED);
    for (const unsigned char* secret : {DEFAULT_SECRET.data(), derived.data()}) {
        const std::vector<Accumulators> out = run_batch(engine, inputs, secret);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(out[i], scalar::accumulate(inputs[i].data, inputs[i].len, secret))
                << "input " << i << " of length " << inputs[i].len;
    }
}

// Stripe indices 3 and 15 have no full block, 16 ends just past one, the
// others cross several; 15624 is the stripe index of 1,000,000 bytes.
INSTANTIATE_TEST_SUITE_P(RunShapes, BatchKernelTest,
                         ::testing::Combine(::testing::ValuesIn(tiers_of_distinct([](const LongEngine& e) {
                                                return e.accumulate_batch4;
                                            })),
                                            ::testing::Values(2, 3, 4),
                                            ::testing::Values(3, 4, 15, 16, 17, 31, 32, 47, 100, 15624),
                                            ::testing::Bool()),
                         TierName());

}  // namespace
}  // namespace vantorq::xxhash::long_inputs

namespace vantorq::xxhash::classic {
namespace {

using backend::DescribedTier;
using long_inputs::LongEngine;
using testing_support::pattern;

// The hash of data[0, len) with its blocks mixed by `kernel`.
template <class Width>
std::uint64_t hash_by(BlocksKernel<Width> kernel, const unsigned char* data, std::size_t len, std::uint64_t seed) {
    using Steps = Algorithm<Width>;
    const auto word_seed = static_cast<typename Width::Word>(seed);
    typename Steps::Lanes lanes = Steps::start(word_seed);
    const std::size_t blocks = len / Steps::BLOCK_SIZE;
    kernel(lanes, data, blocks);
    return Steps::finish(lanes, word_seed, len, data + blocks * Steps::BLOCK_SIZE);
}

// Every length to 1100 (every block count to 68 or 34 with every tail) with a
// seed drawn for each, at an odd address; then long inputs.
template <class Width>
void expect_as_the_one_word_loop(BlocksKernel<Width> kernel, BlocksKernel<Width> one_word_loop) {
    std::mt19937_64 random(0x5EED);
    std::vector<std::size_t> lengths(1101);
    std::iota(lengths.begin(), lengths.end(), 0);
    lengths.insert(lengths.end(), {16'000, 32'000, 1u << 20});
    for (const std::size_t len : lengths) {
        const std::uint64_t seed = random();
        const unsigned char* data = pattern().data() + 1 + len % 7;
        EXPECT_EQ(hash_by<Width>(kernel, data, len, seed), hash_by<Width>(one_word_loop, data, len, seed))
            << len << " bytes, seed " << seed;
    }
}

// (tier, word bits)
class BlocksKernelTest : public ::testing::TestWithParam<std::tuple<DescribedTier, int>> {};

TEST_P(BlocksKernelTest, HashesAsTheOneWordLoopDoes) {
    const auto& [tier, bits] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const LongEngine engine = long_inputs::for_processor(tier.processor);
    if (bits == 32)
        expect_as_the_one_word_loop<Width32>(engine.xxh32_blocks, mix_xxh32_blocks_scalar);
    else
        expect_as_the_one_word_loop<Width64>(engine.xxh64_blocks, mix_xxh64_blocks_scalar);
}

INSTANTIATE_TEST_SUITE_P(Xxh32, BlocksKernelTest,
                         ::testing::Combine(::testing::ValuesIn(testing_support::tiers_of_distinct(
                                                [](const LongEngine& e) { return e.xxh32_blocks; })),
                                            ::testing::Values(32)),
                         testing_support::TierName());
INSTANTIATE_TEST_SUITE_P(Xxh64, BlocksKernelTest,
                         ::testing::Combine(::testing::ValuesIn(testing_support::tiers_of_distinct(
                                                [](const LongEngine& e) { return e.xxh64_blocks; })),
                                            ::testing::Values(64)),
                         testing_support::TierName());

// The seeded secret, the multi-input kernels and XXH32's and XXH64's block
// loops have vector forms only on x86-64.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(InitSecretTest);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BatchKernelTest);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BlocksKernelTest);

}  // namespace
}  // namespace vantorq::xxhash::classic
