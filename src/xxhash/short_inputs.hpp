#pragma once
// XXH3 for inputs of at most 240 bytes, one function per length class. The
// seed is mixed into the secret's words where they are used, so no secret is
// ever built for these lengths. Each function requires a length inside its
// class.
//
// The words come from a Words policy: the default secret's, as compile-time
// constants, unless a caller's secret is given (LoadedWords, seed 0). Every
// path reads the same offsets, below SECRET_SIZE_MIN, whatever the secret's
// size.
//
// Defined here, inline, so that a loop over many short inputs (a list, a
// column) runs the hash in its own body rather than through a call per
// input. The 0-16 byte paths are always inlined; the longer ones are left to
// the compiler.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::short_inputs {

// The default secret's words, carried as immediates.
struct DefaultWords {
    template <std::size_t OFFSET>
    [[gnu::always_inline]] static constexpr std::uint64_t u64() {
        return DEFAULT_SECRET_U64<OFFSET>;
    }
    template <std::size_t OFFSET>
    [[gnu::always_inline]] static constexpr std::uint32_t u32() {
        return DEFAULT_SECRET_U32<OFFSET>;
    }
};

// A caller's secret's words, loaded where they are used.
struct LoadedWords {
    const unsigned char* secret;

    template <std::size_t OFFSET>
    [[gnu::always_inline]] std::uint64_t u64() const {
        static_assert(OFFSET + 8 <= SECRET_SIZE_MIN);
        return load_u64(secret + OFFSET);
    }
    template <std::size_t OFFSET>
    [[gnu::always_inline]] std::uint32_t u32() const {
        static_assert(OFFSET + 4 <= SECRET_SIZE_MIN);
        return load_u32(secret + OFFSET);
    }
};

// The secret's words at byte OFFSET.
template <std::size_t OFFSET, typename Words>
[[gnu::always_inline]] inline std::uint64_t k64(Words words) {
    return words.template u64<OFFSET>();
}
template <std::size_t OFFSET, typename Words>
[[gnu::always_inline]] inline std::uint32_t k32(Words words) {
    return words.template u32<OFFSET>();
}

// Mixes 16 input bytes against the 16 secret bytes at OFFSET, seeded.
template <std::size_t OFFSET, typename Words>
[[gnu::always_inline]] inline std::uint64_t mix16(const unsigned char* p, std::uint64_t seed, Words words) {
    return multiply_fold_64(load_u64(p) ^ (k64<OFFSET>(words) + seed),
                            load_u64(p + 8) ^ (k64<OFFSET + 8>(words) - seed));
}

// The 128-bit step: two 16-byte lanes, each mixed into one half and added
// raw into the other, so that both halves see all 32 bytes.
template <std::size_t OFFSET, typename Words>
[[gnu::always_inline]] inline void mix32(Hash128& acc, const unsigned char* a, const unsigned char* b,
                                         std::uint64_t seed, Words words) {
    acc.low += mix16<OFFSET>(a, seed, words);
    acc.low ^= load_u64(b) + load_u64(b + 8);
    acc.high += mix16<OFFSET + 16>(b, seed, words);
    acc.high ^= load_u64(a) + load_u64(a + 8);
}

// The first, middle and last byte with the length: every 1-3 byte input gets a
// distinct word.
[[gnu::always_inline]] inline std::uint32_t combine_1_to_3(const unsigned char* data, std::size_t len) {
    return (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[len >> 1]} << 24) | std::uint32_t{data[len - 1]} |
           (static_cast<std::uint32_t>(len) << 8);
}

// The 4-8 byte paths spread the seed's low half into its high half so that
// every seed bit reaches the 64-bit key.
[[gnu::always_inline]] inline std::uint64_t spread_seed_4_to_8(std::uint64_t seed) {
    return seed ^ (std::uint64_t{__builtin_bswap32(static_cast<std::uint32_t>(seed))} << 32);
}

// A stronger finaliser than the avalanche, needed because a 4-8 byte input
// goes through no multiply before it.
[[gnu::always_inline]] inline std::uint64_t rrmxmx(std::uint64_t h, std::size_t len) {
    h ^= std::rotl(h, 49) ^ std::rotl(h, 24);
    h *= PRIME_MX2;
    h ^= (h >> 35) + len;
    h *= PRIME_MX2;
    return xorshift(h, 28);
}

[[gnu::always_inline]] inline Hash128 finish_128(Hash128 acc, std::size_t len, std::uint64_t seed) {
    const std::uint64_t low = acc.low + acc.high;
    const std::uint64_t high = acc.low * PRIME64_1 + acc.high * PRIME64_4 + (len - seed) * PRIME64_2;
    return {avalanche(low), 0 - avalanche(high)};
}

template <typename Words = DefaultWords>
[[gnu::always_inline]] inline std::uint64_t xxh3_64_len_0_to_16(const unsigned char* data, std::size_t len,
                                                                std::uint64_t seed, Words words = {}) {
    if (len > 8) {
        const std::uint64_t low = load_u64(data) ^ ((k64<24>(words) ^ k64<32>(words)) + seed);
        const std::uint64_t high = load_u64(data + len - 8) ^ ((k64<40>(words) ^ k64<48>(words)) - seed);
        return avalanche(len + __builtin_bswap64(low) + high + multiply_fold_64(low, high));
    }
    if (len >= 4) {
        seed = spread_seed_4_to_8(seed);
        const std::uint64_t input = load_u32(data + len - 4) + (std::uint64_t{load_u32(data)} << 32);
        return rrmxmx(input ^ ((k64<8>(words) ^ k64<16>(words)) - seed), len);
    }
    if (len > 0) return xxh64_avalanche(combine_1_to_3(data, len) ^ ((k32<0>(words) ^ k32<4>(words)) + seed));
    return xxh64_avalanche(seed ^ k64<56>(words) ^ k64<64>(words));
}

template <typename Words = DefaultWords>
inline std::uint64_t xxh3_64_len_17_to_128(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                           Words words = {}) {
    std::uint64_t acc = len * PRIME64_1;
    // Pair k mixes the k-th 16 bytes from the front and from the back; longer
    // inputs use more pairs, so every byte is read at least once.
    [&]<std::size_t... K>(std::index_sequence<K...>) {
        ((len > 32 * K ? acc += mix16<32 * K>(data + 16 * K, seed, words) +
                               mix16<32 * K + 16>(data + len - 16 * (K + 1), seed, words)
                       : acc),
         ...);
    }(std::make_index_sequence<4>{});
    return avalanche(acc);
}

template <typename Words = DefaultWords>
inline std::uint64_t xxh3_64_len_129_to_240(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                            Words words = {}) {
    std::uint64_t acc = len * PRIME64_1;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((acc += mix16<16 * I>(data + 16 * I, seed, words)), ...);
    }(std::make_index_sequence<8>{});
    acc = avalanche(acc);
    // Rounds past the eighth restart at secret offset 3 so that they do not
    // reuse the words of the first eight.
    const std::size_t extra_rounds = len / 16 - 8;
    [&]<std::size_t... J>(std::index_sequence<J...>) {
        ((J < extra_rounds ? acc += mix16<16 * J + 3>(data + 16 * (J + 8), seed, words) : acc), ...);
    }(std::make_index_sequence<MIDSIZE_MAX / 16 - 8>{});
    acc += mix16<119>(data + len - 16, seed, words);
    return avalanche(acc);
}

template <typename Words = DefaultWords>
[[gnu::always_inline]] inline Hash128 xxh3_128_len_0_to_16(const unsigned char* data, std::size_t len,
                                                          std::uint64_t seed, Words words = {}) {
    if (len > 8) {
        const std::uint64_t first = load_u64(data);
        std::uint64_t last = load_u64(data + len - 8);
        Hash128 m = multiply_64_to_128(first ^ last ^ ((k64<32>(words) ^ k64<40>(words)) - seed), PRIME64_1);
        m.low += static_cast<std::uint64_t>(len - 1) << 54;
        last ^= (k64<48>(words) ^ k64<56>(words)) + seed;
        m.high += last + std::uint64_t{static_cast<std::uint32_t>(last)} * (PRIME32_2 - 1);
        m.low ^= __builtin_bswap64(m.high);
        Hash128 h = multiply_64_to_128(m.low, PRIME64_2);
        h.high += m.high * PRIME64_2;
        return {avalanche(h.low), avalanche(h.high)};
    }
    if (len >= 4) {
        seed = spread_seed_4_to_8(seed);
        const std::uint64_t input = load_u32(data) + (std::uint64_t{load_u32(data + len - 4)} << 32);
        Hash128 m = multiply_64_to_128(input ^ ((k64<16>(words) ^ k64<24>(words)) + seed), PRIME64_1 + (len << 2));
        m.high += m.low << 1;
        m.low ^= m.high >> 3;
        m.low = xorshift(xorshift(m.low, 35) * PRIME_MX2, 28);
        return {m.low, avalanche(m.high)};
    }
    if (len > 0) {
        const std::uint32_t combined_low = combine_1_to_3(data, len);
        const std::uint32_t combined_high = std::rotl(__builtin_bswap32(combined_low), 13);
        return {xxh64_avalanche(combined_low ^ ((k32<0>(words) ^ k32<4>(words)) + seed)),
                xxh64_avalanche(combined_high ^ ((k32<8>(words) ^ k32<12>(words)) - seed))};
    }
    return {xxh64_avalanche(seed ^ k64<64>(words) ^ k64<72>(words)),
            xxh64_avalanche(seed ^ k64<80>(words) ^ k64<88>(words))};
}

template <typename Words = DefaultWords>
inline Hash128 xxh3_128_len_17_to_128(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                      Words words = {}) {
    Hash128 acc{len * PRIME64_1, 0};
    // The steps do not commute (each XORs after adding), so the innermost
    // pair, which only long inputs have, runs first.
    [&]<std::size_t... K>(std::index_sequence<K...>) {
        ((len > 32 * K ? mix32<32 * K>(acc, data + 16 * K, data + len - 16 * (K + 1), seed, words) : void()), ...);
    }(std::index_sequence<3, 2, 1, 0>{});
    return finish_128(acc, len, seed);
}

template <typename Words = DefaultWords>
inline Hash128 xxh3_128_len_129_to_240(const unsigned char* data, std::size_t len, std::uint64_t seed,
                                       Words words = {}) {
    Hash128 acc{len * PRIME64_1, 0};
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (mix32<32 * I>(acc, data + 32 * I, data + 32 * I + 16, seed, words), ...);
    }(std::make_index_sequence<4>{});
    acc = {avalanche(acc.low), avalanche(acc.high)};
    const std::size_t extra_rounds = len / 32 - 4;
    [&]<std::size_t... J>(std::index_sequence<J...>) {
        ((J < extra_rounds ? mix32<32 * J + 3>(acc, data + 32 * (J + 4), data + 32 * (J + 4) + 16, seed, words)
                           : void()),
         ...);
    }(std::make_index_sequence<MIDSIZE_MAX / 32 - 4>{});
    // The last 32 bytes again, swapped and with the seed negated, so that the
    // tail counts even where the rounds above stopped short of it.
    mix32<103>(acc, data + len - 16, data + len - 32, 0 - seed, words);
    return finish_128(acc, len, seed);
}

}  // namespace vantorq::xxhash::short_inputs
