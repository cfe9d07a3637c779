#pragma once
// Arithmetic shared by the three MurmurHash3 variants.

#include <bit>
#include <cstdint>
#include <cstring>

namespace vantorq::murmur3 {

static_assert(std::endian::native == std::endian::little, "block loads assume a little-endian host");

[[gnu::always_inline]] inline std::uint32_t load_u32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

[[gnu::always_inline]] inline std::uint64_t load_u64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// std::rotl is an ordinary inline template: emitted from a file compiled with
// BMI2 it would be RORX, and the linker might keep that copy for every caller.
template <typename Word>
[[gnu::always_inline]] constexpr Word rotl(Word x, int r) {
    constexpr int BITS = 8 * sizeof(Word);
    return static_cast<Word>((x << r) | (x >> ((BITS - r) & (BITS - 1))));
}

[[gnu::always_inline]] inline void store_u32(unsigned char* p, std::uint32_t v) { std::memcpy(p, &v, sizeof v); }
[[gnu::always_inline]] inline void store_u64(unsigned char* p, std::uint64_t v) { std::memcpy(p, &v, sizeof v); }

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
