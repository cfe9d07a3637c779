#pragma once
// The bytes of an incremental hash (MurmurHash3, XXH32, XXH64) that do not fill a block yet. Whole blocks
// of a chunk are mixed straight from the caller's memory; only the 0 to
// block-size-1 leftover bytes are copied here between chunks.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace vantorq::backend {

template <std::size_t BlockSize>
class BasicBlockBuffer {
public:
    static constexpr std::size_t BLOCK_SIZE = BlockSize;

    // Feeds one chunk: tops up the pending block and passes it to
    // `mix_block(block)` once full, passes the chunk's following whole blocks
    // to `mix_blocks(blocks, byte_count)`, and keeps the rest pending.
    template <class MixBlock, class MixBlocks>
    void feed(const unsigned char* data, std::size_t len, MixBlock&& mix_block, MixBlocks&& mix_blocks) {
        if (len == 0) return;  // an empty chunk may come with a null pointer
        if (pending_ != 0) {
            const std::size_t taken = std::min(len, BLOCK_SIZE - pending_);
            std::memcpy(bytes_.data() + pending_, data, taken);
            pending_ += taken;
            data += taken;
            len -= taken;
            if (pending_ < BLOCK_SIZE) return;
            mix_block(static_cast<const unsigned char*>(bytes_.data()));
            pending_ = 0;
        }
        const std::size_t body = len - len % BLOCK_SIZE;
        if (body != 0) mix_blocks(data, body);
        std::memcpy(bytes_.data(), data + body, len - body);
        pending_ = len - body;
    }

    const unsigned char* pending() const { return bytes_.data(); }
    std::size_t pending_size() const { return pending_; }

private:
    std::array<unsigned char, BLOCK_SIZE> bytes_{};
    std::size_t pending_ = 0;  // below BLOCK_SIZE between calls
};

}  // namespace vantorq::backend
