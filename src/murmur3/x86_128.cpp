#include "murmur3/x86_128.hpp"

#include <algorithm>

#include "murmur3/x86/kernels.hpp"

namespace vantorq::murmur3::x86_128 {

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) mix_block(h, blocks + i);
}

// Bodies of at least 128 bytes go to AVX2. Without AVX2 (older processors,
// where PMULLD is slow) the SSE4.1 kernel, one block a vector with its
// per-lane rotations built from multiplies, is kept to bodies of 16 MiB on.
constexpr std::size_t VECTOR_MIN_BODY = 128;
constexpr std::size_t SSE41_MIN_BODY = std::size_t{16} << 20;

MixBody select_mix_body(std::size_t byte_count, backend::Capabilities caps) {
    if (byte_count >= VECTOR_MIN_BODY) {
        if (caps.has(backend::Capabilities::AVX2)) return x86::mix_body_avx2;
        if (byte_count >= SSE41_MIN_BODY && caps.has(backend::Capabilities::SSE41)) return x86::mix_body_sse41;
    }
    return mix_body_scalar;
}

void mix_body(const unsigned char* blocks, std::size_t byte_count, State& h) {
    select_mix_body(byte_count, backend::capabilities())(blocks, byte_count, h);
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
