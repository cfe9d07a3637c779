#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "murmur3/kernels.hpp"
#include "murmur3/tier_tables.hpp"

namespace vantorq::murmur3 {
namespace {

// SMHasher's verification: hash keys {0}, {0,1}, ... of lengths 0-255 with
// seed 256 - length, hash the concatenated digests with seed 0, and read the
// first four bytes little-endian.
std::uint32_t smhasher_verification(std::size_t digest_size,
                                    const std::function<void(const unsigned char*, std::size_t, std::uint32_t,
                                                             unsigned char*)>& hash) {
    std::array<unsigned char, 256> key{};
    std::vector<unsigned char> digests(256 * digest_size);
    for (std::size_t i = 0; i < 256; ++i) {
        key[i] = static_cast<unsigned char>(i);
        hash(key.data(), i, static_cast<std::uint32_t>(256 - i), &digests[i * digest_size]);
    }
    std::vector<unsigned char> final_digest(digest_size);
    hash(digests.data(), digests.size(), 0, final_digest.data());
    return load_u32(final_digest.data());
}

// On every tier's table: the final hash of 1 KiB or 4 KiB of digests runs
// the tier's kernels.
using Murmur3Reference = OnEachTier;

TEST_P(Murmur3Reference, X86_32MatchesTheVerificationValue) {
    EXPECT_EQ(smhasher_verification(4,
                                    [&](const unsigned char* p, std::size_t n, std::uint32_t seed, unsigned char* out) {
                                        store_u32(out, x86_32::hash_with(p, n, seed, table_));
                                    }),
              0xB0F57EE3u);
}

TEST_P(Murmur3Reference, X86_128MatchesTheVerificationValue) {
    EXPECT_EQ(smhasher_verification(16,
                                    [&](const unsigned char* p, std::size_t n, std::uint32_t seed, unsigned char* out) {
                                        const auto h = x86_128::hash_with(p, n, seed, table_);
                                        for (int i = 0; i < 4; ++i) store_u32(out + 4 * i, h[i]);
                                    }),
              0xB3ECE62Au);
}

TEST_P(Murmur3Reference, X64_128MatchesTheVerificationValue) {
    EXPECT_EQ(smhasher_verification(16,
                                    [&](const unsigned char* p, std::size_t n, std::uint32_t seed, unsigned char* out) {
                                        const auto h = x64_128::hash_with(p, n, seed, table_);
                                        store_u64(out, h[0]);
                                        store_u64(out + 8, h[1]);
                                    }),
              0x6384BA69u);
}

INSTANTIATE_TEST_SUITE_P(Tiers, Murmur3Reference, ::testing::ValuesIn(backend::TIERS), tier_name);

}  // namespace
}  // namespace vantorq::murmur3
