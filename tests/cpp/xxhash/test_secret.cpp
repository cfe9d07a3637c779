// XXH3 keyed by a caller's secret against the reference library, on each
// tier's kernels: the one-shot hashes at every short length and
// around the secret's own block boundaries, streams cut at random, and the
// streaming hasher's hold on its copy of the secret. The streaming suite
// (test_streaming.cpp) runs its splits, copies, resets and forms on it too.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "reference_xxh3.hpp"
#include "support.hpp"
#include "xxhash/one_shot.hpp"
#include "xxhash/streaming.hpp"

namespace vantorq::xxhash {
namespace {

using backend::DescribedTier;
using testing_support::caller_secret;
using testing_support::pattern;
using testing_support::reference_128;
using testing_support::reference_64;
using testing_support::TierName;

// The smallest, one past it, around the default size, and long ones whose
// blocks hold far more stripes than the default's 16.
constexpr std::size_t SECRET_SIZES[] = {136, 137, 191, 192, 193, 256, 1000, 4099};

// Every length up to a few stripes past the short paths, then each of the
// first three block ends of this secret's geometry (one stripe either side
// too, since the last stripe is taken apart), and a long input.
std::vector<std::size_t> lengths_for(std::size_t secret_size) {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= MIDSIZE_MAX + 3 * STRIPE_LEN; ++n) lengths.push_back(n);
    const std::size_t block_len = RuntimeGeometry{secret_size}.block_len();
    for (std::size_t blocks = 1; blocks <= 3; ++blocks)
        for (const std::size_t end : {blocks * block_len, blocks * block_len + STRIPE_LEN})
            if (end > MIDSIZE_MAX + 1) lengths.insert(lengths.end(), {end - 1, end, end + 1});
    lengths.push_back((1u << 20) + 5);
    return lengths;
}

// The scalar tier and the first tier of each vector kernel pair on a
// caller's secret (the two are one loop, so they change tiers together).
std::vector<DescribedTier> kernel_tiers() {
    std::vector<DescribedTier> tiers{backend::TIERS[0]};
    for (const DescribedTier& tier :
         testing_support::tiers_of_distinct([](const long_inputs::LongEngine& e) { return e.accumulate_with_secret; }))
        tiers.push_back(tier);
    return tiers;
}

// One tier's engine and one secret size.
class SecretKernelTest : public ::testing::TestWithParam<std::tuple<DescribedTier, std::size_t>> {
protected:
    void SetUp() override { VANTORQ_SKIP_UNLESS_TIER_RUNS(std::get<0>(GetParam())); }

    const long_inputs::LongEngine engine = long_inputs::for_processor(std::get<0>(GetParam()).processor);
    const std::size_t size = std::get<1>(GetParam());
    const std::vector<unsigned char> bytes = caller_secret(size);
    const SecretView secret = *SecretView::of(bytes);
};

TEST_P(SecretKernelTest, OneShotHashesOfBothWidthsMatchTheReference) {
    for (const std::size_t len : lengths_for(size)) {
        const unsigned char* data = pattern().data() + len % 7;  // unaligned starts too
        ASSERT_EQ(one_shot::xxh3_64_with_secret(data, len, secret, engine), reference_64(data, len, bytes))
            << "length " << len;
        ASSERT_EQ(one_shot::xxh3_128_with_secret(data, len, secret, engine), reference_128(data, len, bytes))
            << "length " << len;
    }
}

// Chunks of random sizes, small and larger than a block mixed, so that the
// stripes kernel meets every block position; a digest now and then.
TEST_P(SecretKernelTest, RandomChunksGiveTheReferenceOfEachPrefix) {
    std::mt19937_64 random(size);
    std::uniform_int_distribution<std::size_t> small(0, 300), large(0, 20'000);
    streaming::Xxh3SecretHasher hasher(secret, engine);
    const std::size_t len = 200'000;
    std::size_t fed = 0;
    for (int chunk = 0; fed < len; ++chunk) {
        const std::size_t n = std::min(len - fed, chunk % 3 == 0 ? large(random) : small(random));
        hasher.update(pattern().data() + fed, n);
        fed += n;
        if (chunk % 8 == 0 || fed == len) {
            ASSERT_EQ(hasher.digest_64(), reference_64(pattern().data(), fed, bytes)) << "after " << fed;
            ASSERT_EQ(hasher.digest_128(), reference_128(pattern().data(), fed, bytes)) << "after " << fed;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndSecretSizes, SecretKernelTest,
                         ::testing::Combine(::testing::ValuesIn(kernel_tiers()), ::testing::ValuesIn(SECRET_SIZES)),
                         TierName());

TEST(SecretView, RefusesFewerThanTheMinimumBytes) {
    const std::vector<unsigned char> bytes = caller_secret(SECRET_SIZE_MIN);
    EXPECT_FALSE(SecretView::of(std::span(bytes).first(SECRET_SIZE_MIN - 1)).has_value());
    ASSERT_TRUE(SecretView::of(bytes).has_value());
    EXPECT_EQ(SecretView::of(bytes)->size(), SECRET_SIZE_MIN);
}

// A hasher assigned from another takes a copy of that one's secret, which
// outlives both the caller's bytes and the hasher it came from.
TEST(SecretHasher, AssignedCopyOwnsItsSecret) {
    const std::vector<unsigned char> kept = caller_secret(300);
    std::vector<unsigned char> given = kept;
    streaming::Xxh3SecretHasher target(*SecretView::of(caller_secret(1000)));
    {
        streaming::Xxh3SecretHasher source(*SecretView::of(given));
        source.update(pattern().data(), 100);
        target = source;
        source.update(pattern().data() + 100, 5000);
    }
    std::memset(given.data(), 0, given.size());
    target.update(pattern().data() + 100, 3000);
    EXPECT_EQ(target.digest_64(), reference_64(pattern().data(), 3100, kept));
    EXPECT_EQ(target.digest_128(), reference_128(pattern().data(), 3100, kept));
}

// Forms resealed after a change that leaves them well-formed on their face:
// a secret size that disagrees with the form's, and a form cut, with its
// size field, to a secret one byte short of the minimum.
TEST(SecretHasher, FormsWithAWrongSecretSizeAreRefusedDespiteAValidChecksum) {
    namespace state_bytes = backend::state_bytes;
    const auto reseal = [](std::vector<unsigned char>& form) {
        const std::size_t body = form.size() - state_bytes::CHECKSUM_SIZE;
        const std::uint64_t checksum = state_bytes::checksum(form.data(), body);
        std::memcpy(form.data() + body, &checksum, sizeof checksum);
    };
    streaming::Xxh3SecretHasher hasher(*SecretView::of(caller_secret(SECRET_SIZE_MIN)));
    hasher.update(pattern().data(), 3000);
    const auto form = hasher.to_bytes();
    ASSERT_TRUE(streaming::Xxh3SecretHasher::from_bytes(form).has_value());

    std::vector<unsigned char> size_changed(form.begin(), form.end());
    size_changed[state_bytes::HEADER_SIZE] -= 1;  // the secret size, first field
    reseal(size_changed);
    EXPECT_FALSE(streaming::Xxh3SecretHasher::from_bytes(size_changed).has_value());

    std::vector<unsigned char> cut(form.begin(), form.end());
    cut.erase(cut.end() - state_bytes::CHECKSUM_SIZE - 1);
    cut[state_bytes::HEADER_SIZE] -= 1;
    reseal(cut);
    EXPECT_FALSE(streaming::Xxh3SecretHasher::from_bytes(cut).has_value());
}

}  // namespace
}  // namespace vantorq::xxhash
