#pragma once
// MurmurHash3 x64_128 of many messages, eight at a time in the 64-bit lanes
// of AVX-512 registers. Call only on a processor with AVX-512 F, DQ and VL.

#include <cstdint>

#include "murmur3/x64_128.hpp"

namespace vantorq::murmur3::avx512 {

// x64_128::HashEach: out[i] = the hash of messages[i] with `seed`.
void hash_each_x64_128(x64_128::Messages messages, std::uint32_t seed, x64_128::State* out,
                       const Kernels& table);

}  // namespace vantorq::murmur3::avx512
