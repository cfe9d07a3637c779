#pragma once
// Constants and mixing steps shared by every XXH3 path; word access is the
// backend's. Everything here is constexpr data or always_inline, so that the
// vector tier files may use it without emitting a copy compiled for their
// instruction set.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

#include "backend/bytes.hpp"

namespace vantorq::xxhash {

using backend::load_u32;
using backend::load_u64;
using backend::rotl;
using backend::store_u32;
using backend::store_u64;

inline constexpr std::uint32_t PRIME32_1 = 0x9e3779b1u;
inline constexpr std::uint32_t PRIME32_2 = 0x85ebca77u;
inline constexpr std::uint32_t PRIME32_3 = 0xc2b2ae3du;
inline constexpr std::uint32_t PRIME32_4 = 0x27d4eb2fu;
inline constexpr std::uint32_t PRIME32_5 = 0x165667b1u;
inline constexpr std::uint64_t PRIME64_1 = 0x9e3779b185ebca87ull;
inline constexpr std::uint64_t PRIME64_2 = 0xc2b2ae3d27d4eb4full;
inline constexpr std::uint64_t PRIME64_3 = 0x165667b19e3779f9ull;
inline constexpr std::uint64_t PRIME64_4 = 0x85ebca77c2b2ae63ull;
inline constexpr std::uint64_t PRIME64_5 = 0x27d4eb2f165667c5ull;
inline constexpr std::uint64_t PRIME_MX1 = 0x165667919e3779f9ull;  // XXH3 avalanche multiplier
inline constexpr std::uint64_t PRIME_MX2 = 0x9fb21c651e98df25ull;  // 4-8 byte mixer multiplier

inline constexpr std::size_t SECRET_SIZE = 192;
using Secret = std::array<unsigned char, SECRET_SIZE>;

alignas(64) inline constexpr Secret DEFAULT_SECRET = {
    0xb8, 0xfe, 0x6c, 0x39, 0x23, 0xa4, 0x4b, 0xbe, 0x7c, 0x01, 0x81, 0x2c, 0xf7, 0x21, 0xad, 0x1c,
    0xde, 0xd4, 0x6d, 0xe9, 0x83, 0x90, 0x97, 0xdb, 0x72, 0x40, 0xa4, 0xa4, 0xb7, 0xb3, 0x67, 0x1f,
    0xcb, 0x79, 0xe6, 0x4e, 0xcc, 0xc0, 0xe5, 0x78, 0x82, 0x5a, 0xd0, 0x7d, 0xcc, 0xff, 0x72, 0x21,
    0xb8, 0x08, 0x46, 0x74, 0xf7, 0x43, 0x24, 0x8e, 0xe0, 0x35, 0x90, 0xe6, 0x81, 0x3a, 0x26, 0x4c,
    0x3c, 0x28, 0x52, 0xbb, 0x91, 0xc3, 0x00, 0xcb, 0x88, 0xd0, 0x65, 0x8b, 0x1b, 0x53, 0x2e, 0xa3,
    0x71, 0x64, 0x48, 0x97, 0xa2, 0x0d, 0xf9, 0x4e, 0x38, 0x19, 0xef, 0x46, 0xa9, 0xde, 0xac, 0xd8,
    0xa8, 0xfa, 0x76, 0x3f, 0xe3, 0x9c, 0x34, 0x3f, 0xf9, 0xdc, 0xbb, 0xc7, 0xc7, 0x0b, 0x4f, 0x1d,
    0x8a, 0x51, 0xe0, 0x4b, 0xcd, 0xb4, 0x59, 0x31, 0xc8, 0x9f, 0x7e, 0xc9, 0xd9, 0x78, 0x73, 0x64,
    0xea, 0xc5, 0xac, 0x83, 0x34, 0xd3, 0xeb, 0xc3, 0xc5, 0x81, 0xa0, 0xff, 0xfa, 0x13, 0x63, 0xeb,
    0x17, 0x0d, 0xdd, 0x51, 0xb7, 0xf0, 0xda, 0x49, 0xd3, 0x16, 0x55, 0x26, 0x29, 0xd4, 0x68, 0x9e,
    0x2b, 0x16, 0xbe, 0x58, 0x7d, 0x47, 0xa1, 0xfc, 0x8f, 0xf8, 0xb8, 0xd1, 0x7a, 0xd0, 0x31, 0xce,
    0x45, 0xcb, 0x3a, 0x8f, 0x95, 0x16, 0x04, 0x28, 0xaf, 0xd7, 0xfb, 0xca, 0xbb, 0x4b, 0x40, 0x7e,
};

// Inputs of at most this many bytes never touch the long-input engine.
inline constexpr std::size_t MIDSIZE_MAX = 240;

// The smallest secret a caller may give: the short paths read it up to byte
// 136 whatever its size (the 129-240 byte ones end at 119 + 16 and 103 + 32).
inline constexpr std::size_t SECRET_SIZE_MIN = 136;

inline constexpr std::size_t STRIPE_LEN = 64;
inline constexpr std::size_t SECRET_ADVANCE = 8;  // secret bytes consumed per stripe
inline constexpr std::size_t MERGE_LOW_SECRET_OFFSET = 11;

// Where the long path reads a secret of `size` bytes: a block is as many
// stripes as the secret has room to advance over, and the scramble, the
// final stripe and the 128-bit hash's high merge take their keys from its
// end. Size is std::size_t for a caller's secret, or an integral_constant for
// the 192-byte default and seeded secrets, whose kernels thus see constants.
template <typename Size>
struct SecretGeometry {
    [[no_unique_address]] Size size;

    [[gnu::always_inline]] constexpr std::size_t stripes_per_block() const {
        return (size - STRIPE_LEN) / SECRET_ADVANCE;
    }
    [[gnu::always_inline]] constexpr std::size_t block_len() const { return STRIPE_LEN * stripes_per_block(); }
    [[gnu::always_inline]] constexpr std::size_t scramble_offset() const { return size - STRIPE_LEN; }
    [[gnu::always_inline]] constexpr std::size_t last_stripe_offset() const { return size - STRIPE_LEN - 7; }
    [[gnu::always_inline]] constexpr std::size_t merge_high_offset() const { return size - STRIPE_LEN - 11; }
};
using DefaultGeometry = SecretGeometry<std::integral_constant<std::size_t, SECRET_SIZE>>;
using RuntimeGeometry = SecretGeometry<std::size_t>;

// The default geometry's figures, for code that never sees another secret.
inline constexpr std::size_t STRIPES_PER_BLOCK = DefaultGeometry{}.stripes_per_block();
inline constexpr std::size_t BLOCK_LEN = DefaultGeometry{}.block_len();
inline constexpr std::size_t SCRAMBLE_SECRET_OFFSET = DefaultGeometry{}.scramble_offset();
inline constexpr std::size_t LAST_STRIPE_SECRET_OFFSET = DefaultGeometry{}.last_stripe_offset();
inline constexpr std::size_t MERGE_HIGH_SECRET_OFFSET = DefaultGeometry{}.merge_high_offset();

// A caller's secret, borrowed: only of() makes one, so every holder has at
// least SECRET_SIZE_MIN bytes and no kernel checks the size again.
class SecretView {
public:
    static constexpr std::optional<SecretView> of(std::span<const unsigned char> bytes) {
        if (bytes.size() < SECRET_SIZE_MIN) return std::nullopt;
        return SecretView(bytes.data(), bytes.size());
    }

    constexpr const unsigned char* data() const { return data_; }
    constexpr std::size_t size() const { return size_; }
    constexpr RuntimeGeometry geometry() const { return {size_}; }

private:
    constexpr SecretView(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    const unsigned char* data_;
    std::size_t size_;
};

inline constexpr std::size_t ACCUMULATOR_LANES = 8;
using Accumulators = std::array<std::uint64_t, ACCUMULATOR_LANES>;
alignas(64) inline constexpr Accumulators INITIAL_ACCUMULATORS = {
    PRIME32_3, PRIME64_1, PRIME64_2, PRIME64_3, PRIME64_4, PRIME32_2, PRIME64_5, PRIME32_1,
};

// A read-only byte range: one input of a kernel or of a list.
struct ByteView {
    const unsigned char* data;
    std::size_t len;
};

// A 128-bit hash: the low word is the integer's least significant half.
struct Hash128 {
    std::uint64_t low;
    std::uint64_t high;
    friend constexpr bool operator==(Hash128, Hash128) = default;
};

// A word of the default secret at a byte offset, evaluated at compile time so
// that the short paths carry it as an immediate instead of loading the table.
template <std::size_t OFFSET>
inline constexpr std::uint64_t DEFAULT_SECRET_U64 = [] {
    static_assert(OFFSET + 8 <= SECRET_SIZE);
    std::uint64_t v = 0;
    for (std::size_t i = 8; i-- > 0;) v = (v << 8) | DEFAULT_SECRET[OFFSET + i];
    return v;
}();

template <std::size_t OFFSET>
inline constexpr std::uint32_t DEFAULT_SECRET_U32 = static_cast<std::uint32_t>(DEFAULT_SECRET_U64<OFFSET>);

__extension__ using uint128 = unsigned __int128;

[[gnu::always_inline]] constexpr Hash128 multiply_64_to_128(std::uint64_t a, std::uint64_t b) {
    const uint128 product = static_cast<uint128>(a) * b;
    return {static_cast<std::uint64_t>(product), static_cast<std::uint64_t>(product >> 64)};
}

// The full product's halves XORed: the mixer behind every XXH3 length class.
[[gnu::always_inline]] constexpr std::uint64_t multiply_fold_64(std::uint64_t a, std::uint64_t b) {
    const Hash128 product = multiply_64_to_128(a, b);
    return product.low ^ product.high;
}

[[gnu::always_inline]] constexpr std::uint64_t xorshift(std::uint64_t v, int shift) { return v ^ (v >> shift); }

// XXH64's final mix, used by XXH3 for inputs of 0-3 bytes.
[[gnu::always_inline]] constexpr std::uint64_t xxh64_avalanche(std::uint64_t h) {
    h = xorshift(h, 33) * PRIME64_2;
    h = xorshift(h, 29) * PRIME64_3;
    return xorshift(h, 32);
}

[[gnu::always_inline]] constexpr std::uint64_t avalanche(std::uint64_t h) {
    return xorshift(xorshift(h, 37) * PRIME_MX1, 32);
}

// The merge of the eight accumulators into one word against 64 secret bytes.
[[gnu::always_inline]] inline std::uint64_t merge_accumulators(const Accumulators& acc, const unsigned char* secret,
                                                               std::uint64_t start) {
    std::uint64_t result = start;
    for (std::size_t i = 0; i < ACCUMULATOR_LANES; i += 2)
        result += multiply_fold_64(acc[i] ^ load_u64(secret + 8 * i), acc[i + 1] ^ load_u64(secret + 8 * i + 8));
    return avalanche(result);
}

// The long path's hashes from the accumulators of an input of `len` bytes.
[[gnu::always_inline]] inline std::uint64_t finalize_long_64(std::size_t len, const unsigned char* secret,
                                                             const Accumulators& acc) {
    return merge_accumulators(acc, secret + MERGE_LOW_SECRET_OFFSET, len * PRIME64_1);
}

template <typename Geometry = DefaultGeometry>
[[gnu::always_inline]] inline Hash128 finalize_long_128(std::size_t len, const unsigned char* secret,
                                                        const Accumulators& acc, Geometry geometry = {}) {
    return {finalize_long_64(len, secret, acc),
            merge_accumulators(acc, secret + geometry.merge_high_offset(), ~(len * PRIME64_2))};
}

}  // namespace vantorq::xxhash
