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

// The digests of items in item order, packed: item i's digest at
// out + i * DIGEST_BYTES as little-endian bytes (for 128 bits the low word,
// then the high word), the layout the packed list forms hand to Python.
// Each digest equals the one-shot hash of its item, whatever the engine.
inline constexpr std::size_t DIGEST_BYTES_64 = 8;
inline constexpr std::size_t DIGEST_BYTES_128 = 16;
void hash_items_64(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                   const long_inputs::LongEngine& engine = long_inputs::long_engine());
void hash_items_128(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                    const long_inputs::LongEngine& engine = long_inputs::long_engine());

}  // namespace vantorq::xxhash::batch
