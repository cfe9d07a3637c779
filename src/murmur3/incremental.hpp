#pragma once
// MurmurHash3 over a message that arrives in chunks. Feeding any split of a
// message gives exactly the one-shot hash of the whole: whole blocks are
// mixed as they arrive (straight from the chunk, on the vector kernels for
// long runs), the 0 to block-size-1 leftover bytes wait in a block buffer,
// and the tail step and finalisation run on a copy when a result is asked for.

#include <cstddef>
#include <cstdint>

#include "backend/block_buffer.hpp"
#include "murmur3/variants.hpp"

namespace vantorq::murmur3::incremental {

template <class Variant>
class Hasher {
public:
    using Result = typename Variant::Result;
    static constexpr std::size_t BLOCK_SIZE = Variant::BLOCK_SIZE;

    explicit Hasher(std::uint32_t seed) : state_(Variant::start(seed)) {}

    void update(const unsigned char* data, std::size_t len) {
        // The x86 variants finalise with the length modulo 2^32, which the
        // conversion in their finish step takes care of.
        total_len_ += len;
        pending_.feed(
            data, len, [this](const unsigned char* block) { Variant::mix_block(state_, block); },
            [this](const unsigned char* blocks, std::size_t byte_count) {
                Variant::mix_body(state_, blocks, byte_count);
            });
    }

    // The hash of everything fed so far; the hasher itself is unchanged.
    Result finish() const {
        return Variant::finish_tail(pending_.pending(), pending_.pending_size(), state_, total_len_);
    }

private:
    typename Variant::State state_;
    backend::BasicBlockBuffer<BLOCK_SIZE> pending_;
    std::uint64_t total_len_ = 0;
};

using Murmur3X86Hasher32 = Hasher<variants::X86_32>;
using Murmur3X86Hasher128 = Hasher<variants::X86_128>;
using Murmur3X64Hasher128 = Hasher<variants::X64_128>;

}  // namespace vantorq::murmur3::incremental
