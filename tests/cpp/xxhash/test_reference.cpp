// XXH3, XXH64 and XXH32 against digests of the xxhash package
// (reference_values.hpp, written by make_reference.py); XXH3 through the
// process's own engine and through every engine this processor can run.

#include <gtest/gtest.h>

#include <tuple>

#include "reference_values.hpp"
#include "support.hpp"
#include "xxhash/avx2/accumulate.hpp"
#include "xxhash/avx512/accumulate.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/one_shot.hpp"
#include "xxhash/ssse3/accumulate.hpp"

namespace vantorq::xxhash {
namespace {

using testing_support::ENGINE_CASES;
using testing_support::EngineCase;
using testing_support::pattern;

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

// The long path on each engine: its kernel, its way of deriving a seeded
// secret and, for the AVX2 engine, the fused one-block routines.
class EngineChecksumTest : public ::testing::TestWithParam<std::tuple<EngineCase, reference::SeedChecksums>> {};

TEST_P(EngineChecksumTest, LongPathMatchesAtEveryReferenceLength) {
    const auto& [engine_case, expected] = GetParam();
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(engine_case.flags);
    const long_inputs::LongEngine engine = engine_case.engine();
    const Folds folds = fold_reference_lengths(
        [&](const unsigned char* p, std::size_t n) {
            return n > MIDSIZE_MAX ? one_shot::xxh3_64_long(p, n, expected.seed, engine)
                                   : one_shot::xxh3_64(p, n, expected.seed);
        },
        [&](const unsigned char* p, std::size_t n) {
            return n > MIDSIZE_MAX ? one_shot::xxh3_128_long(p, n, expected.seed, engine)
                                   : one_shot::xxh3_128(p, n, expected.seed);
        });
    EXPECT_EQ(folds.fold_64, expected.fold_64);
    EXPECT_EQ(folds.fold_128, expected.fold_128);
}

INSTANTIATE_TEST_SUITE_P(EnginesAndSeeds, EngineChecksumTest,
                         ::testing::Combine(::testing::ValuesIn(ENGINE_CASES),
                                            ::testing::ValuesIn(reference::SEED_CHECKSUMS)));

// The preference order and the flag, for processors this one is not.
struct SelectionCase {
    EngineCase processor;
    long_inputs::AccumulateKernel kernel;
    long_inputs::StripesKernel stripes_kernel;
    bool avx2;
};

class EngineSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(EngineSelectionTest, PicksTheBestKernelAndFlags) {
    const auto& expected = GetParam();
    const long_inputs::LongEngine engine = expected.processor.engine();
    EXPECT_EQ(engine.accumulate, expected.kernel);
    EXPECT_EQ(engine.continue_stripes, expected.stripes_kernel);
    EXPECT_EQ(engine.avx2, expected.avx2);
}

using C = backend::Capabilities;
namespace li = long_inputs;
INSTANTIATE_TEST_SUITE_P(
    Processors, EngineSelectionTest,
    ::testing::Values(
        SelectionCase{{"none", 0}, li::scalar::accumulate, li::scalar::continue_stripes, false},
        SelectionCase{{"sse41 only", C::SSE41}, li::scalar::accumulate, li::scalar::continue_stripes, false},
        SelectionCase{{"ssse3", C::SSSE3}, ssse3::accumulate, ssse3::continue_stripes, false},
        SelectionCase{ENGINE_CASES[2], avx2::accumulate, avx2::continue_stripes, true},
        SelectionCase{ENGINE_CASES[3], avx512::accumulate, avx512::continue_stripes, true},
        SelectionCase{{"avx512 full", 0xff}, avx512::accumulate, avx512::continue_stripes, true}));

TEST(LongEngine, IsTheOneForThisProcessor) {
    const long_inputs::LongEngine expected = long_inputs::select_long_engine(backend::capabilities());
    EXPECT_EQ(long_inputs::long_engine().accumulate, expected.accumulate);
    EXPECT_EQ(long_inputs::long_engine().continue_stripes, expected.continue_stripes);
    EXPECT_EQ(long_inputs::long_engine().avx2, expected.avx2);
}

class ClassicChecksumTest : public ::testing::TestWithParam<reference::ClassicChecksums> {};

TEST_P(ClassicChecksumTest, OneShotMatchesAtEveryReferenceLength) {
    const auto& expected = GetParam();
    std::uint64_t fold_xxh64 = 0, fold_xxh32 = 0;
    for (const std::size_t n : reference_lengths()) {
        fold_xxh64 = fold(fold_xxh64, classic::xxh64(pattern().data(), n, expected.seed_64));
        fold_xxh32 = fold(fold_xxh32, classic::xxh32(pattern().data(), n, expected.seed_32));
    }
    EXPECT_EQ(fold_xxh64, expected.fold_xxh64);
    EXPECT_EQ(fold_xxh32, expected.fold_xxh32);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ClassicChecksumTest, ::testing::ValuesIn(reference::CLASSIC_CHECKSUMS));

class ClassicSpotValueTest : public ::testing::TestWithParam<reference::ClassicSpotValue> {};

TEST_P(ClassicSpotValueTest, BothWidthsMatch) {
    const auto& spot = GetParam();
    EXPECT_EQ(classic::xxh64(pattern().data(), spot.len, spot.seed_64), spot.xxh64);
    EXPECT_EQ(classic::xxh32(pattern().data(), spot.len, spot.seed_32), spot.xxh32);
}

INSTANTIATE_TEST_SUITE_P(TailLengths, ClassicSpotValueTest, ::testing::ValuesIn(reference::CLASSIC_SPOT_VALUES));

}  // namespace
}  // namespace vantorq::xxhash
