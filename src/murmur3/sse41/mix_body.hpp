#pragma once
// The SSE4.1 block-mixing kernels of the three variants: one 128-bit vector
// of key lanes a step. Each equals its variant's mix_body_scalar for every
// body and may be called only on a processor with SSE4.1.

#include <cstddef>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::murmur3::sse41 {

std::uint32_t mix_body_x86_32(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);
void mix_body_x86_128(const unsigned char* blocks, std::size_t byte_count, x86_128::State& h);
void mix_body_x64_128(const unsigned char* blocks, std::size_t byte_count, x64_128::State& h);

}  // namespace vantorq::murmur3::sse41
