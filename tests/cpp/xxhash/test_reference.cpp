// XXH3 against digests of the xxhash package (reference_values.hpp, written by
// make_reference.py), through the process's own engine and through every
// engine this processor can run.

#include <gtest/gtest.h>

#include <bit>
#include <tuple>

#include "reference_values.hpp"
#include "support.hpp"
#include "xxhash/avx2/accumulate.hpp"
#include "xxhash/avx512/accumulate.hpp"
#include "xxhash/one_shot.hpp"
#include "xxhash/ssse3/accumulate.hpp"

namespace vantorq::xxhash {
namespace {

using testing_support::ENGINE_CASES;
using testing_support::EngineCase;
using testing_support::pattern;

// Every length make_reference.py folds, in its order.
std::vector<std::size_t> reference_lengths() {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 2048; ++n) lengths.push_back(n);
    lengths.insert(lengths.end(), {2049, 1'000'000, 1u << 20});
    return lengths;
}

std::uint64_t fold(std::uint64_t checksum, std::uint64_t word) {
    return (std::rotl(checksum, 23) ^ word) * 0x9E3779B97F4A7C15ull;
}

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
    bool avx2;
};

class EngineSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(EngineSelectionTest, PicksTheBestKernelAndFlags) {
    const auto& expected = GetParam();
    const long_inputs::LongEngine engine = expected.processor.engine();
    EXPECT_EQ(engine.accumulate, expected.kernel);
    EXPECT_EQ(engine.avx2, expected.avx2);
}

using C = backend::Capabilities;
namespace li = long_inputs;
INSTANTIATE_TEST_SUITE_P(
    Processors, EngineSelectionTest,
    ::testing::Values(SelectionCase{{"none", 0}, li::scalar::accumulate, false},
                      SelectionCase{{"sse41 only", C::SSE41}, li::scalar::accumulate, false},
                      SelectionCase{{"ssse3", C::SSSE3}, ssse3::accumulate, false},
                      SelectionCase{ENGINE_CASES[2], avx2::accumulate, true},
                      SelectionCase{ENGINE_CASES[3], avx512::accumulate, true},
                      SelectionCase{{"avx512 full", 0xff}, avx512::accumulate, true}));

TEST(LongEngine, IsTheOneForThisProcessor) {
    const long_inputs::LongEngine expected = long_inputs::select_long_engine(backend::capabilities());
    EXPECT_EQ(long_inputs::long_engine().accumulate, expected.accumulate);
    EXPECT_EQ(long_inputs::long_engine().avx2, expected.avx2);
}

}  // namespace
}  // namespace vantorq::xxhash
