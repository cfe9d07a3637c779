#pragma once
// The three variants under one set of names: their state, their block
// routines and their finalisation, for the code written once over all of
// them (the one-shot hash below, the incremental hasher, several messages at
// once). The finalisation is the variant's own function, not a wrapper:
// called through a wrapper, the one-shot hash no longer ends in a tail call
// to it. Everything here is always_inline: vector tier files use it too.

#include <cstddef>
#include <cstdint>

#include "murmur3/kernels.hpp"

namespace vantorq::murmur3::variants {

struct X86_32 {
    using State = std::uint32_t;
    using Result = std::uint32_t;
    static constexpr std::size_t BLOCK_SIZE = x86_32::BLOCK_SIZE;
    static constexpr std::size_t KERNELS_FROM = x86_32::KERNELS_FROM;

    [[gnu::always_inline]] static State start(std::uint32_t seed) { return seed; }
    [[gnu::always_inline]] static void mix_block(State& h, const unsigned char* block) {
        h = x86_32::fold_key(h, x86_32::mix_key(load_u32(block)));
    }
    [[gnu::always_inline]] static void mix_kernel(State& h, const unsigned char* blocks, std::size_t byte_count,
                                                  const Kernels& table) {
        h = x86_32::mix_body(blocks, byte_count, h, table);
    }
    static constexpr auto finish_tail = x86_32::finish_tail;
};

struct X86_128 {
    using State = x86_128::State;
    using Result = x86_128::State;
    static constexpr std::size_t BLOCK_SIZE = x86_128::BLOCK_SIZE;
    static constexpr std::size_t KERNELS_FROM = x86_128::KERNELS_FROM;

    [[gnu::always_inline]] static State start(std::uint32_t seed) { return {seed, seed, seed, seed}; }
    [[gnu::always_inline]] static void mix_block(State& h, const unsigned char* block) {
        x86_128::mix_block(h, block);
    }
    [[gnu::always_inline]] static void mix_kernel(State& h, const unsigned char* blocks, std::size_t byte_count,
                                                  const Kernels& table) {
        x86_128::mix_body(blocks, byte_count, h, table);
    }
    static constexpr auto finish_tail = x86_128::finish_tail;
};

struct X64_128 {
    using State = x64_128::State;
    using Result = x64_128::State;
    static constexpr std::size_t BLOCK_SIZE = x64_128::BLOCK_SIZE;
    static constexpr std::size_t KERNELS_FROM = x64_128::KERNELS_FROM;

    [[gnu::always_inline]] static State start(std::uint32_t seed) { return {seed, seed}; }
    [[gnu::always_inline]] static void mix_block(State& h, const unsigned char* block) {
        x64_128::mix_block(h, block);
    }
    [[gnu::always_inline]] static void mix_kernel(State& h, const unsigned char* blocks, std::size_t byte_count,
                                                  const Kernels& table) {
        x64_128::mix_body(blocks, byte_count, h, table);
    }
    static constexpr auto finish_tail = x64_128::finish_tail;
};

// Mixes whole blocks into `h`: bodies shorter than any processor's kernel
// takes are mixed here, so that the state stays in registers and the table is
// not read; longer ones go to the table's kernel for their length.
template <class Variant>
[[gnu::always_inline]] inline void mix_body(typename Variant::State& h, const unsigned char* blocks,
                                            std::size_t byte_count, const Kernels& table) {
    if (byte_count < Variant::KERNELS_FROM) {
        for (std::size_t i = 0; i < byte_count; i += Variant::BLOCK_SIZE) Variant::mix_block(h, blocks + i);
    } else {
        typename Variant::State through_kernel = h;  // the kernel takes it by address; keep `h` itself out of memory
        Variant::mix_kernel(through_kernel, blocks, byte_count, table);
        h = through_kernel;
    }
}

// The hash of a whole message.
template <class Variant>
[[gnu::always_inline]] inline typename Variant::Result hash(const unsigned char* data, std::size_t len,
                                                            std::uint32_t seed, const Kernels& table) {
    typename Variant::State h = Variant::start(seed);
    const std::size_t body = len & ~(Variant::BLOCK_SIZE - 1);
    mix_body<Variant>(h, data, body, table);
    return Variant::finish_tail(data + body, len - body, h, len);
}

}  // namespace vantorq::murmur3::variants
