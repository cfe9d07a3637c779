#pragma once
// Digest layouts of the MurmurHash3 variants: each digest is its final state
// words, little-endian, in order.

#include <array>
#include <cstddef>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::murmur3::digest {

// h1 as 4 little-endian bytes.
inline void write(unsigned char* out, std::uint32_t h1) { store_u32(out, h1); }

// h1..h4, each as 4 little-endian bytes.
inline void write(unsigned char* out, const x86_128::State& h) {
    for (std::size_t i = 0; i < h.size(); ++i) store_u32(out + 4 * i, h[i]);
}

// h1 then h2, each as 8 little-endian bytes.
inline void write(unsigned char* out, const x64_128::State& h) {
    store_u64(out, h[0]);
    store_u64(out + 8, h[1]);
}

template <typename State>
inline constexpr std::size_t SIZE = sizeof(State);

// The digest's bytes in order, each as two lowercase hexadecimal digits.
template <typename State>
std::array<char, 2 * SIZE<State>> hex(const State& state) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::array<unsigned char, SIZE<State>> digest;
    write(digest.data(), state);
    std::array<char, 2 * SIZE<State>> text;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = DIGITS[digest[i] >> 4];
        text[2 * i + 1] = DIGITS[digest[i] & 0x0f];
    }
    return text;
}

}  // namespace vantorq::murmur3::digest
