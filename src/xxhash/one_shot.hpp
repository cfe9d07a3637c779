#pragma once
// XXH3-64 and XXH3-128 of one input of any length with a 64-bit seed.

#include <cstddef>
#include <cstdint>

#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"
#include "xxhash/short_inputs.hpp"

namespace vantorq::xxhash::one_shot {

// The hashes of an input of at most 240 bytes, the length class choosing the
// path. Inline, so that a caller over many short inputs (a list) pays no call
// for the choice.
[[gnu::always_inline]] inline std::uint64_t xxh3_64_short(const unsigned char* data, std::size_t len,
                                                          std::uint64_t seed) {
    if (len <= 16) return short_inputs::xxh3_64_len_0_to_16(data, len, seed);
    if (len <= 128) return short_inputs::xxh3_64_len_17_to_128(data, len, seed);
    return short_inputs::xxh3_64_len_129_to_240(data, len, seed);
}

[[gnu::always_inline]] inline Hash128 xxh3_128_short(const unsigned char* data, std::size_t len, std::uint64_t seed) {
    if (len <= 16) return short_inputs::xxh3_128_len_0_to_16(data, len, seed);
    if (len <= 128) return short_inputs::xxh3_128_len_17_to_128(data, len, seed);
    return short_inputs::xxh3_128_len_129_to_240(data, len, seed);
}

// The hashes of an input of any length, the long path (more than 240 bytes)
// on `engine`. Every engine gives the same hashes.
std::uint64_t xxh3_64(const unsigned char* data, std::size_t len, std::uint64_t seed,
                      const long_inputs::LongEngine& engine = long_inputs::long_engine());
Hash128 xxh3_128(const unsigned char* data, std::size_t len, std::uint64_t seed,
                 const long_inputs::LongEngine& engine = long_inputs::long_engine());

// The long path on a secret already derived for `seed`: a list derives it once.
std::uint64_t xxh3_64_long(const unsigned char* data, std::size_t len, std::uint64_t seed,
                           const unsigned char* secret, const long_inputs::LongEngine& engine);
Hash128 xxh3_128_long(const unsigned char* data, std::size_t len, std::uint64_t seed, const unsigned char* secret,
                      const long_inputs::LongEngine& engine);

}  // namespace vantorq::xxhash::one_shot
