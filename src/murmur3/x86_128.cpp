#include "murmur3/x86_128.hpp"

#include <algorithm>

#include "murmur3/kernels.hpp"
#include "murmur3/variants.hpp"

namespace vantorq::murmur3::x86_128 {

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) mix_block(h, blocks + i);
}

State finish_tail(const unsigned char* tail, std::size_t tail_len, State state, std::uint64_t total_len) {
    // Plain locals, not the array: four words kept in an array get packed
    // into one vector in pieces, and the reload stalls on store forwarding.
    std::uint32_t h1 = state[0], h2 = state[1], h3 = state[2], h4 = state[3];

    // Each non-empty lane word is key-mixed and XORed in, without the state step.
    const auto lane = [&](std::size_t start) {
        return load_partial<std::uint32_t>(tail + start, std::min<std::size_t>(4, tail_len - start));
    };
    if (tail_len > 12) h4 ^= mix_key<3>(lane(12));
    if (tail_len > 8) h3 ^= mix_key<2>(lane(8));
    if (tail_len > 4) h2 ^= mix_key<1>(lane(4));
    if (tail_len > 0) h1 ^= mix_key<0>(lane(0));

    const auto len32 = static_cast<std::uint32_t>(total_len);
    h1 ^= len32;
    h2 ^= len32;
    h3 ^= len32;
    h4 ^= len32;
    h1 += h2 + h3 + h4;
    h2 += h1;
    h3 += h1;
    h4 += h1;
    h1 = fmix32(h1);
    h2 = fmix32(h2);
    h3 = fmix32(h3);
    h4 = fmix32(h4);
    h1 += h2 + h3 + h4;
    h2 += h1;
    h3 += h1;
    h4 += h1;
    return {h1, h2, h3, h4};
}

State hash_with(const unsigned char* data, std::size_t len, std::uint32_t seed, const Kernels& table) {
    return variants::hash<variants::X86_128>(data, len, seed, table);
}

State hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    return variants::hash<variants::X86_128>(data, len, seed, kernels());
}

}  // namespace vantorq::murmur3::x86_128
