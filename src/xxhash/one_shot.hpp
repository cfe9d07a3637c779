#pragma once
// XXH3-64 and XXH3-128 of one input of any length with a 64-bit seed.

#include <cstddef>
#include <cstdint>

#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::one_shot {

std::uint64_t xxh3_64(const unsigned char* data, std::size_t len, std::uint64_t seed);
Hash128 xxh3_128(const unsigned char* data, std::size_t len, std::uint64_t seed);

// The path for more than 240 bytes on a given engine; the functions above run
// it on long_inputs::long_engine(). Every engine gives the same hashes.
std::uint64_t xxh3_64_long(const unsigned char* data, std::size_t len, std::uint64_t seed,
                           const long_inputs::LongEngine& engine);
Hash128 xxh3_128_long(const unsigned char* data, std::size_t len, std::uint64_t seed,
                      const long_inputs::LongEngine& engine);

}  // namespace vantorq::xxhash::one_shot
