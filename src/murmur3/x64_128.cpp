#include "murmur3/x64_128.hpp"

#include <algorithm>

#include "murmur3/interleaved.hpp"
#include "murmur3/kernels.hpp"
#include "murmur3/variants.hpp"

namespace vantorq::murmur3::x64_128 {

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) mix_block(h, blocks + i);
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

State hash_with(const unsigned char* data, std::size_t len, std::uint32_t seed, const Kernels& table) {
    return variants::hash<variants::X64_128>(data, len, seed, table);
}

State hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    return variants::hash<variants::X64_128>(data, len, seed, kernels());
}

// Four rows at a time: three or four were alike, and faster than two
// (kernels.cpp gives the figures).
void hash_each_scalar(Messages messages, std::uint32_t seed, State* out, const Kernels& table) {
    interleaved::hash_each<variants::X64_128, 4>(messages, seed, out, table);
}

}  // namespace vantorq::murmur3::x64_128
