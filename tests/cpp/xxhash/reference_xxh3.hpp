#pragma once
// The reference XXH3 keyed by a caller's secret (libxxhash, linked into the
// tests only), and the secrets the tests give it.

#include <xxhash.h>

#include <cstdint>
#include <random>
#include <vector>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::testing_support {

static_assert(XXH3_SECRET_SIZE_MIN == SECRET_SIZE_MIN);

// A secret of `size` bytes, its own for each size.
inline std::vector<unsigned char> caller_secret(std::size_t size) {
    std::mt19937_64 random(size);
    std::vector<unsigned char> secret(size);
    for (auto& byte : secret) byte = static_cast<unsigned char>(random() >> 56);
    return secret;
}

inline std::uint64_t reference_64(const unsigned char* data, std::size_t len,
                                  const std::vector<unsigned char>& secret) {
    return XXH3_64bits_withSecret(data, len, secret.data(), secret.size());
}

inline Hash128 reference_128(const unsigned char* data, std::size_t len, const std::vector<unsigned char>& secret) {
    const XXH128_hash_t h = XXH3_128bits_withSecret(data, len, secret.data(), secret.size());
    return {h.low64, h.high64};
}

}  // namespace vantorq::xxhash::testing_support
