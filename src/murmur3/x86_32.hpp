#pragma once
// MurmurHash3 x86_32: one 32-bit state word, 4-byte blocks.

#include <cstddef>
#include <cstdint>

#include "murmur3/primitives.hpp"

namespace vantorq::murmur3 {
struct Kernels;
}

namespace vantorq::murmur3::x86_32 {

inline constexpr std::size_t BLOCK_SIZE = 4;
inline constexpr std::uint32_t C1 = 0xcc9e2d51u;
inline constexpr std::uint32_t C2 = 0x1b873593u;

[[gnu::always_inline]] constexpr std::uint32_t mix_key(std::uint32_t k) {
    return rotl(k * C1, 15) * C2;
}

[[gnu::always_inline]] constexpr std::uint32_t fold_key(std::uint32_t h1, std::uint32_t k) {
    return rotl(h1 ^ k, 13) * 5 + 0xe6546b64u;
}

// Mixes `byte_count` bytes (a multiple of BLOCK_SIZE) of whole blocks into h1.
std::uint32_t mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);

using MixBody = std::uint32_t (*)(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);

// The body lengths from which the vector kernels mix (murmur3/kernels.hpp
// holds them per processor): AVX2 from one full vector of keys, 32 bytes,
// and SSE4.1 from the same length, not from its own 16: on 16-31-byte bodies
// the scalar loop, inlined where the table is not even read, was the quicker
// (Intel Xeon, AVX-512, a hash's latency: 16 B 16.1 -> 13.9 ns, 24 B 23.6 ->
// 21.2 ns; hashes back to back, 24 B 31.9 -> 18.4 ns).
inline constexpr std::size_t SSE41_FROM = 32;
inline constexpr std::size_t AVX2_FROM = 32;
// No processor's kernel takes a shorter body.
inline constexpr std::size_t KERNELS_FROM = SSE41_FROM < AVX2_FROM ? SSE41_FROM : AVX2_FROM;

// Mixes the 0-3 tail bytes and finalises; `total_len` counts the whole message.
std::uint32_t finish_tail(const unsigned char* tail, std::size_t tail_len, std::uint32_t h1, std::uint64_t total_len);

// The hash of a whole message on the kernels of `table` (murmur3/kernels.hpp).
std::uint32_t hash_with(const unsigned char* data, std::size_t len, std::uint32_t seed, const Kernels& table);

// The same on this process's kernels.
std::uint32_t hash(const unsigned char* data, std::size_t len, std::uint32_t seed);

}  // namespace vantorq::murmur3::x86_32
