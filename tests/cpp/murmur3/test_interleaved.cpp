// Messages hashed side by side against each message hashed alone, for every
// variant: all length pairs up to 300 bytes (the common blocks, each
// message's own blocks and tail), both orders, several seeds and alignments,
// and lists of every count around the group size.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "murmur3/interleaved.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

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
        interleaved::hash<typename C::Variant, ROWS>(messages, seed, out);
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
        interleaved::hash_each<typename TypeParam::Variant, 4>(messages, 1234, out.data());
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(out[i], TypeParam::single(messages[i], 1234)) << "message " << i << " of " << count;
    }
}

}  // namespace
}  // namespace vantorq::murmur3
