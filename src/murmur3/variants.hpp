#pragma once
// The three variants under one set of names: their state, their block
// routines and their finalisation, for the code written once over all of
// them (the one-shot hash below, the incremental hasher). The finalisation is
// the variant's own function, not a wrapper: called through a wrapper, the
// one-shot hash no longer ends in a tail call to it.

#include <cstddef>
#include <cstdint>

#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::murmur3::variants {

struct X86_32 {
    using State = std::uint32_t;
    using Result = std::uint32_t;
    static constexpr std::size_t BLOCK_SIZE = x86_32::BLOCK_SIZE;

    static State start(std::uint32_t seed) { return seed; }
    static void mix_block(State& h, const unsigned char* block) {
        h = x86_32::fold_key(h, x86_32::mix_key(load_u32(block)));
    }
    static void mix_body(State& h, const unsigned char* blocks, std::size_t byte_count) {
        h = x86_32::mix_body(blocks, byte_count, h);
    }
    static constexpr auto finish_tail = x86_32::finish_tail;
};

struct X86_128 {
    using State = x86_128::State;
    using Result = x86_128::State;
    static constexpr std::size_t BLOCK_SIZE = x86_128::BLOCK_SIZE;

    static State start(std::uint32_t seed) { return {seed, seed, seed, seed}; }
    static void mix_block(State& h, const unsigned char* block) { x86_128::mix_block(h, block); }
    static void mix_body(State& h, const unsigned char* blocks, std::size_t byte_count) {
        x86_128::mix_body(blocks, byte_count, h);
    }
    static constexpr auto finish_tail = x86_128::finish_tail;
};

struct X64_128 {
    using State = x64_128::State;
    using Result = x64_128::State;
    static constexpr std::size_t BLOCK_SIZE = x64_128::BLOCK_SIZE;

    static State start(std::uint32_t seed) { return {seed, seed}; }
    static void mix_block(State& h, const unsigned char* block) { x64_128::mix_block(h, block); }
    static void mix_body(State& h, const unsigned char* blocks, std::size_t byte_count) {
        x64_128::mix_body(blocks, byte_count, h);
    }
    static constexpr auto finish_tail = x64_128::finish_tail;
};

// The hash of a whole message. Bodies shorter than INLINE_BELOW bytes are
// mixed here, so that the state stays in registers; longer ones go to the
// variant's kernel choice.
template <class Variant, std::size_t INLINE_BELOW>
[[gnu::always_inline]] inline typename Variant::Result hash(const unsigned char* data, std::size_t len,
                                                            std::uint32_t seed) {
    typename Variant::State h = Variant::start(seed);
    const std::size_t body = len & ~(Variant::BLOCK_SIZE - 1);
    if (body < INLINE_BELOW) {
        for (std::size_t i = 0; i < body; i += Variant::BLOCK_SIZE) Variant::mix_block(h, data + i);
    } else {
        typename Variant::State through_kernel = h;  // mix_body takes it by address; keep `h` itself out of memory
        Variant::mix_body(through_kernel, data, body);
        h = through_kernel;
    }
    return Variant::finish_tail(data + body, len - body, h, len);
}

}  // namespace vantorq::murmur3::variants
