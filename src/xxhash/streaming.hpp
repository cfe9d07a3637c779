#pragma once
// XXH3 over a message that arrives in chunks; one state gives both widths.
// Any split of a message gives exactly the one-shot hashes of the whole.
//
// Up to BUFFER_SIZE bytes wait in a buffer; beyond that, whole stripes go to
// the stripes kernel of the engine given at construction, straight
// from the chunk where it is long enough. At least one byte stays buffered,
// because the final stripe is hashed differently and only a digest knows
// which stripe is the final one. A message of at most 240 bytes is
// still all in the buffer when digested and is hashed as one input.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "backend/state_bytes.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::streaming {

namespace state_bytes = backend::state_bytes;

class Xxh3Hasher {
public:
    using Seed = std::uint64_t;
    static constexpr std::size_t BUFFER_SIZE = 4 * STRIPE_LEN;

    // kind, version, seed, total length, stripes in block, buffered count,
    // accumulators, buffer, checksum
    static constexpr std::size_t SERIALIZED_SIZE = state_bytes::HEADER_SIZE + 8 + 8 + 1 + 2 +
                                                   ACCUMULATOR_LANES * 8 + BUFFER_SIZE + state_bytes::CHECKSUM_SIZE;
    using Serialized = std::array<unsigned char, SERIALIZED_SIZE>;

    explicit Xxh3Hasher(std::uint64_t seed = 0, const long_inputs::LongEngine& engine = long_inputs::long_engine());

    void update(const unsigned char* data, std::size_t len);

    // The hashes of everything fed so far; the hasher itself is unchanged.
    std::uint64_t digest_64() const;
    Hash128 digest_128() const;

    // Back to the state of a new hasher with the same seed.
    void reset();

    std::uint64_t seed() const { return seed_; }

    Serialized to_bytes() const;
    // The hasher that to_bytes() described, on `engine`, or nothing if `form`
    // is not such a form (wrong size, kind or version, altered bytes,
    // inconsistent fields).
    static std::optional<Xxh3Hasher> from_bytes(std::span<const unsigned char> form,
                                                const long_inputs::LongEngine& engine = long_inputs::long_engine());

private:
    // The rest of an update that overflows the buffer: out of line, so that
    // an update that only buffers saves and restores no registers for it.
    [[gnu::noinline]] void consume(const unsigned char* data, std::size_t len);
    // The accumulators of the whole message, final stripe included.
    Accumulators final_accumulators() const;

    alignas(64) Accumulators acc_ = INITIAL_ACCUMULATORS;
    // Derived from the seed, kept so that no update derives it again.
    alignas(64) Secret secret_;
    // The first `buffered_` bytes are the message's unhashed tail. Once
    // stripes have been consumed, the last stripe's bytes are the final 64
    // bytes consumed, for a digest whose tail is shorter than a stripe.
    alignas(64) std::array<unsigned char, BUFFER_SIZE> buffer_{};
    const long_inputs::LongEngine* engine_;
    std::uint64_t seed_;
    std::uint64_t total_len_ = 0;
    std::size_t buffered_ = 0;
    std::size_t stripes_in_block_ = 0;
};

}  // namespace vantorq::xxhash::streaming
