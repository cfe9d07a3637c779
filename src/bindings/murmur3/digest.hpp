#pragma once
// Digest layouts of the MurmurHash3 variants, shared by the one-shot
// functions and the incremental hashers.

#include "bindings/python.hpp"

#include <array>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::bindings::murmur3::digest {

template <std::size_t N>
using Digest = std::array<unsigned char, N>;

inline Digest<4> serialize(std::uint32_t h1) {
    Digest<4> out;
    vantorq::murmur3::store_u32(out.data(), h1);
    return out;
}

// h1..h4, each 4 little-endian bytes.
inline Digest<16> serialize(const vantorq::murmur3::x86_128::State& h) {
    Digest<16> out;
    for (std::size_t i = 0; i < h.size(); ++i) vantorq::murmur3::store_u32(out.data() + 4 * i, h[i]);
    return out;
}

// h1 then h2, each 8 little-endian bytes.
inline Digest<16> serialize(const vantorq::murmur3::x64_128::State& h) {
    Digest<16> out;
    vantorq::murmur3::store_u64(out.data(), h[0]);
    vantorq::murmur3::store_u64(out.data() + 8, h[1]);
    return out;
}

template <std::size_t N>
PyObject* bytes_of(const Digest<N>& digest) {
    return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(digest.data()), N);
}

// The digest's bytes in order, each as two lowercase hexadecimal digits.
template <std::size_t N>
PyObject* hex_of(const Digest<N>& digest) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::array<char, 2 * N> text;
    for (std::size_t i = 0; i < N; ++i) {
        text[2 * i] = DIGITS[digest[i] >> 4];
        text[2 * i + 1] = DIGITS[digest[i] & 0x0f];
    }
    return PyUnicode_FromStringAndSize(text.data(), 2 * N);
}

}  // namespace vantorq::bindings::murmur3::digest
