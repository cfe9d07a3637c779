#include "murmur3/x86_32.hpp"

#include "murmur3/kernels.hpp"
#include "murmur3/variants.hpp"

namespace vantorq::murmur3::x86_32 {

std::uint32_t mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) h1 = fold_key(h1, mix_key(load_u32(blocks + i)));
    return h1;
}

std::uint32_t finish_tail(const unsigned char* tail, std::size_t tail_len, std::uint32_t h1, std::uint64_t total_len) {
    if (tail_len != 0) h1 ^= mix_key(load_partial<std::uint32_t>(tail, tail_len));
    h1 ^= static_cast<std::uint32_t>(total_len);
    return fmix32(h1);
}

std::uint32_t hash_with(const unsigned char* data, std::size_t len, std::uint32_t seed, const Kernels& table) {
    return variants::hash<variants::X86_32>(data, len, seed, table);
}

std::uint32_t hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    return variants::hash<variants::X86_32>(data, len, seed, kernels());
}

}  // namespace vantorq::murmur3::x86_32
