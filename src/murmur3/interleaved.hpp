#pragma once
// MurmurHash3 of several messages at once, each hash exactly the one-shot
// hash of its message. A message's blocks are one serial chain through the
// state (each block's fold waits for the previous one), so one message keeps
// the processor's multipliers mostly idle; the chains of several messages are
// independent and fill those gaps. Their block loops run together over the
// blocks all of them have; each then finishes its own remaining blocks and
// tail alone.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <utility>

#include "murmur3/variants.hpp"

namespace vantorq::murmur3::interleaved {

using Message = std::span<const unsigned char>;

// Runs step(integral_constant<R>) for every row R, unrolled, so that each
// row's state stays in registers.
template <std::size_t ROWS, class Step>
[[gnu::always_inline]] inline void for_each_row(Step&& step) {
    [&]<std::size_t... R>(std::index_sequence<R...>) {
        (step(std::integral_constant<std::size_t, R>{}), ...);
    }(std::make_index_sequence<ROWS>{});
}

// The blocks all the messages have, mixed one block of each message in turn.
// A vector tier supplies its own form for some variants and group sizes: a
// type with the same mix_common that runs the rows in vector lanes.
template <class Variant>
struct RowsInTurn {
    template <std::size_t ROWS>
    [[gnu::always_inline]] static void mix_common(std::array<typename Variant::State, ROWS>& h,
                                                  const std::array<Message, ROWS>& messages, std::size_t common) {
        for (std::size_t i = 0; i < common; i += Variant::BLOCK_SIZE)
            for_each_row<ROWS>([&](auto r) { Variant::mix_block(h[r], messages[r].data() + i); });
    }
};

// out[i] = the hash of messages[i] with `seed`, for any lengths; the blocks
// a message has beyond the common ones are mixed on the kernels of `table`.
template <class Variant, std::size_t ROWS, class CommonBlocks = RowsInTurn<Variant>>
[[gnu::always_inline]] inline void hash(const std::array<Message, ROWS>& messages, std::uint32_t seed,
                                        std::array<typename Variant::Result, ROWS>& out, const Kernels& table) {
    constexpr std::size_t BLOCK = Variant::BLOCK_SIZE;
    std::array<std::size_t, ROWS> bodies;
    for_each_row<ROWS>([&](auto r) { bodies[r] = messages[r].size() & ~(BLOCK - 1); });
    // A message alone takes its variant's kernel choice for its whole body.
    // (A plain minimum rather than a library call: vector tiers instantiate
    // this, and must not emit an out-of-line copy that others could share.)
    std::size_t common = 0;
    std::array<typename Variant::State, ROWS> h;
    for_each_row<ROWS>([&](auto r) { h[r] = Variant::start(seed); });
    if constexpr (ROWS > 1) {
        common = bodies[0];
        for_each_row<ROWS>([&](auto r) { common = bodies[r] < common ? bodies[r] : common; });
        CommonBlocks::mix_common(h, messages, common);
    }

    for_each_row<ROWS>([&](auto r) {
        const unsigned char* data = messages[r].data();
        typename Variant::State state = h[r];  // mix_body takes it by address; keep `h` itself out of memory
        if (bodies[r] != common) variants::mix_body<Variant>(state, data + common, bodies[r] - common, table);
        out[r] = Variant::finish_tail(data + bodies[r], messages[r].size() - bodies[r], state, messages[r].size());
    });
}

// out[i] = the hash of messages[i] with `seed`, ROWS messages at a time.
// The messages hashed together are far apart in the list: message k of a
// group comes from the k-th of ROWS equal runs. Messages stored one after
// another would otherwise be read as ROWS streams a message's length apart,
// close enough (within a page) to defeat the hardware prefetcher: from main
// memory, 1 KiB messages hashed in adjacent pairs took 1.7 to 1.9 times as
// long as one at a time.
template <class Variant, std::size_t ROWS, class CommonBlocks = RowsInTurn<Variant>>
void hash_each(std::span<const Message> messages, std::uint32_t seed, typename Variant::Result* out,
               const Kernels& table) {
    const std::size_t groups = messages.size() / ROWS;
    for (std::size_t g = 0; g < groups; ++g) {
        std::array<Message, ROWS> group;
        std::array<typename Variant::Result, ROWS> results;
        for (std::size_t r = 0; r < ROWS; ++r) group[r] = messages[g + r * groups];
        hash<Variant, ROWS, CommonBlocks>(group, seed, results, table);
        for (std::size_t r = 0; r < ROWS; ++r) out[g + r * groups] = results[r];
    }
    for (std::size_t i = groups * ROWS; i < messages.size(); ++i) {
        std::array<typename Variant::Result, 1> result;
        hash<Variant, 1, CommonBlocks>({messages[i]}, seed, result, table);
        out[i] = result[0];
    }
}

}  // namespace vantorq::murmur3::interleaved
