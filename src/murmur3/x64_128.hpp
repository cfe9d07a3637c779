#pragma once
// MurmurHash3 x64_128: two 64-bit state words, 16-byte blocks of two lanes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "murmur3/primitives.hpp"

namespace vantorq::murmur3 {
struct Kernels;
}

namespace vantorq::murmur3::x64_128 {

inline constexpr std::size_t BLOCK_SIZE = 16;
using State = std::array<std::uint64_t, 2>;

inline constexpr std::uint64_t C1 = 0x87c37b91114253d5ull;
inline constexpr std::uint64_t C2 = 0x4cf5ad432745937full;

// Rotations of the keys k1, k2 and of the state words h1, h2, and what each
// state word's update adds.
inline constexpr int KEY_ROTATION[2] = {31, 33};
inline constexpr int STATE_ROTATION[2] = {27, 31};
inline constexpr std::uint32_t STATE_ADD[2] = {0x52dce729u, 0x38495ab5u};

[[gnu::always_inline]] constexpr std::uint64_t mix_key1(std::uint64_t k) { return rotl(k * C1, KEY_ROTATION[0]) * C2; }
[[gnu::always_inline]] constexpr std::uint64_t mix_key2(std::uint64_t k) { return rotl(k * C2, KEY_ROTATION[1]) * C1; }

// A value the compiler must take as computed: it keeps the sums below in the
// order written.
[[gnu::always_inline]] inline std::uint64_t as_computed(std::uint64_t v) {
    asm("" : "+r"(v));
    return v;
}

// Folds one block's two mixed keys into the state in the reference's order:
// h1 = (rotl(h1 ^ k1, 27) + h2) * 5 + c1, then h2 likewise from the new h1.
// Distributed as rotl(..) * 5 + c1 + h2 * 5, each word reaches the other in
// one multiply by 5 and one add, not an add, a multiply and an add: a chain
// of the two words of 6 cycles a block became one of about 5.3 on Zen 4,
// where the scaled LEA of a multiply by 5 takes 2 cycles: mmh3.hash128 of
// 1 KiB 11% faster, of 64 KiB 14%. On Sapphire Rapids either LEA takes one
// cycle (uops.info), so the chain there is no longer than before.
[[gnu::always_inline]] inline void fold_keys(State& h, std::uint64_t k1, std::uint64_t k2) {
    const std::uint64_t r1 = rotl(h[0] ^ k1, STATE_ROTATION[0]);
    h[0] = as_computed(as_computed(r1 * 5) + STATE_ADD[0]) + h[1] * 5;
    const std::uint64_t r2 = rotl(h[1] ^ k2, STATE_ROTATION[1]);
    h[1] = as_computed(as_computed(r2 * 5) + STATE_ADD[1]) + h[0] * 5;
}

[[gnu::always_inline]] inline void mix_block(State& h, const unsigned char* block) {
    fold_keys(h, mix_key1(load_u64(block)), mix_key2(load_u64(block + 8)));
}

void mix_body_scalar(const unsigned char* blocks, std::size_t byte_count, State& h);

using MixBody = void (*)(const unsigned char* blocks, std::size_t byte_count, State& h);

// The body lengths the vector kernels mix (murmur3/kernels.hpp holds them per
// processor). Without a 64-bit vector multiply each key multiply costs three
// 32-bit ones, which pays off only from 512 bytes on. The SSE4.1 form, one
// block a vector, gains least and is kept to bodies of at most 8 MiB.
inline constexpr std::size_t VECTOR_FROM = 512;
inline constexpr std::size_t SSE41_UP_TO = std::size_t{8} << 20;
// No processor's kernel takes a shorter body.
inline constexpr std::size_t KERNELS_FROM = VECTOR_FROM;

// Mixes the 0-15 tail bytes and finalises; returns h1, h2.
State finish_tail(const unsigned char* tail, std::size_t tail_len, State h, std::uint64_t total_len);

// The hash of a whole message on the kernels of `table` (murmur3/kernels.hpp).
State hash_with(const unsigned char* data, std::size_t len, std::uint32_t seed, const Kernels& table);

// The same on this process's kernels.
State hash(const unsigned char* data, std::size_t len, std::uint32_t seed);

// Many messages at once (murmur3/interleaved.hpp): out[i] = the hash of
// messages[i] with `seed`, any blocks a message has beyond the others mixed
// on the kernels of `table`.
using Messages = std::span<const std::span<const unsigned char>>;
using HashEach = void (*)(Messages messages, std::uint32_t seed, State* out, const Kernels& table);

// Four messages side by side in scalar registers.
void hash_each_scalar(Messages messages, std::uint32_t seed, State* out, const Kernels& table);

// A routine for many messages, and the message length from which it is
// quicker than hashing each message alone.
struct ManyMessages {
    HashEach hash_each;
    std::size_t worth_from;
    std::string_view name;  // the tier it comes from, for the processor report
};

}  // namespace vantorq::murmur3::x64_128
