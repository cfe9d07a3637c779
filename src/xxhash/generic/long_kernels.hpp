#pragma once
// A tier's single-input long-input kernels, written once over its Lanes: the
// accumulate kernel, the stripes kernel of the streaming hasher, the
// one-block hashes, and the first two on a caller's secret. A tier file (and
// the scalar one) exports their set as
//
//   constinit const long_inputs::LongKernels KERNELS = generic::long_kernels<Lanes>();
//
// with Lanes from its own anonymous namespace, which gives these functions
// internal linkage: no copy compiled for one instruction set is shared with
// a caller compiled for another. The set is constant data, so that the table
// function reads it without running anything compiled for the tier.

#include <cstddef>
#include <cstdint>

#include "xxhash/generic/accumulate_loop.hpp"
#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::generic {

template <typename Lanes, std::size_t TRIP>
struct LongEntries {
    static Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret) {
        return accumulate_one<Lanes, TRIP>(data, len, secret);
    }

    static std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                                        std::size_t stripes_in_block, const unsigned char* secret) {
        return generic::continue_stripes<Lanes, TRIP>(acc, data, stripes, stripes_in_block, secret);
    }

    // The same loops on a caller's secret, whose geometry is known only at
    // run time: separate instances, so the ones above keep their constants.
    static Accumulators accumulate_with_secret(const unsigned char* data, std::size_t len, SecretView secret) {
        return accumulate_one<Lanes, TRIP>(data, len, secret.data(), secret.geometry());
    }

    static std::size_t continue_stripes_with_secret(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                                                    std::size_t stripes_in_block, SecretView secret) {
        return generic::continue_stripes<Lanes, TRIP>(acc, data, stripes, stripes_in_block, secret.data(),
                                                      secret.geometry());
    }
};

// Inputs of at most one block never scramble, so the whole hash is one pass
// over the stripes followed by the merge, with no kernel call, secret choice
// or accumulator copy in between.
template <typename Lanes>
struct OneBlockEntries {
    static std::uint64_t hash_64_medium(const unsigned char* data, std::size_t len) {
        return finalize_long_64(len, DEFAULT_SECRET.data(), accumulate_one<Lanes>(data, len, DEFAULT_SECRET.data()));
    }

    static Hash128 hash_128_medium(const unsigned char* data, std::size_t len) {
        return finalize_long_128(len, DEFAULT_SECRET.data(), accumulate_one<Lanes>(data, len, DEFAULT_SECRET.data()));
    }
};

// TRIP stripes per loop trip for the accumulate and stripes kernels. The
// one-block hashes always take one: on Zen 4 four per trip made 256 bytes 12%
// slower (29.5 -> 25.9 GB/s with AVX-512), a 3-stripe input being all
// remainder of the unrolled loop.
template <typename Lanes, std::size_t TRIP = 1>
constexpr long_inputs::LongKernels long_kernels() {
    using Entries = LongEntries<Lanes, TRIP>;
    using OneBlock = OneBlockEntries<Lanes>;
    return {Entries::accumulate,
            Entries::continue_stripes,
            OneBlock::hash_64_medium,
            OneBlock::hash_128_medium,
            Entries::accumulate_with_secret,
            Entries::continue_stripes_with_secret};
}

}  // namespace vantorq::xxhash::generic
