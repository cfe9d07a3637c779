#pragma once
// XXH3 over a list of inputs with one seed: one secret for the whole list, and
// runs of equally striped long inputs accumulated together. Every digest
// equals the one-shot hash of its input.

#include <cstddef>
#include <cstdint>
#include <span>

#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::batch {

inline constexpr std::size_t MAX_RUN = 4;

// Consecutive long inputs that one multi-input kernel accumulates together:
// items [first, first + count), each longer than 240 bytes, all with the
// stripe index (len - 1) / 64 of the first, so that they share their block
// and stripe counts.
struct LongRun {
    std::size_t first;
    std::size_t count;
};

// The run starting at items[first], which must be longer than 240 bytes.
LongRun long_run_at(std::span<const ByteView> items, std::size_t first);

// out[i] = the hash of items[i]; out must hold items.size() digests.
void hash_items_64(std::span<const ByteView> items, std::uint64_t seed, std::uint64_t* out);
void hash_items_128(std::span<const ByteView> items, std::uint64_t seed, Hash128* out);

// As above on a given engine (the functions above use long_inputs::long_engine(),
// initialised only when an item is long).
void hash_items_64(std::span<const ByteView> items, std::uint64_t seed, std::uint64_t* out,
                   const long_inputs::LongEngine& engine);
void hash_items_128(std::span<const ByteView> items, std::uint64_t seed, Hash128* out,
                    const long_inputs::LongEngine& engine);

}  // namespace vantorq::xxhash::batch
