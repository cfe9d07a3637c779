#pragma once
// Arithmetic shared by the three MurmurHash3 variants; word access is the
// backend's.

#include <cstddef>
#include <cstdint>

#include "backend/bytes.hpp"

namespace vantorq::murmur3 {

using backend::load_u32;
using backend::load_u64;
using backend::rotl;
using backend::store_u32;
using backend::store_u64;

[[gnu::always_inline]] constexpr std::uint32_t fmix32(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}

[[gnu::always_inline]] constexpr std::uint64_t fmix64(std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    k *= 0xc4ceb9fe1a85ec53ull;
    k ^= k >> 33;
    return k;
}

// Tail bytes assembled little-endian into one lane word, as the reference's
// fall-through switch does.
template <typename Word>
[[gnu::always_inline]] inline Word load_partial(const unsigned char* p, std::size_t n) {
    Word w = 0;
    for (std::size_t i = n; i-- > 0;) w = static_cast<Word>((w << 8) | p[i]);
    return w;
}

}  // namespace vantorq::murmur3
