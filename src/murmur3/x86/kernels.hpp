#pragma once
// The vector block-mixing kernels. Each equals its variant's mix_body_scalar
// for every body and may be called only when the processor has its tier.

#include <cstddef>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::murmur3 {

namespace x86_32::x86 {
std::uint32_t mix_body_sse41(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);
std::uint32_t mix_body_avx2(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);
}  // namespace x86_32::x86

namespace x86_128::x86 {
void mix_body_sse41(const unsigned char* blocks, std::size_t byte_count, State& h);
void mix_body_avx2(const unsigned char* blocks, std::size_t byte_count, State& h);
}  // namespace x86_128::x86

namespace x64_128::x86 {
void mix_body_sse41(const unsigned char* blocks, std::size_t byte_count, State& h);
void mix_body_avx2(const unsigned char* blocks, std::size_t byte_count, State& h);
void mix_body_avx2_bmi2(const unsigned char* blocks, std::size_t byte_count, State& h);
}  // namespace x64_128::x86

}  // namespace vantorq::murmur3
