#pragma once
// The long-input half of XXH3 (more than 240 bytes): the scalar accumulate
// kernel and the engine that picks among it and the vector tiers' kernels
// (ssse3/, avx2/, avx512/) once per process.
//
// Every kernel returns the eight accumulator words after the last stripe,
// before the merge, and every kernel gives exactly the scalar kernel's words.

#include <cstddef>
#include <cstdint>

#include "backend/capabilities.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::long_inputs {

// (data, len > 240, 192-byte secret) -> accumulators.
using AccumulateKernel = Accumulators (*)(const unsigned char* data, std::size_t len, const unsigned char* secret);

// (accumulators, data, whole stripes, stripes of the current block already
// in (< 16), 192-byte secret) -> the stripes accumulated, with a scramble at
// every block end; returns how many stripes of the block then in progress are
// in. Streaming input reaches the tiers through this.
using StripesKernel = std::size_t (*)(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                                      std::size_t stripes_in_block, const unsigned char* secret);

namespace scalar {
Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret);
std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret);
}  // namespace scalar

// The final stripe of a long input, keyed by the secret at
// LAST_STRIPE_SECRET_OFFSET: accumulated once, never scrambled.
void accumulate_last_stripe(Accumulators& acc, const unsigned char* stripe, const unsigned char* secret);

// The published rule for a seeded secret: the seed added to the default
// secret's even words and subtracted from its odd ones.
void initialize_secret_scalar(unsigned char* secret, std::uint64_t seed);

struct LongEngine {
    AccumulateKernel accumulate = scalar::accumulate;
    StripesKernel continue_stripes = scalar::continue_stripes;
    // avx2::init_secret, the one-block hashes (hash_64_medium, hash_128_medium)
    // and the multi-input kernels may run. The one-block hashes win with
    // AVX-512 too, as one call with nothing between the interpreter's calls.
    bool avx2 = false;
    // Items up to this long are accumulated several at a time by the
    // multi-input kernels (AVX2); longer ones one at a time by `accumulate`.
    // Measured on Zen 4 over lists of equal lengths, ns per item, seed 5:
    //   bytes           256   320   384   512   1024  2048  4096
    //   4 at a time     6.2   7.6   9.1  13.4   25.9  45.1  81
    //   one, AVX-512    6.4   7.6   8.5  10.9   20.2  35.2  65-81
    //   one, AVX2       6.5   7.5   8.9  11.2   19.9  37.3  68
    // 0 where no multi-input kernel runs.
    std::size_t multi_input_max_len = 0;
};

// The longest item the multi-input kernels take (see above).
inline constexpr std::size_t MULTI_INPUT_MAX_LEN = 320;

// Writes the secret derived from `seed` (the default one for seed 0) on the
// engine's fastest routine.
void derive_secret(unsigned char* secret, std::uint64_t seed, const LongEngine& engine);

// The engine for a processor with these features.
LongEngine select_long_engine(backend::Capabilities capabilities);

// The engine of this processor, selected on first use. Inline, so that a
// one-shot hash of a few hundred bytes pays no call to reach it.
inline const LongEngine& long_engine() {
    static const LongEngine LONG_ENGINE = select_long_engine(backend::capabilities());
    return LONG_ENGINE;
}

// The secret a long hash with `seed` runs on: the default one for seed 0,
// otherwise one derived into this object, which must outlive its use.
class SeededSecret {
public:
    // Inline, so that the common seed 0 costs no call.
    SeededSecret(std::uint64_t seed, const LongEngine& engine) : secret_(DEFAULT_SECRET.data()) {
        if (seed != 0) derive(seed, engine);
    }
    SeededSecret(const SeededSecret&) = delete;
    SeededSecret& operator=(const SeededSecret&) = delete;

    const unsigned char* data() const { return secret_; }

private:
    void derive(std::uint64_t seed, const LongEngine& engine);

    alignas(64) Secret derived_;
    const unsigned char* secret_;
};

}  // namespace vantorq::xxhash::long_inputs
