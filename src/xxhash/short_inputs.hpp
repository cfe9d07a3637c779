#pragma once
// XXH3 for inputs of at most 240 bytes, one function per length class. The
// seed is mixed into the default secret's words where they are used, so no
// secret is ever built for these lengths.

#include <cstddef>
#include <cstdint>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::short_inputs {

// Each function requires a length inside its class.
std::uint64_t xxh3_64_len_0_to_16(const unsigned char* data, std::size_t len, std::uint64_t seed);
std::uint64_t xxh3_64_len_17_to_128(const unsigned char* data, std::size_t len, std::uint64_t seed);
std::uint64_t xxh3_64_len_129_to_240(const unsigned char* data, std::size_t len, std::uint64_t seed);

Hash128 xxh3_128_len_0_to_16(const unsigned char* data, std::size_t len, std::uint64_t seed);
Hash128 xxh3_128_len_17_to_128(const unsigned char* data, std::size_t len, std::uint64_t seed);
Hash128 xxh3_128_len_129_to_240(const unsigned char* data, std::size_t len, std::uint64_t seed);

}  // namespace vantorq::xxhash::short_inputs
