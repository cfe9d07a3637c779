#pragma once
// The vector block-mixing kernels of the three variants, each written once
// over a lane type (lanes.hpp). The key mixes of a step's blocks are
// independent and run side by side in vector lanes; the state update stays a
// serial chain and folds the keys in exactly the scalar routine's order.
//
// Only tier files include this header, each instantiating the templates with
// a lane type of its own anonymous namespace.

#include "murmur3/generic/lanes.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::murmur3::generic {

template <class L>
[[gnu::always_inline]] inline std::uint32_t mix_body_x86_32(const unsigned char* blocks, std::size_t byte_count,
                                                            std::uint32_t h1) {
    using namespace x86_32;
    const auto mix = [](typename L::Reg k) {
        k = L::mul32(k, L::repeat(Pattern32{C1, C1, C1, C1}));
        k = rotl32_uniform<L, 15>(k);
        return L::mul32(k, L::repeat(Pattern32{C2, C2, C2, C2}));
    };
    const auto fold = [&h1](const std::uint32_t* keys, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) h1 = fold_key(h1, keys[i]);
    };
    const std::size_t done = mix_vector_steps<L, std::uint32_t>(blocks, byte_count, mix, fold);
    return mix_body_scalar(blocks + done, byte_count - done, h1);
}

// Each vector holds whole blocks, so every 128 bits repeat the four lanes' constants.
template <class L>
[[gnu::always_inline]] inline void mix_body_x86_128(const unsigned char* blocks, std::size_t byte_count,
                                                    x86_128::State& h) {
    using namespace x86_128;
    const auto mix = [](typename L::Reg k) {
        k = L::mul32(k, L::repeat(Pattern32{C[0], C[1], C[2], C[3]}));
        k = L::template rotl32<KEY_ROTATION[0], KEY_ROTATION[1], KEY_ROTATION[2], KEY_ROTATION[3]>(k);
        return L::mul32(k, L::repeat(Pattern32{C[1], C[2], C[3], C[4]}));
    };
    State state = h;
    const auto fold = [&state](const std::uint32_t* keys, std::size_t count) {
        for (std::size_t i = 0; i < count; i += 4) fold_keys(state, keys[i], keys[i + 1], keys[i + 2], keys[i + 3]);
    };
    const std::size_t done = mix_vector_steps<L, std::uint32_t>(blocks, byte_count, mix, fold);
    mix_body_scalar(blocks + done, byte_count - done, state);
    h = state;
}

// Lanes k1, k2 of each block: k1 = rotl(k1 * C1, 31) * C2 and k2 = rotl(k2 * C2, 33) * C1.
template <class L>
[[gnu::always_inline]] inline void mix_body_x64_128(const unsigned char* blocks, std::size_t byte_count,
                                                    x64_128::State& h) {
    using namespace x64_128;
    const auto mix = [](typename L::Reg k) {
        k = mul64<L>(k, L::repeat(Pattern64{C1, C2}));
        k = L::template rotl64<KEY_ROTATION[0], KEY_ROTATION[1]>(k);
        return mul64<L>(k, L::repeat(Pattern64{C2, C1}));
    };
    State state = h;
    const auto fold = [&state](const std::uint64_t* keys, std::size_t count) {
        for (std::size_t i = 0; i < count; i += 2) fold_keys(state, keys[i], keys[i + 1]);
    };
    const std::size_t done = mix_vector_steps<L, std::uint64_t>(blocks, byte_count, mix, fold);
    mix_body_scalar(blocks + done, byte_count - done, state);
    h = state;
}

}  // namespace vantorq::murmur3::generic
