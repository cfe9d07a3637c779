#include "murmur3/x86_32.hpp"

#include "murmur3/avx2/mix_body.hpp"
#include "murmur3/sse41/mix_body.hpp"

namespace vantorq::murmur3::x86_32 {

std::uint32_t mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) h1 = fold_key(h1, mix_key(load_u32(blocks + i)));
    return h1;
}

// The vector kernels fold four or eight keys per vector. In a C++ loop they
// pay from one full vector on, but between interpreter calls the scalar loop
// is faster up to 64-byte bodies (murmur3_32 of 16 and 32 B against mmh3:
// 0.96-0.99 with the kernels from 16 and 32 bytes, 1.02-1.06 from 64).
constexpr std::size_t SSE41_MIN_BODY = 64;
constexpr std::size_t AVX2_MIN_BODY = 64;

MixBody select_mix_body(std::size_t byte_count, backend::Capabilities caps) {
    if (byte_count >= SSE41_MIN_BODY) {
        if (byte_count >= AVX2_MIN_BODY && caps.has(backend::Capabilities::AVX2)) return avx2::mix_body_x86_32;
        if (caps.has(backend::Capabilities::SSE41)) return sse41::mix_body_x86_32;
    }
    return mix_body_scalar;
}

std::uint32_t mix_body(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1) {
    return select_mix_body(byte_count, backend::capabilities())(blocks, byte_count, h1);
}

std::uint32_t finish_tail(const unsigned char* tail, std::size_t tail_len, std::uint32_t h1, std::uint64_t total_len) {
    if (tail_len != 0) h1 ^= mix_key(load_partial<std::uint32_t>(tail, tail_len));
    h1 ^= static_cast<std::uint32_t>(total_len);
    return fmix32(h1);
}

std::uint32_t hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    const std::size_t body = len & ~(BLOCK_SIZE - 1);
    return finish_tail(data + body, len - body, mix_body(data, body, seed), len);
}

}  // namespace vantorq::murmur3::x86_32
