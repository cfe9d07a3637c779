#pragma once
// MurmurHash3 over a message that arrives in chunks. Feeding any split of a
// message gives exactly the one-shot hash of the whole: whole blocks are
// mixed as they arrive (straight from the chunk, on the kernel table's
// vector kernels for long runs), the 0 to block-size-1 leftover bytes wait in
// a block buffer, and the tail step and finalisation run on a copy when a
// result is asked for.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "backend/block_buffer.hpp"
#include "murmur3/variants.hpp"
#include "backend/state_bytes.hpp"

namespace vantorq::murmur3::incremental {

namespace state_bytes = backend::state_bytes;

template <class Variant>
inline constexpr state_bytes::Kind KIND_OF = state_bytes::Kind::MURMUR3_X86_32;
template <>
inline constexpr state_bytes::Kind KIND_OF<variants::X86_128> = state_bytes::Kind::MURMUR3_X86_128;
template <>
inline constexpr state_bytes::Kind KIND_OF<variants::X64_128> = state_bytes::Kind::MURMUR3_X64_128;

template <class Variant>
class Hasher {
public:
    using Seed = std::uint32_t;
    using Result = typename Variant::Result;
    static constexpr std::size_t BLOCK_SIZE = Variant::BLOCK_SIZE;

    // kind, version, seed, total length, state, pending count, pending bytes (zero-padded), checksum
    static constexpr std::size_t SERIALIZED_SIZE = state_bytes::HEADER_SIZE + sizeof(Seed) + 8 +
                                                   sizeof(typename Variant::State) + 1 + BLOCK_SIZE +
                                                   state_bytes::CHECKSUM_SIZE;
    using Serialized = std::array<unsigned char, SERIALIZED_SIZE>;

    // Mixes on the kernels of `table`, which must outlive the hasher.
    explicit Hasher(Seed seed, const Kernels& table = kernels())
        : seed_(seed), state_(Variant::start(seed)), kernels_(&table) {}

    void update(const unsigned char* data, std::size_t len) {
        // The x86 variants finalise with the length modulo 2^32, which the
        // conversion in their finish step takes care of.
        total_len_ += len;
        pending_.feed(
            data, len, [this](const unsigned char* block) { Variant::mix_block(state_, block); },
            [this](const unsigned char* blocks, std::size_t byte_count) {
                variants::mix_body<Variant>(state_, blocks, byte_count, *kernels_);
            });
    }

    // The hash of everything fed so far; the hasher itself is unchanged.
    Result finish() const {
        return Variant::finish_tail(pending_.pending(), pending_.pending_size(), state_, total_len_);
    }

    // Back to the state of a new hasher with the same seed.
    void reset() { *this = Hasher(seed_, *kernels_); }

    Serialized to_bytes() const {
        Serialized form{};
        state_bytes::Writer writer(form, KIND_OF<Variant>);
        writer.put(seed_);
        writer.put(total_len_);
        writer.put(state_);
        state_bytes::put_pending(writer, pending_);
        writer.seal();
        return form;
    }

    // The hasher that to_bytes() described, or nothing if `form` is not such
    // a form (wrong size, kind or version, altered bytes, inconsistent fields).
    static std::optional<Hasher> from_bytes(std::span<const unsigned char> form, const Kernels& table = kernels()) {
        auto reader = state_bytes::Reader::open(form, KIND_OF<Variant>, SERIALIZED_SIZE);
        if (!reader) return std::nullopt;
        Hasher hasher(reader->template take<Seed>(), table);
        hasher.total_len_ = reader->template take<std::uint64_t>();
        hasher.state_ = reader->template take<typename Variant::State>();
        if (!state_bytes::take_pending(*reader, hasher.total_len_, hasher.pending_)) return std::nullopt;
        // The state moves only once a block is complete.
        if (hasher.total_len_ < BLOCK_SIZE && hasher.state_ != Variant::start(hasher.seed_)) return std::nullopt;
        return hasher;
    }

private:
    Seed seed_;
    typename Variant::State state_;
    backend::BasicBlockBuffer<BLOCK_SIZE> pending_;
    std::uint64_t total_len_ = 0;
    const Kernels* kernels_;
};

using Murmur3X86Hasher32 = Hasher<variants::X86_32>;
using Murmur3X86Hasher128 = Hasher<variants::X86_128>;
using Murmur3X64Hasher128 = Hasher<variants::X64_128>;

}  // namespace vantorq::murmur3::incremental
