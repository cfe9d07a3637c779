#include "xxhash/one_shot.hpp"

namespace vantorq::xxhash::one_shot {

namespace {

// A seed other than 0 derives its secret into an aligned frame of its own,
// which seed 0 never sets up.
[[gnu::noinline]] std::uint64_t xxh3_64_seeded(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                               const long_inputs::LongEngine& engine) {
    const long_inputs::SeededSecret secret(seed, engine);
    return xxh3_64_long(data, len, seed, secret.data(), engine);
}

[[gnu::noinline]] Hash128 xxh3_128_seeded(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                          const long_inputs::LongEngine& engine) {
    const long_inputs::SeededSecret secret(seed, engine);
    return xxh3_128_long(data, len, seed, secret.data(), engine);
}

}  // namespace

std::uint64_t xxh3_64_beyond_short(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                   const long_inputs::LongEngine& engine) {
    if (seed == 0) return xxh3_64_long(data, len, 0, DEFAULT_SECRET.data(), engine);
    return xxh3_64_seeded(data, len, seed, engine);
}

Hash128 xxh3_128_beyond_short(const unsigned char* data, std::size_t len, std::uint64_t seed,
                              const long_inputs::LongEngine& engine) {
    if (seed == 0) return xxh3_128_long(data, len, 0, DEFAULT_SECRET.data(), engine);
    return xxh3_128_seeded(data, len, seed, engine);
}

std::uint64_t xxh3_64(const unsigned char* data, std::size_t len, std::uint64_t seed,
                      const long_inputs::LongEngine& engine) {
    if (len <= MIDSIZE_MAX) return xxh3_64_short(data, len, seed);
    return xxh3_64_beyond_short(data, len, seed, engine);
}

Hash128 xxh3_128(const unsigned char* data, std::size_t len, std::uint64_t seed,
                 const long_inputs::LongEngine& engine) {
    if (len <= MIDSIZE_MAX) return xxh3_128_short(data, len, seed);
    return xxh3_128_beyond_short(data, len, seed, engine);
}

std::uint64_t xxh3_64_long(const unsigned char* data, std::size_t len, std::uint64_t seed,
                           const unsigned char* secret, const long_inputs::LongEngine& engine) {
    if (seed == 0 && len <= BLOCK_LEN) return engine.hash_64_medium(data, len);
    return finalize_long_64(len, secret, engine.accumulate(data, len, secret));
}

Hash128 xxh3_128_long(const unsigned char* data, std::size_t len, std::uint64_t seed, const unsigned char* secret,
                      const long_inputs::LongEngine& engine) {
    if (seed == 0 && len <= BLOCK_LEN) return engine.hash_128_medium(data, len);
    return finalize_long_128(len, secret, engine.accumulate(data, len, secret));
}

std::uint64_t xxh3_64_with_secret(const unsigned char* data, std::size_t len, SecretView secret,
                                  const long_inputs::LongEngine& engine) {
    if (len <= MIDSIZE_MAX) return xxh3_64_short_keyed(data, len, 0, short_inputs::LoadedWords{secret.data()});
    return finalize_long_64(len, secret.data(), engine.accumulate_with_secret(data, len, secret));
}

Hash128 xxh3_128_with_secret(const unsigned char* data, std::size_t len, SecretView secret,
                             const long_inputs::LongEngine& engine) {
    if (len <= MIDSIZE_MAX) return xxh3_128_short_keyed(data, len, 0, short_inputs::LoadedWords{secret.data()});
    return finalize_long_128(len, secret.data(), engine.accumulate_with_secret(data, len, secret), secret.geometry());
}

}  // namespace vantorq::xxhash::one_shot
