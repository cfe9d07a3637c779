#pragma once
// The serialised form of a streaming hasher: a fixed layout per kind of hasher,
//
//   byte 0          the kind
//   byte 1          the layout version
//   ...             the kind's fields, words little-endian
//   last 8 bytes    XXH64 (seed 0) of every byte before them
//
// so that a form that was cut, extended, altered or made by another kind or
// version of the layout is refused before any field is trusted.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

#include "backend/block_buffer.hpp"

namespace vantorq::backend::state_bytes {

// Every family's streaming hashers share the form; a kind names one of them.
enum class Kind : unsigned char {
    XXH32 = 0x20,
    XXH64 = 0x40,
    XXH3 = 0x30,
    XXH3_SECRET = 0x31,
    MURMUR3_X86_32 = 0x51,
    MURMUR3_X86_128 = 0x52,
    MURMUR3_X64_128 = 0x53,
};

inline constexpr unsigned char LAYOUT_VERSION = 1;
inline constexpr std::size_t HEADER_SIZE = 2;
inline constexpr std::size_t CHECKSUM_SIZE = 8;

std::uint64_t checksum(const unsigned char* data, std::size_t len);

// Writes a form front to back into a buffer of exactly its size.
class Writer {
public:
    Writer(std::span<unsigned char> out, Kind kind) : out_(out) {
        put(static_cast<unsigned char>(kind));
        put(LAYOUT_VERSION);
    }

    template <typename Word>
    void put(Word word) {
        put_bytes(reinterpret_cast<const unsigned char*>(&word), sizeof word);
    }

    void put_bytes(const unsigned char* bytes, std::size_t len) {
        std::memcpy(out_.data() + used_, bytes, len);
        used_ += len;
    }

    // Appends the checksum; the form must then be full.
    void seal();

private:
    std::span<unsigned char> out_;
    std::size_t used_ = 0;
};

// Reads the fields of a form that open() accepted, in the order written.
class Reader {
public:
    static std::optional<Reader> open(std::span<const unsigned char> form, Kind kind, std::size_t size);

    template <typename Word>
    Word take() {
        Word word;
        std::memcpy(&word, take_bytes(sizeof word), sizeof word);
        return word;
    }

    const unsigned char* take_bytes(std::size_t len) {
        const unsigned char* bytes = form_.data() + used_;
        used_ += len;
        return bytes;
    }

private:
    explicit Reader(std::span<const unsigned char> form) : form_(form) {}

    std::span<const unsigned char> form_;
    std::size_t used_ = HEADER_SIZE;
};

// A block-buffered hasher's unmixed tail: its count, then the block with the
// bytes after the tail zero.
template <std::size_t BLOCK_SIZE>
void put_pending(Writer& writer, const backend::BasicBlockBuffer<BLOCK_SIZE>& pending) {
    writer.put(static_cast<unsigned char>(pending.pending_size()));
    std::array<unsigned char, BLOCK_SIZE> block{};
    std::memcpy(block.data(), pending.pending(), pending.pending_size());
    writer.put_bytes(block.data(), block.size());
}

// Reads what put_pending wrote into an empty buffer; false unless the tail is
// the last total_len % BLOCK_SIZE bytes of the message and the padding is zero.
template <std::size_t BLOCK_SIZE>
bool take_pending(Reader& reader, std::uint64_t total_len, backend::BasicBlockBuffer<BLOCK_SIZE>& pending) {
    const std::size_t count = reader.take<unsigned char>();
    const unsigned char* block = reader.take_bytes(BLOCK_SIZE);
    if (count != total_len % BLOCK_SIZE) return false;
    for (std::size_t i = count; i < BLOCK_SIZE; ++i)
        if (block[i] != 0) return false;
    // Fewer bytes than a block only wait in the buffer: nothing is mixed.
    pending.feed(block, count, [](const unsigned char*) {}, [](const unsigned char*, std::size_t) {});
    return true;
}

}  // namespace vantorq::backend::state_bytes
