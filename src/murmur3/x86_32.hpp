#pragma once
// MurmurHash3 x86_32: one 32-bit state word, 4-byte blocks.

#include <cstddef>
#include <cstdint>

#include "backend/capabilities.hpp"
#include "murmur3/primitives.hpp"

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

// The block-mixing routine for a body of `byte_count` bytes on a processor with `caps`.
MixBody select_mix_body(std::size_t byte_count, backend::Capabilities caps);

// As mix_body_scalar, on the fastest kernel this processor has for the length.
std::uint32_t mix_body(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);

// Mixes the 0-3 tail bytes and finalises; `total_len` counts the whole message.
std::uint32_t finish_tail(const unsigned char* tail, std::size_t tail_len, std::uint32_t h1, std::uint64_t total_len);

std::uint32_t hash(const unsigned char* data, std::size_t len, std::uint32_t seed);

}  // namespace vantorq::murmur3::x86_32
