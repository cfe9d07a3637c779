// The list core: how long inputs are grouped into runs, and that every digest
// of a list on every described tier's engine equals the one-shot hash of its
// input on the scalar engine.

#include <gtest/gtest.h>

#include <tuple>

#include "support.hpp"
#include "xxhash/batch.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::xxhash::batch {
namespace {

using backend::DescribedTier;
using testing_support::pattern;

std::vector<ByteView> views_of_lengths(const std::vector<std::size_t>& lengths) {
    std::vector<ByteView> views;
    std::size_t start = 3;
    for (const std::size_t len : lengths) {
        views.push_back({pattern().data() + start, len});
        start = (start + len + 13) % (pattern().size() - 200'000);
    }
    return views;
}

// The run sizes met by walking the list as the list core does: short items
// are skipped, each run continues after the previous one.
std::vector<std::size_t> walk_runs(const std::vector<std::size_t>& lengths) {
    const std::vector<ByteView> items = views_of_lengths(lengths);
    std::vector<std::size_t> runs;
    for (std::size_t i = 0; i < items.size();) {
        if (items[i].len <= MIDSIZE_MAX) {
            ++i;
            continue;
        }
        const LongRun run = long_run_at(items, i);
        EXPECT_EQ(run.first, i);
        runs.push_back(run.count);
        i += run.count;
    }
    return runs;
}

struct RunCase {
    const char* name;
    std::vector<std::size_t> lengths;
    std::vector<std::size_t> runs;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class LongRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(LongRunTest, GroupsEquallyStripedNeighbours) { EXPECT_EQ(walk_runs(GetParam().lengths), GetParam().runs); }

INSTANTIATE_TEST_SUITE_P(
    Lists, LongRunTest,
    ::testing::Values(RunCase{"same stripe index", {300, 310}, {2}},
                      RunCase{"last length of a stripe index", {300, 320}, {2}},
                      RunCase{"next stripe index", {300, 321}, {1, 1}},
                      RunCase{"at most four", {400, 400, 400, 400, 400}, {4, 1}},
                      RunCase{"short item ends a run", {300, 10, 300}, {1, 1}},
                      RunCase{"240 bytes is short", {300, 240, 300, 301}, {1, 2}},
                      RunCase{"first long length", {241, 256, 257}, {2, 1}},
                      RunCase{"block boundary", {1024, 1025, 1088, 1089}, {1, 2, 1}},
                      RunCase{"runs restart after four", {300, 310, 320, 301, 302, 303, 900}, {4, 2, 1}}));

// Short and long items, runs of every size, shared and differing stripe
// indices, and a list with no long item at all.
const std::vector<std::vector<std::size_t>> LIST_SHAPES = {
    {},
    {0, 5, 17, 129, 240},
    {0, 300, 310, 320, 330, 17, 300, 400, 240, 241, 1024, 1025, 1088, 2049, 5000, 5001, 5002, 5003, 5004, 100'000},
    {1000, 1001, 1002, 64, 1003, 1004, 1005, 1006, 1007},
};

// Hashes the items and compares each packed digest with the one-shot hash,
// checking the packed layout too: the 64-bit digests take 8 bytes each, the
// 128-bit ones 16 (low word first), and nothing past the last digest is
// written.
void expect_one_shot_digests(const std::vector<ByteView>& items, std::uint64_t seed,
                             const long_inputs::LongEngine& engine) {
    static const long_inputs::LongEngine scalar = long_inputs::for_processor(backend::TIERS[0].processor);
    constexpr unsigned char UNTOUCHED = 0xA5;
    std::vector<unsigned char> out_64(items.size() * DIGEST_BYTES_64 + 1, UNTOUCHED);
    std::vector<unsigned char> out_128(items.size() * DIGEST_BYTES_128 + 1, UNTOUCHED);
    hash_items_64(items, seed, out_64.data(), engine);
    hash_items_128(items, seed, out_128.data(), engine);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Hash128 expected_128 = one_shot::xxh3_128(items[i].data, items[i].len, seed, scalar);
        EXPECT_EQ(load_u64(&out_64[i * 8]), one_shot::xxh3_64(items[i].data, items[i].len, seed, scalar))
            << "item " << i;
        EXPECT_EQ(load_u64(&out_128[i * 16]), expected_128.low) << "item " << i;
        EXPECT_EQ(load_u64(&out_128[i * 16 + 8]), expected_128.high) << "item " << i;
    }
    EXPECT_EQ(out_64.back(), UNTOUCHED);
    EXPECT_EQ(out_128.back(), UNTOUCHED);
}

class HashItemsTest
    : public ::testing::TestWithParam<std::tuple<DescribedTier, std::uint64_t, std::vector<std::size_t>>> {};

TEST_P(HashItemsTest, EveryDigestIsTheOneShotHash) {
    const auto& [tier, seed, lengths] = GetParam();
    VANTORQ_SKIP_UNLESS_TIER_RUNS(tier);
    expect_one_shot_digests(views_of_lengths(lengths), seed, long_inputs::for_processor(tier.processor));
}

INSTANTIATE_TEST_SUITE_P(TiersSeedsLists, HashItemsTest,
                         ::testing::Combine(::testing::ValuesIn(testing_support::engine_tiers()),
                                            ::testing::Values(0, 1, 7, ~0ull, 0x5F0B3C7A91D2E486ull),
                                            ::testing::ValuesIn(LIST_SHAPES)),
                         testing_support::TierName());

}  // namespace
}  // namespace vantorq::xxhash::batch
