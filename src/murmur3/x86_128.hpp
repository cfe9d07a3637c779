#pragma once
// MurmurHash3 x86_128: four 32-bit state words, 16-byte blocks of four lanes.

#include <array>
#include <cstddef>
#include <cstdint>

#include "murmur3/primitives.hpp"

namespace vantorq::murmur3 {
struct Kernels;
}

namespace vantorq::murmur3::x86_128 {

inline constexpr std::size_t BLOCK_SIZE = 16;
using State = std::array<std::uint32_t, 4>;

// Lane i's key is multiplied by C[i], rotated by KEY_ROTATION[i] and multiplied by C[i + 1].
inline constexpr std::uint32_t C[5] = {0x239b961bu, 0xab0e9789u, 0x38b34ae5u, 0xa1e38b93u, 0x239b961bu};
inline constexpr int KEY_ROTATION[4] = {15, 16, 17, 18};
inline constexpr int STATE_ROTATION[4] = {19, 17, 15, 13};
inline constexpr std::uint32_t LANE_ADD[4] = {0x561ccd1bu, 0x0bcaa747u, 0x96cd1c35u, 0x32ac3b17u};

template <int Lane>
[[gnu::always_inline]] constexpr std::uint32_t mix_key(std::uint32_t k) {
    return rotl(k * C[Lane], KEY_ROTATION[Lane]) * C[Lane + 1];
}

// Folds one block's four mixed keys into the state in the reference's lane order.
[[gnu::always_inline]] inline void fold_keys(State& h, std::uint32_t k1, std::uint32_t k2, std::uint32_t k3,
                                             std::uint32_t k4) {
    h[0] ^= k1;
    h[0] = (rotl(h[0], STATE_ROTATION[0]) + h[1]) * 5 + LANE_ADD[0];
    h[1] ^= k2;
    h[1] = (rotl(h[1], STATE_ROTATION[1]) + h[2]) * 5 + LANE_ADD[1];
    h[2] ^= k3;
    h[2] = (rotl(h[2], STATE_ROTATION[2]) + h[3]) * 5 + LANE_ADD[2];
    h[3] ^= k4;
    h[3] = (rotl(h[3], STATE_ROTATION[3]) + h[0]) * 5 + LANE_ADD[3];
}

[[gnu::always_inline]] inline void mix_block(State& h, const unsigned char* block) {
    fold_keys(h, mix_key<0>(load_u32(block)), mix_key<1>(load_u32(block + 4)), mix_key<2>(load_u32(block + 8)),
              mix_key<3>(load_u32(block + 12)));
}

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h);

using MixBody = void (*)(const unsigned char* blocks, std::size_t byte_count, State& h);

// The body lengths from which the vector kernels mix (murmur3/kernels.hpp
// holds them per processor): AVX2 from 128 bytes, four 256-bit vectors of two
// blocks each. Without AVX2 (older processors, where PMULLD is slow) the
// SSE4.1 kernel, one block a vector with its per-lane rotations built from
// multiplies, only from 16 MiB on.
inline constexpr std::size_t AVX2_FROM = 128;
inline constexpr std::size_t SSE41_FROM = std::size_t{16} << 20;
// No processor's kernel takes a shorter body.
inline constexpr std::size_t KERNELS_FROM = AVX2_FROM;

// Mixes the 0-15 tail bytes and finalises; returns h1..h4.
State finish_tail(const unsigned char* tail, std::size_t tail_len, State h, std::uint64_t total_len);

// The hash of a whole message on the kernels of `table` (murmur3/kernels.hpp).
State hash_with(const unsigned char* data, std::size_t len, std::uint32_t seed, const Kernels& table);

// The same on this process's kernels.
State hash(const unsigned char* data, std::size_t len, std::uint32_t seed);

}  // namespace vantorq::murmur3::x86_128
