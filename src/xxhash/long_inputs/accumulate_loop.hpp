#pragma once
// The one accumulate loop that every long-input kernel runs, written once for
// all tiers. A tier supplies a Lanes type that holds the eight accumulator
// words in its registers:
//
//   State, Key                       accumulators; 64 loaded secret bytes
//   load(words) / store(words, s)    eight words in and out
//   zero(), add(a, b)                lane-wise, for partial sets
//   load_key(secret)                 64 secret bytes
//   accumulate_stripe(s, stripe, k)  one 64-byte stripe
//   scramble(s, k)                   the end-of-block scramble
//
// Tier files must instantiate these templates with a Lanes type from their
// own anonymous namespace, so that no copy compiled for one instruction set is
// shared with a caller compiled for another.

#include <cstddef>
#include <utility>

#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::long_inputs {

// Calls f(integral_constant<k>) for k = 0..N-1, unrolled, so that arrays of
// registers are indexed by constants and stay in registers.
template <std::size_t N, typename F>
[[gnu::always_inline]] inline void unrolled(F&& f) {
    [&]<std::size_t... K>(std::index_sequence<K...>) {
        (f(std::integral_constant<std::size_t, K>{}), ...);
    }(std::make_index_sequence<N>{});
}

// Accumulates `stripes` stripes starting at `offset` into every input, with
// the secret advancing from its start. Stripe s goes into partial set s % SETS;
// the sets are independent dependency chains, and since no scramble happens
// inside this range their lane-wise sum equals the serial sum.
template <typename Lanes, std::size_t INPUTS, std::size_t SETS>
[[gnu::always_inline]] inline void accumulate_stripes(typename Lanes::State (&acc)[INPUTS],
                                                      const ByteView (&inputs)[INPUTS], std::size_t offset,
                                                      std::size_t stripes, const unsigned char* secret) {
    typename Lanes::State sets[INPUTS][SETS];
    unrolled<INPUTS>([&](auto i) {
        sets[i][0] = acc[i];
        unrolled<SETS - 1>([&](auto k) { sets[i][k + 1] = Lanes::zero(); });
    });
    const auto stripe_into_set = [&](auto set, std::size_t stripe) {
        const auto key = Lanes::load_key(secret + stripe * SECRET_ADVANCE);
        unrolled<INPUTS>([&](auto i) {
            Lanes::accumulate_stripe(sets[i][set], inputs[i].data + offset + stripe * STRIPE_LEN, key);
        });
    };
    std::size_t s = 0;
    for (; s + SETS <= stripes; s += SETS) unrolled<SETS>([&](auto k) { stripe_into_set(k, s + k); });
    unrolled<SETS - 1>([&](auto k) {
        if (s + k < stripes) stripe_into_set(k, s + k);
    });
    unrolled<INPUTS>([&](auto i) {
        unrolled<SETS - 1>([&](auto k) { sets[i][0] = Lanes::add(sets[i][0], sets[i][k + 1]); });
        acc[i] = sets[i][0];
    });
}

// The whole accumulation of up to four inputs that share their block and
// stripe counts ((len - 1) / STRIPE_LEN); each input's last stripe is its own
// final 64 bytes.
template <typename Lanes, std::size_t INPUTS, std::size_t SETS>
[[gnu::always_inline]] inline void accumulate_inputs(const ByteView (&inputs)[INPUTS], const unsigned char* secret,
                                                     Accumulators (&out)[INPUTS]) {
    typename Lanes::State acc[INPUTS];
    unrolled<INPUTS>([&](auto i) { acc[i] = Lanes::load(INITIAL_ACCUMULATORS.data()); });

    // The last stripe is always taken separately, so an input that is a whole
    // number of blocks leaves its final block to the tail loop below.
    const std::size_t last_byte = inputs[0].len - 1;
    const std::size_t blocks = last_byte / BLOCK_LEN;
    for (std::size_t b = 0; b < blocks; ++b) {
        accumulate_stripes<Lanes, INPUTS, SETS>(acc, inputs, b * BLOCK_LEN, STRIPES_PER_BLOCK, secret);
        const auto key = Lanes::load_key(secret + SCRAMBLE_SECRET_OFFSET);
        unrolled<INPUTS>([&](auto i) { Lanes::scramble(acc[i], key); });
    }
    const std::size_t tail_stripes = (last_byte - blocks * BLOCK_LEN) / STRIPE_LEN;
    accumulate_stripes<Lanes, INPUTS, SETS>(acc, inputs, blocks * BLOCK_LEN, tail_stripes, secret);

    const auto key = Lanes::load_key(secret + LAST_STRIPE_SECRET_OFFSET);
    unrolled<INPUTS>([&](auto i) {
        Lanes::accumulate_stripe(acc[i], inputs[i].data + inputs[i].len - STRIPE_LEN, key);
        Lanes::store(out[i].data(), acc[i]);
    });
}

template <typename Lanes, std::size_t SETS>
[[gnu::always_inline]] inline Accumulators accumulate_one(const unsigned char* data, std::size_t len,
                                                          const unsigned char* secret) {
    Accumulators out[1];
    accumulate_inputs<Lanes, 1, SETS>({ByteView{data, len}}, secret, out);
    return out[0];
}

}  // namespace vantorq::xxhash::long_inputs
