#pragma once
// XXH3-64 and XXH3-128 of one input of any length with a 64-bit seed or a
// caller's secret.

#include <cstddef>
#include <cstdint>

#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"
#include "xxhash/short_inputs.hpp"

namespace vantorq::xxhash::one_shot {

// The hashes of an input of at most 240 bytes, the length class choosing the
// path, on the secret words of `words` (short_inputs.hpp) with `seed`.
// Inline, so that a caller over many short inputs (a list) pays no call for
// the choice.
template <typename Words>
[[gnu::always_inline]] inline std::uint64_t xxh3_64_short_keyed(const unsigned char* data, std::size_t len,
                                                                std::uint64_t seed, Words words) {
    if (len <= 16) return short_inputs::xxh3_64_len_0_to_16(data, len, seed, words);
    if (len <= 128) return short_inputs::xxh3_64_len_17_to_128(data, len, seed, words);
    return short_inputs::xxh3_64_len_129_to_240(data, len, seed, words);
}

template <typename Words>
[[gnu::always_inline]] inline Hash128 xxh3_128_short_keyed(const unsigned char* data, std::size_t len,
                                                           std::uint64_t seed, Words words) {
    if (len <= 16) return short_inputs::xxh3_128_len_0_to_16(data, len, seed, words);
    if (len <= 128) return short_inputs::xxh3_128_len_17_to_128(data, len, seed, words);
    return short_inputs::xxh3_128_len_129_to_240(data, len, seed, words);
}

// The same on the default secret: plain functions, whose address a list's
// kernel takes.
[[gnu::always_inline]] inline std::uint64_t xxh3_64_short(const unsigned char* data, std::size_t len,
                                                          std::uint64_t seed) {
    return xxh3_64_short_keyed(data, len, seed, short_inputs::DefaultWords{});
}

[[gnu::always_inline]] inline Hash128 xxh3_128_short(const unsigned char* data, std::size_t len, std::uint64_t seed) {
    return xxh3_128_short_keyed(data, len, seed, short_inputs::DefaultWords{});
}

// The hashes of an input of any length, the long path (more than 240 bytes)
// on `engine`. Every engine gives the same hashes.
std::uint64_t xxh3_64(const unsigned char* data, std::size_t len, std::uint64_t seed,
                      const long_inputs::LongEngine& engine);
Hash128 xxh3_128(const unsigned char* data, std::size_t len, std::uint64_t seed,
                 const long_inputs::LongEngine& engine);

// The same for an input of more than MIDSIZE_MAX bytes: a function with no
// short path, whose frame (the short paths' registers) seed 0 never sets up.
std::uint64_t xxh3_64_beyond_short(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                   const long_inputs::LongEngine& engine);
Hash128 xxh3_128_beyond_short(const unsigned char* data, std::size_t len, std::uint64_t seed,
                              const long_inputs::LongEngine& engine);

// The same on this processor's engine. A short input is hashed inline at the
// call, which for 16 bytes costs less than the call and the engine's lookup.
[[gnu::always_inline]] inline std::uint64_t xxh3_64(const unsigned char* data, std::size_t len, std::uint64_t seed) {
    if (len <= MIDSIZE_MAX) return xxh3_64_short(data, len, seed);
    return xxh3_64_beyond_short(data, len, seed, long_inputs::long_engine());
}

[[gnu::always_inline]] inline Hash128 xxh3_128(const unsigned char* data, std::size_t len, std::uint64_t seed) {
    if (len <= MIDSIZE_MAX) return xxh3_128_short(data, len, seed);
    return xxh3_128_beyond_short(data, len, seed, long_inputs::long_engine());
}

// The long path on a secret already derived for `seed`: a list derives it once.
std::uint64_t xxh3_64_long(const unsigned char* data, std::size_t len, std::uint64_t seed,
                           const unsigned char* secret, const long_inputs::LongEngine& engine);
Hash128 xxh3_128_long(const unsigned char* data, std::size_t len, std::uint64_t seed, const unsigned char* secret,
                      const long_inputs::LongEngine& engine);

// The hashes of an input of any length keyed by a caller's secret instead of
// a seed; the long path's blocks follow the secret's size.
std::uint64_t xxh3_64_with_secret(const unsigned char* data, std::size_t len, SecretView secret,
                                  const long_inputs::LongEngine& engine = long_inputs::long_engine());
Hash128 xxh3_128_with_secret(const unsigned char* data, std::size_t len, SecretView secret,
                             const long_inputs::LongEngine& engine = long_inputs::long_engine());

}  // namespace vantorq::xxhash::one_shot
