#pragma once
// The accumulator lanes of the vector tiers, written once over a set of
// register operations. A tier provides Ops with:
//
//   Vec                        its register type (128, 256 or 512 bits)
//   load(p) / store(p, v)      unaligned
//   zero(), broadcast(w)       64-bit lanes
//   add(a, b)                  64-bit lane sums
//   xor2(a, b), xor3(a, b, c)
//   multiply_low32(a, b)       products of the low 32-bit halves of each lane
//   high_to_low32(v)           each lane's high 32 bits moved to its low half
//   swap_adjacent(v)           64-bit lanes 2j and 2j+1 exchanged
//   shift_right<n>(v) / shift_left<n>(v)
//
// Include only from tier files, with Ops defined in their anonymous namespace.

#include <cstddef>
#include <cstdint>

#include "xxhash/generic/accumulate_loop.hpp"

namespace vantorq::xxhash::generic {

template <typename Ops>
struct VectorLanes {
    using Vec = typename Ops::Vec;
    static constexpr std::size_t COUNT = STRIPE_LEN / sizeof(Vec);

    struct State {
        Vec v[COUNT];
    };
    using Key = State;

    [[gnu::always_inline]] static State load_bytes(const unsigned char* p) {
        State s;
        unrolled<COUNT>([&](auto j) { s.v[j] = Ops::load(p + j * sizeof(Vec)); });
        return s;
    }

    [[gnu::always_inline]] static State load(const std::uint64_t* words) {
        return load_bytes(reinterpret_cast<const unsigned char*>(words));
    }

    [[gnu::always_inline]] static void store(std::uint64_t* words, const State& s) {
        unrolled<COUNT>([&](auto j) { Ops::store(reinterpret_cast<unsigned char*>(words) + j * sizeof(Vec), s.v[j]); });
    }

    [[gnu::always_inline]] static State zero() {
        State s;
        unrolled<COUNT>([&](auto j) { s.v[j] = Ops::zero(); });
        return s;
    }

    // A load whose value the compiler must keep in a register: left to itself
    // it folds the load into both the XOR and the add, and the second load is
    // what limits the loop. aarch64 instructions take no memory operands.
    [[gnu::always_inline]] static Vec load_once(const unsigned char* p) {
        Vec v = Ops::load(p);
#if defined(__x86_64__)
        asm("" : "+v"(v));
#endif
        return v;
    }

    [[gnu::always_inline]] static Key load_key(const unsigned char* secret) { return load_bytes(secret); }

    // Lane i gains the 32x32-bit product of its keyed word's halves; the raw
    // word is kept too (for the neighbouring lane) so that no input bit is
    // lost when a product is zero.
    [[gnu::always_inline]] static void accumulate_stripe(State& products, State& data_sum, const unsigned char* stripe,
                                                         const Key& key) {
        unrolled<COUNT>([&](auto j) {
            const Vec data = load_once(stripe + j * sizeof(Vec));
            const Vec keyed = Ops::xor2(data, key.v[j]);
            products.v[j] = Ops::add(products.v[j], Ops::multiply_low32(keyed, Ops::high_to_low32(keyed)));
            data_sum.v[j] = Ops::add(data_sum.v[j], data);
        });
    }

    // The published step as it stands: the raw words go straight to the
    // neighbouring lanes, one shuffle more per stripe but no second set of
    // sums, for kernels that run out of registers for those.
    [[gnu::always_inline]] static void accumulate_stripe_folded(State& acc, const unsigned char* stripe,
                                                                const Key& key) {
        unrolled<COUNT>([&](auto j) {
            const Vec data = load_once(stripe + j * sizeof(Vec));
            const Vec keyed = Ops::xor2(data, key.v[j]);
            const Vec product = Ops::multiply_low32(keyed, Ops::high_to_low32(keyed));
            acc.v[j] = Ops::add(acc.v[j], Ops::add(product, Ops::swap_adjacent(data)));
        });
    }

    [[gnu::always_inline]] static void fold_data(State& acc, const State& data_sum) {
        unrolled<COUNT>([&](auto j) { acc.v[j] = Ops::add(acc.v[j], Ops::swap_adjacent(data_sum.v[j])); });
    }

    // acc = (acc ^ acc >> 47 ^ key) * PRIME32_1, the 64-bit product built from
    // two 32-bit multiplies because these tiers have no 64-bit one.
    [[gnu::always_inline]] static void scramble(State& acc, const Key& key) {
        const Vec prime = Ops::broadcast(PRIME32_1);
        unrolled<COUNT>([&](auto j) {
            const Vec mixed = Ops::xor3(acc.v[j], Ops::template shift_right<47>(acc.v[j]), key.v[j]);
            const Vec low = Ops::multiply_low32(mixed, prime);
            const Vec high = Ops::multiply_low32(Ops::high_to_low32(mixed), prime);
            acc.v[j] = Ops::add(low, Ops::template shift_left<32>(high));
        });
    }
};

}  // namespace vantorq::xxhash::generic
