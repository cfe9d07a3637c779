#include "murmur3/x86_128.hpp"

#include <algorithm>

namespace vantorq::murmur3::x86_128 {

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) mix_block(h, blocks + i);
}

void mix_body(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_scalar(blocks, byte_count, h);
}

State finish_tail(const unsigned char* tail, std::size_t tail_len, State h, std::uint64_t total_len) {
    // Each non-empty lane word is key-mixed and XORed in, without the state step.
    const auto lane = [&](std::size_t i) {
        const std::size_t start = 4 * i;
        return tail_len > start ? load_partial<std::uint32_t>(tail + start, std::min<std::size_t>(4, tail_len - start))
                                : 0u;
    };
    if (tail_len > 12) h[3] ^= mix_key<3>(lane(3));
    if (tail_len > 8) h[2] ^= mix_key<2>(lane(2));
    if (tail_len > 4) h[1] ^= mix_key<1>(lane(1));
    if (tail_len > 0) h[0] ^= mix_key<0>(lane(0));

    const auto len32 = static_cast<std::uint32_t>(total_len);
    for (auto& word : h) word ^= len32;
    h[0] += h[1] + h[2] + h[3];
    h[1] += h[0];
    h[2] += h[0];
    h[3] += h[0];
    for (auto& word : h) word = fmix32(word);
    h[0] += h[1] + h[2] + h[3];
    h[1] += h[0];
    h[2] += h[0];
    h[3] += h[0];
    return h;
}

State hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    State h{seed, seed, seed, seed};
    const std::size_t body = len & ~(BLOCK_SIZE - 1);
    mix_body(data, body, h);
    return finish_tail(data + body, len - body, h, len);
}

}  // namespace vantorq::murmur3::x86_128
