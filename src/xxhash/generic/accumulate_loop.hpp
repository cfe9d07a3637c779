#pragma once
// The one accumulate loop that every long-input kernel runs, written once for
// all tiers. A tier supplies a Lanes type that holds the eight accumulator
// words in its registers:
//
//   State, Key                       eight 64-bit lanes; 64 loaded secret bytes
//   load(words) / store(words, s)    eight words in and out
//   zero()
//   load_key(secret)                 64 secret bytes
//   accumulate_stripe(products, data_sum, stripe, k)
//                                    one 64-byte stripe: the products of its
//                                    keyed words' halves into `products`, its
//                                    raw words into `data_sum`
//   fold_data(acc, data_sum)         data_sum added with adjacent lanes exchanged
//   scramble(s, k)                   the end-of-block scramble
//
// The published step adds each raw word to the neighbouring lane at every
// stripe. Between two scrambles only sums are formed, so the raw words are
// summed in their own lanes and exchanged once, in fold_data: one shuffle per
// block instead of one per stripe, and the same words.
//
// Tier files must instantiate these templates with a Lanes type from their
// own anonymous namespace, so that no copy compiled for one instruction set is
// shared with a caller compiled for another.

#include <cstddef>
#include <cstdint>
#include <utility>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::generic {

// Calls f(integral_constant<k>) for k = 0..N-1, unrolled, so that arrays of
// registers are indexed by constants and stay in registers.
template <std::size_t N, typename F>
[[gnu::always_inline]] inline void unrolled(F&& f) {
    [&]<std::size_t... K>(std::index_sequence<K...>) {
        (f(std::integral_constant<std::size_t, K>{}), ...);
    }(std::make_index_sequence<N>{});
}

// How far ahead of the stripe being hashed its input is prefetched: eight
// stripes. Inputs larger than the caches otherwise reached only ~65% of a
// plain read-and-XOR loop over the same memory. On AMD Zen 4 a whole block
// (1 KiB) ahead gave 18-25 GB/s at 32-64 MiB with AVX-512 or AVX2, half a
// block 25-37 GB/s, a quarter no more. Only whole blocks prefetch: the
// stripes after the last one are within a block of the end, so their
// prefetches would only fetch what lies past it.
inline constexpr std::size_t PREFETCH_DISTANCE = BLOCK_LEN / 2;

// The address is formed as an integer: a pointer past the end of the input
// would be undefined even though the prefetch itself is harmless.
[[gnu::always_inline]] inline void prefetch_ahead(const unsigned char* stripe) {
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(stripe) + PREFETCH_DISTANCE));
}

// Kernels over more inputs than this add each stripe's raw words to the
// accumulators at once (Lanes::accumulate_stripe_folded).
inline constexpr std::size_t FOLDED_INPUTS = 2;

// Accumulates `stripes` stripes starting at `offset` into every input, with
// the secret advancing from its start, TRIP stripes per loop trip. Products
// and raw words are two separate sums with one add per stripe each, so no
// dependency chain limits the loop.
template <typename Lanes, std::size_t INPUTS, bool PREFETCH, std::size_t TRIP = 1>
[[gnu::always_inline]] inline void accumulate_stripes(typename Lanes::State (&acc)[INPUTS],
                                                      const ByteView (&inputs)[INPUTS], std::size_t offset,
                                                      std::size_t stripes, const unsigned char* secret) {
    // Separate sums for three or more inputs would not fit the registers.
    constexpr bool FOLDED = INPUTS > FOLDED_INPUTS;
    [[maybe_unused]] typename Lanes::State data_sum[INPUTS];
    if constexpr (!FOLDED) unrolled<INPUTS>([&](auto i) { data_sum[i] = Lanes::zero(); });
    const auto stripe_at = [&](std::size_t s) {
        const auto key = Lanes::load_key(secret + s * SECRET_ADVANCE);
        unrolled<INPUTS>([&](auto i) {
            const unsigned char* stripe = inputs[i].data + offset + s * STRIPE_LEN;
            if constexpr (PREFETCH) prefetch_ahead(stripe);
            if constexpr (FOLDED)
                Lanes::accumulate_stripe_folded(acc[i], stripe, key);
            else
                Lanes::accumulate_stripe(acc[i], data_sum[i], stripe, key);
        });
    };
    // Unrolled over a whole block, these loops would let the compiler hoist
    // all 16 stripes' secret loads out of the block loop and spill them (16
    // registers with AVX2); a trip of a few stripes is as far as they go.
    std::size_t s = 0;
    if constexpr (TRIP > 1) {
#pragma GCC unroll 1
        for (; s + TRIP <= stripes; s += TRIP) unrolled<TRIP>([&](auto t) { stripe_at(s + t); });
    }
#pragma GCC unroll 1
    for (; s < stripes; ++s) stripe_at(s);
    if constexpr (!FOLDED) unrolled<INPUTS>([&](auto i) { Lanes::fold_data(acc[i], data_sum[i]); });
}

// The whole accumulation of up to four inputs that share their block and
// stripe counts ((len - 1) / STRIPE_LEN); each input's last stripe is its own
// final 64 bytes. The geometry is the secret's (primitives.hpp): the default
// one is all constants, so its kernels are as if it were written in.
template <typename Lanes, std::size_t INPUTS, std::size_t TRIP = 1, typename Geometry = DefaultGeometry>
[[gnu::always_inline]] inline void accumulate_inputs(const ByteView (&inputs)[INPUTS], const unsigned char* secret,
                                                     Accumulators (&out)[INPUTS], Geometry geometry = {}) {
    typename Lanes::State acc[INPUTS];
    unrolled<INPUTS>([&](auto i) { acc[i] = Lanes::load(INITIAL_ACCUMULATORS.data()); });

    // The last stripe is always taken separately, so an input that is a whole
    // number of blocks leaves its final block to the tail loop below.
    const std::size_t last_byte = inputs[0].len - 1;
    const std::size_t block_len = geometry.block_len();
    const std::size_t blocks = last_byte / block_len;
    for (std::size_t b = 0; b < blocks; ++b) {
        accumulate_stripes<Lanes, INPUTS, true, TRIP>(acc, inputs, b * block_len, geometry.stripes_per_block(),
                                                      secret);
        const auto key = Lanes::load_key(secret + geometry.scramble_offset());
        unrolled<INPUTS>([&](auto i) { Lanes::scramble(acc[i], key); });
    }
    const std::size_t tail_stripes = (last_byte - blocks * block_len) / STRIPE_LEN;
    accumulate_stripes<Lanes, INPUTS, false, TRIP>(acc, inputs, blocks * block_len, tail_stripes, secret);

    const auto key = Lanes::load_key(secret + geometry.last_stripe_offset());
    unrolled<INPUTS>([&](auto i) {
        typename Lanes::State data = Lanes::zero();
        Lanes::accumulate_stripe(acc[i], data, inputs[i].data + inputs[i].len - STRIPE_LEN, key);
        Lanes::fold_data(acc[i], data);
        Lanes::store(out[i].data(), acc[i]);
    });
}

// Accumulates `stripes` whole stripes into `words`, continuing a block of
// which `stripes_in_block` stripes are already in, and scrambling at every
// block end: the streaming form of the loop above, for input that arrives in
// pieces. Returns how many stripes of the block then in progress are in.
template <typename Lanes, std::size_t TRIP = 1, typename Geometry = DefaultGeometry>
[[gnu::always_inline]] inline std::size_t continue_stripes(Accumulators& words, const unsigned char* data,
                                                           std::size_t stripes, std::size_t stripes_in_block,
                                                           const unsigned char* secret, Geometry geometry = {}) {
    typename Lanes::State acc[1] = {Lanes::load(words.data())};
    const ByteView input[1] = {ByteView{data, stripes * STRIPE_LEN}};
    std::size_t offset = 0;
    const std::size_t stripes_per_block = geometry.stripes_per_block();
    while (stripes_in_block + stripes >= stripes_per_block) {
        const std::size_t rest_of_block = stripes_per_block - stripes_in_block;
        accumulate_stripes<Lanes, 1, true, TRIP>(acc, input, offset, rest_of_block,
                                                 secret + stripes_in_block * SECRET_ADVANCE);
        Lanes::scramble(acc[0], Lanes::load_key(secret + geometry.scramble_offset()));
        offset += rest_of_block * STRIPE_LEN;
        stripes -= rest_of_block;
        stripes_in_block = 0;
    }
    accumulate_stripes<Lanes, 1, false, TRIP>(acc, input, offset, stripes, secret + stripes_in_block * SECRET_ADVANCE);
    Lanes::store(words.data(), acc[0]);
    return stripes_in_block + stripes;
}

template <typename Lanes, std::size_t TRIP = 1, typename Geometry = DefaultGeometry>
[[gnu::always_inline]] inline Accumulators accumulate_one(const unsigned char* data, std::size_t len,
                                                          const unsigned char* secret, Geometry geometry = {}) {
    Accumulators out[1];
    accumulate_inputs<Lanes, 1, TRIP>({ByteView{data, len}}, secret, out, geometry);
    return out[0];
}

}  // namespace vantorq::xxhash::generic
