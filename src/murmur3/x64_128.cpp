#include "murmur3/x64_128.hpp"

#include <algorithm>

#include "murmur3/avx2/mix_body.hpp"
#include "murmur3/avx512/hash_each.hpp"
#include "murmur3/interleaved.hpp"
#include "murmur3/sse41/mix_body.hpp"
#include "murmur3/variants.hpp"

namespace vantorq::murmur3::x64_128 {

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h) {
    for (std::size_t i = 0; i < byte_count; i += BLOCK_SIZE) mix_block(h, blocks + i);
}

// Without a 64-bit vector multiply each key multiply costs three 32-bit
// ones, which pays off only from 512 bytes on. The SSE4.1 form, one block a
// vector, gains least and is kept to bodies of at most 8 MiB.
constexpr std::size_t VECTOR_MIN_BODY = 512;
constexpr std::size_t SSE41_MAX_BODY = std::size_t{8} << 20;

MixBody select_mix_body(std::size_t byte_count, backend::Capabilities caps) {
    using backend::Capabilities;
    if (byte_count >= VECTOR_MIN_BODY) {
        if (caps.has(Capabilities::AVX2 | Capabilities::BMI2)) return avx2::mix_body_x64_128_bmi2;
        if (caps.has(Capabilities::AVX2)) return avx2::mix_body_x64_128;
        if (byte_count <= SSE41_MAX_BODY && caps.has(Capabilities::SSE41)) return sse41::mix_body_x64_128;
    }
    return mix_body_scalar;
}

void mix_body(const unsigned char* blocks, std::size_t byte_count, State& h) {
    select_mix_body(byte_count, backend::capabilities())(blocks, byte_count, h);
}

State finish_tail(const unsigned char* tail, std::size_t tail_len, State state, std::uint64_t total_len) {
    std::uint64_t h1 = state[0], h2 = state[1];
    if (tail_len > 8) h2 ^= mix_key2(load_partial<std::uint64_t>(tail + 8, tail_len - 8));
    if (tail_len > 0) h1 ^= mix_key1(load_partial<std::uint64_t>(tail, std::min<std::size_t>(8, tail_len)));

    h1 ^= total_len;
    h2 ^= total_len;
    h1 += h2;
    h2 += h1;
    h1 = fmix64(h1);
    h2 = fmix64(h2);
    h1 += h2;
    h2 += h1;
    return {h1, h2};
}

State hash(const unsigned char* data, std::size_t len, std::uint32_t seed) {
    return variants::hash<variants::X64_128, VECTOR_MIN_BODY>(data, len, seed);
}

// Three or four messages at a time were alike in the scalar form and faster
// than two (1 KiB rows: 107-109 ns a row against 117, 129 one at a time);
// below about 192 bytes the grouping cost more than the interleaving gained
// (128 B: 22.2-22.6 ns against 20.1 alone). With a quick VPMULLQ (AMD's
// AVX-512 processors; Intel's would put three multiplies on every key) eight
// rows take four vector multiplies a block and the state update's shifts and
// adds run in the same lanes, which pays from about 112 bytes (a column of
// 1,000,000 rows, ns a row alone against grouped: 112 B 18.1-18.7 -> 16.6,
// 128 B 20.5-20.9 -> 17.3-18.1; 96 B tied, 64 B lost, 11.3 -> 13.3-14.0).
constexpr std::size_t SCALAR_ROWS = 4;
constexpr ManyMessages SCALAR_MANY{hash_each_scalar, 192};
constexpr ManyMessages EIGHT_LANES_MANY{avx512::hash_each_x64_128, 112};

void hash_each_scalar(Messages messages, std::uint32_t seed, State* out) {
    interleaved::hash_each<variants::X64_128, SCALAR_ROWS>(messages, seed, out);
}

ManyMessages select_many_messages(const backend::Processor& processor) {
    using backend::Capabilities, backend::Processor;
    if (processor.has(Capabilities::AVX512F, Processor::AVX512DQ | Processor::AVX512VL) &&
        backend::has_quick_vpmullq(processor))
        return EIGHT_LANES_MANY;
    return SCALAR_MANY;
}

}  // namespace vantorq::murmur3::x64_128
