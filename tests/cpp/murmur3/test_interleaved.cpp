// Messages hashed side by side against each message hashed alone, for every
// variant: all length pairs up to 300 bytes (the common blocks, each
// message's own blocks and tail), both orders, several seeds and alignments,
// and lists of every count around the group size; each tier's routine for
// many x64_128 messages (the AVX-512 one eight at a time) the same way, and
// what an Intel and an AMD processor with the same features choose.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "backend/capabilities.hpp"
#include "murmur3/interleaved.hpp"
#include "murmur3/kernels.hpp"
#include "murmur3/tier_tables.hpp"

namespace vantorq::murmur3 {
namespace {

using interleaved::Message;

template <class V, auto SINGLE>
struct Case {
    using Variant = V;
    static typename V::Result single(Message m, std::uint32_t seed) { return SINGLE(m.data(), m.size(), seed); }
};

using Cases = ::testing::Types<Case<variants::X86_32, &x86_32::hash>, Case<variants::X86_128, &x86_128::hash>,
                               Case<variants::X64_128, &x64_128::hash>>;

template <class C>
class Interleaved : public ::testing::Test {
protected:
    // Random bytes with room for every offset up to 15 past a 300-byte message.
    std::vector<unsigned char> bytes_ = [] {
        std::vector<unsigned char> v(2 * 1100);
        std::mt19937 rng(42);
        for (auto& b : v) b = static_cast<unsigned char>(rng());
        return v;
    }();

    template <std::size_t ROWS>
    void expect_each_as_alone(const std::array<Message, ROWS>& messages, std::uint32_t seed) {
        std::array<typename C::Variant::Result, ROWS> out;
        interleaved::hash<typename C::Variant, ROWS>(messages, seed, out, kernels());
        for (std::size_t r = 0; r < ROWS; ++r)
            ASSERT_EQ(out[r], C::single(messages[r], seed))
                << "row " << r << " of lengths " << messages[0].size() << ", " << messages[ROWS - 1].size()
                << ", seed " << seed;
    }
};
TYPED_TEST_SUITE(Interleaved, Cases);

TYPED_TEST(Interleaved, EveryLengthPairMatchesTheSingleHash) {
    const unsigned char* base = this->bytes_.data();
    for (const std::uint32_t seed : {0u, 0x9747b28cu}) {
        for (std::size_t a = 0; a <= 300; ++a) {
            for (const std::size_t b : {a, std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{33},
                                        std::size_t{300}, std::size_t{1000}}) {
                // The second message at a different offset from the first, and the pair in both orders.
                const Message first(base + a % 16, a);
                const Message second(base + 1100 + (a + 7) % 16, b);
                this->template expect_each_as_alone<2>({first, second}, seed);
                this->template expect_each_as_alone<2>({second, first}, seed);
            }
        }
    }
}

TYPED_TEST(Interleaved, FourAtATimeMatchTheSingleHash) {
    const unsigned char* base = this->bytes_.data();
    std::mt19937 rng(7);
    for (int trial = 0; trial < 2000; ++trial) {
        std::array<Message, 4> messages;
        for (auto& m : messages) m = Message(base + rng() % 16, rng() % 1030);
        this->template expect_each_as_alone<4>(messages, static_cast<std::uint32_t>(rng()));
    }
}

TYPED_TEST(Interleaved, ListsOfEveryCountMatchTheSingleHash) {
    std::mt19937 rng(11);
    for (std::size_t count = 0; count <= 13; ++count) {
        std::vector<Message> messages;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t offset = rng() % 1000;
            messages.emplace_back(this->bytes_.data() + offset, rng() % (this->bytes_.size() - offset));
        }
        std::vector<typename TypeParam::Variant::Result> out(count);
        interleaved::hash_each<typename TypeParam::Variant, 4>(messages, 1234, out.data(), kernels());
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(out[i], TypeParam::single(messages[i], 1234)) << "message " << i << " of " << count;
    }
}

using HashEachX64 = OnEachTier;

// Lists of 0 to 26 messages of mixed lengths (groups of eight and four, and
// the single messages after them), in list order and reversed, at every
// offset and with several seeds: each digest is the single hash's.
TEST_P(HashEachX64, MatchesTheSingleHash) {
    std::vector<unsigned char> bytes(8192);
    std::mt19937 rng(19);
    for (auto& b : bytes) b = static_cast<unsigned char>(rng());
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t count = rng() % 27;
        // Mostly lengths close together (long common runs), sometimes any length up to 2 KiB.
        const std::size_t around = rng() % 1100;
        std::vector<interleaved::Message> messages;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t len = rng() % 4 == 0 ? rng() % 2049 : around + rng() % 40;
            messages.emplace_back(bytes.data() + rng() % 4000, len);
        }
        const auto seed = static_cast<std::uint32_t>(trial % 3 == 0 ? 0 : rng());
        for (int order = 0; order < 2; ++order) {
            if (order == 1) std::reverse(messages.begin(), messages.end());
            std::vector<x64_128::State> out(count);
            x64_128::hash_each(messages, seed, out.data(), table_);
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(out[i], x64_128::hash_with(messages[i].data(), messages[i].size(), seed, scalar_))
                    << "message " << i << " of " << count << " (" << messages[i].size() << " bytes), seed " << seed;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tiers, HashEachX64, ::testing::ValuesIn(backend::TIERS), tier_name);

#if defined(__x86_64__)
// Only AMD's quick VPMULLQ gets the eight-lane routine; the rest is alike.
TEST(KernelChoices, IntelAndAmdWithTheSameFeatures) {
    using backend::Processor, backend::Vendor;
    namespace features = backend::tier_features;
    const auto choices = [](Vendor vendor, std::uint16_t extensions) {
        return kernel_choices(for_processor({{features::AVX512}, extensions, vendor}));
    };
    const auto with_many = [](std::string_view many) {
        return backend::KernelChoices{{"x86_32", "avx2"},
                                      {"x86_32_short", "scalar"},
                                      {"x86_128", "avx2"},
                                      {"x64_128", "avx2_bmi2"},
                                      {"x64_128_many", many}};
    };
    EXPECT_EQ(choices(Vendor::Intel, features::ALL_EXTENSIONS), with_many("scalar"));
    EXPECT_EQ(choices(Vendor::Amd, features::ALL_EXTENSIONS), with_many("avx512"));
    EXPECT_EQ(choices(Vendor::Amd, Processor::AVX512VL), with_many("scalar"));  // without DQ
}
#endif

}  // namespace
}  // namespace vantorq::murmur3
