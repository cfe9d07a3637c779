// XXH3, XXH64 and XXH32 against digests of the xxhash package
// (reference_values.hpp, written by make_reference.py), through the
// process's own engine and through every described tier's engine.

#include <gtest/gtest.h>

#include <tuple>

#include "reference_values.hpp"
#include "support.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::xxhash {
namespace {

using backend::DescribedTier;
using testing_support::engine_tiers;
using testing_support::pattern;
using testing_support::TierName;

using testing_support::fold;
using testing_support::reference_lengths;

struct Folds {
    std::uint64_t fold_64 = 0;
    std::uint64_t fold_128 = 0;
};

template <typename Hash64, typename Hash128Fn>
Folds fold_reference_lengths(Hash64&& hash_64, Hash128Fn&& hash_128) {
    Folds folds;
    for (const std::size_t n : reference_lengths()) {
        folds.fold_64 = fold(folds.fold_64, hash_64(pattern().data(), n));
        const Hash128 h = hash_128(pattern().data(), n);
        folds.fold_128 = fold(fold(folds.fold_128, h.low), h.high);
    }
    return folds;
}

class SeedChecksumTest : public ::testing::TestWithParam<reference::SeedChecksums> {};

TEST_P(SeedChecksumTest, OneShotMatchesAtEveryReferenceLength) {
    const auto& expected = GetParam();
    const Folds folds = fold_reference_lengths(
        [&](const unsigned char* p, std::size_t n) { return one_shot::xxh3_64(p, n, expected.seed); },
        [&](const unsigned char* p, std::size_t n) { return one_shot::xxh3_128(p, n, expected.seed); });
    EXPECT_EQ(folds.fold_64, expected.fold_64);
    EXPECT_EQ(folds.fold_128, expected.fold_128);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SeedChecksumTest, ::testing::ValuesIn(reference::SEED_CHECKSUMS));

class SpotValueTest : public ::testing::TestWithParam<reference::SpotValue> {};

TEST_P(SpotValueTest, BothWidthsMatch) {
    const auto& spot = GetParam();
    EXPECT_EQ(one_shot::xxh3_64(pattern().data(), spot.len, spot.seed), spot.hash_64);
    const Hash128 h = one_shot::xxh3_128(pattern().data(), spot.len, spot.seed);
    EXPECT_EQ(h.low, spot.hash_128.low);
    EXPECT_EQ(h.high, spot.hash_128.high);
}

INSTANTIATE_TEST_SUITE_P(LengthClassBoundaries, SpotValueTest, ::testing::ValuesIn(reference::SPOT_VALUES));

// Each engine: its kernels, its way of deriving a seeded secret, its
// one-block hashes.
class EngineChecksumTest : public ::testing::TestWithParam<std::tuple<DescribedTier, reference::SeedChecksums>> {};

TEST_P(EngineChecksumTest, MatchesAtEveryReferenceLength) {
    const auto& [tier, expected] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const long_inputs::LongEngine engine = long_inputs::for_processor(tier.processor);
    const Folds folds = fold_reference_lengths(
        [&](const unsigned char* p, std::size_t n) { return one_shot::xxh3_64(p, n, expected.seed, engine); },
        [&](const unsigned char* p, std::size_t n) { return one_shot::xxh3_128(p, n, expected.seed, engine); });
    EXPECT_EQ(folds.fold_64, expected.fold_64);
    EXPECT_EQ(folds.fold_128, expected.fold_128);
}

INSTANTIATE_TEST_SUITE_P(EnginesAndSeeds, EngineChecksumTest,
                         ::testing::Combine(::testing::ValuesIn(engine_tiers()),
                                            ::testing::ValuesIn(reference::SEED_CHECKSUMS)),
                         TierName());

class ClassicChecksumTest
    : public ::testing::TestWithParam<std::tuple<DescribedTier, reference::ClassicChecksums>> {};

TEST_P(ClassicChecksumTest, OneShotMatchesAtEveryReferenceLength) {
    const auto& [tier, expected] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    const long_inputs::LongEngine engine = long_inputs::for_processor(tier.processor);
    std::uint64_t fold_xxh64 = 0, fold_xxh32 = 0;
    for (const std::size_t n : reference_lengths()) {
        fold_xxh64 = fold(fold_xxh64, classic::xxh64(pattern().data(), n, expected.seed_64, engine));
        fold_xxh32 = fold(fold_xxh32, classic::xxh32(pattern().data(), n, expected.seed_32, engine));
    }
    EXPECT_EQ(fold_xxh64, expected.fold_xxh64);
    EXPECT_EQ(fold_xxh32, expected.fold_xxh32);
}

INSTANTIATE_TEST_SUITE_P(EnginesAndSeeds, ClassicChecksumTest,
                         ::testing::Combine(::testing::ValuesIn(engine_tiers()),
                                            ::testing::ValuesIn(reference::CLASSIC_CHECKSUMS)),
                         TierName());

class ClassicSpotValueTest : public ::testing::TestWithParam<reference::ClassicSpotValue> {};

TEST_P(ClassicSpotValueTest, BothWidthsMatch) {
    const auto& spot = GetParam();
    EXPECT_EQ(classic::xxh64(pattern().data(), spot.len, spot.seed_64), spot.xxh64);
    EXPECT_EQ(classic::xxh32(pattern().data(), spot.len, spot.seed_32), spot.xxh32);
}

INSTANTIATE_TEST_SUITE_P(TailLengths, ClassicSpotValueTest, ::testing::ValuesIn(reference::CLASSIC_SPOT_VALUES));

}  // namespace
}  // namespace vantorq::xxhash
