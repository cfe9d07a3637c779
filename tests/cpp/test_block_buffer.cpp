// The pending-block buffer: whatever the split of a message into chunks, the
// blocks handed out, in order, are the message's whole blocks, bulk runs come
// straight from the chunks, and only the leftover bytes stay pending.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "backend/block_buffer.hpp"

namespace vantorq::backend {
namespace {

struct Split {
    const char* name;
    std::size_t message_size;
    std::vector<std::size_t> chunk_sizes;  // repeated until the message is used up
};

void PrintTo(const Split& s, std::ostream* out) { *out << s.name; }

template <class Buffer>
class FeedsWholeBlocks {
public:
    explicit FeedsWholeBlocks(const Split& split) : split_(split) {
        std::mt19937 rng(0x626c6f636bu);
        message_.resize(split.message_size);
        for (auto& byte : message_) byte = static_cast<unsigned char>(rng());
    }

    void run() {
        constexpr std::size_t BLOCK = Buffer::BLOCK_SIZE;
        Buffer buffer;
        std::vector<unsigned char> mixed;
        std::size_t offset = 0;
        for (std::size_t i = 0; offset < message_.size(); ++i) {
            const std::size_t size =
                std::min(split_.chunk_sizes[i % split_.chunk_sizes.size()], message_.size() - offset);
            const unsigned char* const chunk = message_.data() + offset;
            buffer.feed(
                chunk, size, [&](const unsigned char* block) { mixed.insert(mixed.end(), block, block + BLOCK); },
                [&](const unsigned char* blocks, std::size_t byte_count) {
                    EXPECT_GT(byte_count, 0u);
                    EXPECT_EQ(byte_count % BLOCK, 0u);
                    EXPECT_TRUE(blocks >= chunk && blocks + byte_count <= chunk + size)
                        << "bulk blocks must be read from the chunk itself";
                    mixed.insert(mixed.end(), blocks, blocks + byte_count);
                });
            offset += size;
            ASSERT_LT(buffer.pending_size(), BLOCK);
            ASSERT_EQ(mixed.size() + buffer.pending_size(), offset) << "after chunk " << i;
        }
        const std::size_t whole = message_.size() - message_.size() % BLOCK;
        EXPECT_EQ(mixed, std::vector<unsigned char>(message_.begin(), message_.begin() + whole));
        EXPECT_EQ(std::vector<unsigned char>(buffer.pending(), buffer.pending() + buffer.pending_size()),
                  std::vector<unsigned char>(message_.begin() + whole, message_.end()));
    }

private:
    Split split_;
    std::vector<unsigned char> message_;
};

class BlockBufferSplits : public ::testing::TestWithParam<Split> {};

TEST_P(BlockBufferSplits, SixteenByteBlocks) { FeedsWholeBlocks<BasicBlockBuffer<16>>(GetParam()).run(); }

TEST_P(BlockBufferSplits, FourByteBlocks) { FeedsWholeBlocks<BasicBlockBuffer<4>>(GetParam()).run(); }

INSTANTIATE_TEST_SUITE_P(Murmur3, BlockBufferSplits,
                         ::testing::Values(Split{"whole", 1000, {1000}}, Split{"bytes", 1000, {1}},
                                           Split{"seventeens", 1000, {17}}, Split{"threes", 100, {3}},
                                           Split{"empty_chunks_between", 200, {0, 5, 0, 16, 0, 33}},
                                           Split{"block_multiples", 256, {16, 32, 48}},
                                           Split{"mixed", 4099, {15, 1, 16, 17, 2, 300, 5, 1024}},
                                           Split{"short_message", 3, {1, 1, 1}}, Split{"no_message", 0, {7}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BlockBuffer, EmptyChunkWithNullPointerChangesNothing) {
    BasicBlockBuffer<4> buffer;
    const unsigned char bytes[] = {1, 2};
    bool mixed = false;
    const auto record = [&](auto&&...) { mixed = true; };
    buffer.feed(bytes, 2, record, record);
    buffer.feed(nullptr, 0, record, record);
    EXPECT_FALSE(mixed);
    ASSERT_EQ(buffer.pending_size(), 2u);
    EXPECT_EQ(buffer.pending()[1], 2);
}

}  // namespace
}  // namespace vantorq::backend
