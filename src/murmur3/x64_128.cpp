#include "murmur3/x64_128.hpp"

#include <algorithm>

namespace vantorq::murmur3::x64_128 {

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) mix_block(h, blocks + i);
}

void mix_body(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_scalar(blocks, byte_count, h);
}

State finish_tail(const unsigned char* tail, std::size_t tail_len, State state, std::uint64_t total_len) {
    std::uint64_t h1 = state[0], h2 = state[1];
    if (tail_len > 8) h2 ^= mix_key2(load_partial<std::uint64_t>(tail + 8, tail_len - 8));
    if (tail_len > 0) h1 ^= mix_key1(load_partial<std::uint64_t>(tail, std::min<std::size_t>(8, tail_len)));

    h1 ^= total_len;
    h2 ^= total_len;
    h1 += h2;
    h2 += h1;
    h1 = fmix64(h1);
    h2 = fmix64(h2);
    h1 += h2;
    h2 += h1;
    return {h1, h2};
}

State hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    State h{seed, seed};
    const std::size_t body = len & ~(BLOCK_SIZE - 1);
    mix_body(data, body, h);
    return finish_tail(data + body, len - body, h, len);
}

}  // namespace vantorq::murmur3::x64_128
