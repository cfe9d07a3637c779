#pragma once
// Digest layouts of the MurmurHash3 variants, shared by the one-shot
// functions and the incremental hashers.

#include "bindings/python.hpp"

#include <array>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::bindings::murmur3::digest {

// h1 as 4 little-endian bytes.
inline void write(unsigned char* out, std::uint32_t h1) { vantorq::murmur3::store_u32(out, h1); }

// h1..h4, each as 4 little-endian bytes.
inline void write(unsigned char* out, const vantorq::murmur3::x86_128::State& h) {
    for (std::size_t i = 0; i < h.size(); ++i) vantorq::murmur3::store_u32(out + 4 * i, h[i]);
}

// h1 then h2, each as 8 little-endian bytes.
inline void write(unsigned char* out, const vantorq::murmur3::x64_128::State& h) {
    vantorq::murmur3::store_u64(out, h[0]);
    vantorq::murmur3::store_u64(out + 8, h[1]);
}

// Every variant's digest is its final state words, so it is as long as they are.
template <typename State>
inline constexpr std::size_t DIGEST_SIZE = sizeof(State);

// A new bytes object holding the digest. Written in place: staging the words
// in a buffer and copying it would reload them wider than they were stored.
template <typename State>
PyObject* bytes_of(const State& state) {
    PyObject* bytes = PyBytes_FromStringAndSize(nullptr, DIGEST_SIZE<State>);
    if (bytes != nullptr) write(reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(bytes)), state);
    return bytes;
}

// The digest's bytes in order, each as two lowercase hexadecimal digits.
template <typename State>
PyObject* hex_of(const State& state) {
    static constexpr char DIGITS[] = "0123456789abcdef";
    constexpr std::size_t N = DIGEST_SIZE<State>;
    std::array<unsigned char, N> digest;
    write(digest.data(), state);
    std::array<char, 2 * N> text;
    for (std::size_t i = 0; i < N; ++i) {
        text[2 * i] = DIGITS[digest[i] >> 4];
        text[2 * i + 1] = DIGITS[digest[i] & 0x0f];
    }
    return PyUnicode_FromStringAndSize(text.data(), 2 * N);
}

}  // namespace vantorq::bindings::murmur3::digest
