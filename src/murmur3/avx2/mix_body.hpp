#pragma once
// The AVX2 block-mixing kernels of the three variants: eight 32-bit or four
// 64-bit key lanes a vector. Each equals its variant's mix_body_scalar for
// every body and may be called only on a processor with AVX2 (and BMI2 for
// the _bmi2 form).

#include <cstddef>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::murmur3::avx2 {

std::uint32_t mix_body_x86_32(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1);
void mix_body_x86_128(const unsigned char* blocks, std::size_t byte_count, x86_128::State& h);
void mix_body_x64_128(const unsigned char* blocks, std::size_t byte_count, x64_128::State& h);

// Defined in mix_body_bmi2.cpp, compiled with BMI2 too.
void mix_body_x64_128_bmi2(const unsigned char* blocks, std::size_t byte_count, x64_128::State& h);

}  // namespace vantorq::murmur3::avx2
