#pragma once
// The long-input half of XXH3 (more than 240 bytes), and the family's kernel
// table: the engine holds, for one processor, every kernel that the XXH3,
// XXH32 and XXH64 request code calls, filled once by for_processor from the
// tier folders (ssse3/, sse41/, avx2/, avx512/; table.cpp composes them).
//
// Every accumulate kernel returns the eight accumulator words after the last
// stripe, before the merge, and every kernel gives exactly the scalar
// kernel's words.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "backend/capabilities.hpp"
#include "backend/kernel_choice.hpp"
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

// The same two on a caller's secret, whose size sets the block length and
// the scramble and final-stripe keys (SecretGeometry).
using SecretAccumulateKernel = Accumulators (*)(const unsigned char* data, std::size_t len, SecretView secret);
using SecretStripesKernel = std::size_t (*)(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                                            std::size_t stripes_in_block, SecretView secret);

// The complete hashes with seed 0 of an input of 241..1024 bytes: one block,
// so no scramble, and the merge in the same call as the stripes.
using Medium64Kernel = std::uint64_t (*)(const unsigned char* data, std::size_t len);
using Medium128Kernel = Hash128 (*)(const unsigned char* data, std::size_t len);

// Writes the 192-byte secret derived from a seed.
using SecretKernel = void (*)(unsigned char* secret, std::uint64_t seed);

// The inputs of one batch::LongRun accumulated in one pass that loads each
// secret word once for all; out[i] belongs to inputs[i].
template <std::size_t INPUTS>
using BatchKernel = void (*)(const ByteView (&inputs)[INPUTS], const unsigned char* secret,
                             Accumulators (&out)[INPUTS]);

// XXH32's (32-bit words) and XXH64's block loops: `blocks` whole blocks of
// four words mixed into the four lanes.
template <typename Word>
using BlocksKernel = void (*)(std::array<Word, 4>& lanes, const unsigned char* p, std::size_t blocks);

// The single-input kernels one tier builds from one loop (generic/long_kernels.hpp).
struct LongKernels {
    AccumulateKernel accumulate;
    StripesKernel continue_stripes;
    Medium64Kernel hash_64_medium;
    Medium128Kernel hash_128_medium;
    SecretAccumulateKernel accumulate_with_secret;
    SecretStripesKernel continue_stripes_with_secret;
};

namespace scalar {
Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret);
std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret);
extern const LongKernels KERNELS;
}  // namespace scalar

// The final stripe of a long input, keyed by the secret at its geometry's
// last_stripe_offset: accumulated once, never scrambled.
void accumulate_last_stripe(Accumulators& acc, const unsigned char* stripe, const unsigned char* secret,
                            RuntimeGeometry geometry = {SECRET_SIZE});

// The published rule for a seeded secret: the seed added to the default
// secret's even words and subtracted from its odd ones.
void initialize_secret_scalar(unsigned char* secret, std::uint64_t seed);

// The longest item the multi-input kernels take (see LongEngine).
inline constexpr std::size_t MULTI_INPUT_MAX_LEN = 320;

// Built only by for_processor, which fills every pointer.
struct LongEngine {
    // The accumulate kernel of the widest tier reported: AVX-512F, else AVX2,
    // else SSSE3, else the scalar one.
    AccumulateKernel accumulate = nullptr;
    // AVX2 reported, whatever else is: the AVX2 seeded secret and the
    // multi-input kernels run.
    bool avx2 = false;
    // AVX2 reported and AVX-512F not: the one-block 128-bit hash is AVX2's
    // fused routine.
    bool fused_128 = false;

    // The accumulate kernel's loop for streamed stripes and for the one-block
    // hashes of seed 0 (241..1024 bytes), which win over the kernel followed by
    // the merge as one call with nothing between the interpreter's calls.
    StripesKernel continue_stripes = nullptr;
    Medium64Kernel hash_64_medium = nullptr;
    Medium128Kernel hash_128_medium = nullptr;
    // The accumulate and stripes kernels' loops on a caller's secret.
    SecretAccumulateKernel accumulate_with_secret = nullptr;
    SecretStripesKernel continue_stripes_with_secret = nullptr;
    SecretKernel init_secret = nullptr;
    // Null where no multi-input kernel runs (multi_input_max_len 0).
    BatchKernel<2> accumulate_batch2 = nullptr;
    BatchKernel<3> accumulate_batch3 = nullptr;
    BatchKernel<4> accumulate_batch4 = nullptr;
    // Items up to this long are accumulated several at a time by the
    // multi-input kernels (AVX2); longer ones one at a time by `accumulate`.
    // Measured on Zen 4 over lists of equal lengths, ns per item, seed 5:
    //   bytes           256   320   384   512   1024  2048  4096
    //   4 at a time     6.2   7.6   9.1  13.4   25.9  45.1  81
    //   one, AVX-512    6.4   7.6   8.5  10.9   20.2  35.2  65-81
    //   one, AVX2       6.5   7.5   8.9  11.2   19.9  37.3  68
    // 0 where no multi-input kernel runs.
    std::size_t multi_input_max_len = 0;
    BlocksKernel<std::uint32_t> xxh32_blocks = nullptr;
    BlocksKernel<std::uint64_t> xxh64_blocks = nullptr;

    // The tier of each role's kernels, set beside the pointers.
    struct Names {
        std::string_view accumulate = "scalar";
        std::string_view init_secret = "scalar";
        std::string_view multi_input = "none";
        std::string_view xxh32_blocks = "scalar";
        std::string_view xxh64_blocks = "scalar";
    } names;
};

// The engine for a processor with this description.
LongEngine for_processor(const backend::Processor& processor);

// What `engine` chose, one line per role.
backend::KernelChoices kernel_choices(const LongEngine& engine);

// LONG_ENGINE, this processor's engine, built on first use. Inline, so that a
// one-shot hash of a few hundred bytes pays no call to reach it.
inline const LongEngine& long_engine() {
    static const LongEngine LONG_ENGINE = for_processor(backend::processor());
    return LONG_ENGINE;
}

// The secret a long hash with `seed` runs on: the default one for seed 0,
// otherwise one derived into this object, which must outlive its use.
class SeededSecret {
public:
    // Inline, so that the common seed 0 costs no call.
    SeededSecret(std::uint64_t seed, const LongEngine& engine) : secret_(DEFAULT_SECRET.data()) {
        if (seed == 0) return;
        engine.init_secret(derived_.data(), seed);
        secret_ = derived_.data();
    }
    SeededSecret(const SeededSecret&) = delete;
    SeededSecret& operator=(const SeededSecret&) = delete;

    const unsigned char* data() const { return secret_; }

private:
    alignas(64) Secret derived_;
    const unsigned char* secret_;
};

}  // namespace vantorq::xxhash::long_inputs
