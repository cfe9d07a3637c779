#include "columns/hash.hpp"

#include <cstring>

#include "murmur3/digest.hpp"
#include "murmur3/x86_32.hpp"
#include "xxhash/batch.hpp"

namespace vantorq::columns {
namespace {

using xxhash::ByteView;

// Rows are staged as byte views a block at a time (small enough to stay in
// the first-level cache), so that XXH3 runs its list kernel, which hashes
// long values several at once.
constexpr std::size_t BLOCK_ROWS = 256;

template <DigestKind KIND>
struct Digests;

template <>
struct Digests<DigestKind::Xxh3_64> {
    static constexpr std::size_t BYTES = xxhash::batch::DIGEST_BYTES_64;
    static void hash(std::span<const ByteView> rows, std::uint64_t seed, unsigned char* out) {
        xxhash::batch::hash_items_64(rows, seed, out);
    }
};

template <>
struct Digests<DigestKind::Xxh3_128> {
    static constexpr std::size_t BYTES = xxhash::batch::DIGEST_BYTES_128;
    static void hash(std::span<const ByteView> rows, std::uint64_t seed, unsigned char* out) {
        xxhash::batch::hash_items_128(rows, seed, out);
    }
};

// MurmurHash3: one value at a time, its digest in the digest layout.
template <std::size_t SIZE, auto HASH>
struct MurmurDigests {
    static constexpr std::size_t BYTES = SIZE;
    static void hash(std::span<const ByteView> rows, std::uint64_t seed, unsigned char* out) {
        const auto seed32 = static_cast<std::uint32_t>(seed);
        for (const ByteView& row : rows) {
            murmur3::digest::write(out, HASH(row.data, row.len, seed32));
            out += SIZE;
        }
    }
};

template <>
struct Digests<DigestKind::Murmur3_32> : MurmurDigests<4, &murmur3::x86_32::hash> {};
template <>
struct Digests<DigestKind::Murmur3_x86_128> : MurmurDigests<16, &murmur3::x86_128::hash> {};
template <>
struct Digests<DigestKind::Murmur3_x64_128> : MurmurDigests<16, &murmur3::x64_128::hash> {};

template <DigestKind KIND, Layout L>
void hash_rows(const Chunk& chunk, std::uint64_t seed, unsigned char* out) {
    using D = Digests<KIND>;
    // A null row is staged as an empty value (its bytes may be anything) and its digest cleared after.
    static constexpr unsigned char NOTHING = 0;
    ByteView block[BLOCK_ROWS];
    for (std::size_t first = 0; first < chunk.length(); first += BLOCK_ROWS) {
        const std::size_t count = std::min(BLOCK_ROWS, chunk.length() - first);
        if (chunk.has_nulls()) {
            for (std::size_t i = 0; i < count; ++i) {
                const Value value =
                    chunk.is_null(first + i) ? Value{&NOTHING, 0} : chunk.template value<L>(first + i);
                block[i] = {value.data, value.size};
            }
        } else {
            for (std::size_t i = 0; i < count; ++i) {
                const Value value = chunk.template value<L>(first + i);
                block[i] = {value.data, value.size};
            }
        }
        unsigned char* digests = out + first * D::BYTES;
        D::hash({block, count}, seed, digests);
        if (chunk.has_nulls())
            for (std::size_t i = 0; i < count; ++i)
                if (chunk.is_null(first + i)) std::memset(digests + i * D::BYTES, 0, D::BYTES);
    }
}

template <DigestKind KIND>
void hash_kind(const Chunk& chunk, std::uint64_t seed, unsigned char* out) {
    with_layout(chunk.layout(), [&](auto layout) { hash_rows<KIND, decltype(layout)::value>(chunk, seed, out); });
}

}  // namespace

std::size_t digest_bytes(DigestKind kind) {
    switch (kind) {
        case DigestKind::Xxh3_64:
            return 8;
        case DigestKind::Murmur3_32:
            return 4;
        default:
            return 16;
    }
}

void hash_chunk(DigestKind kind, const Chunk& chunk, std::uint64_t seed, unsigned char* out) {
    switch (kind) {
        case DigestKind::Xxh3_64:
            return hash_kind<DigestKind::Xxh3_64>(chunk, seed, out);
        case DigestKind::Xxh3_128:
            return hash_kind<DigestKind::Xxh3_128>(chunk, seed, out);
        case DigestKind::Murmur3_32:
            return hash_kind<DigestKind::Murmur3_32>(chunk, seed, out);
        case DigestKind::Murmur3_x86_128:
            return hash_kind<DigestKind::Murmur3_x86_128>(chunk, seed, out);
        case DigestKind::Murmur3_x64_128:
            return hash_kind<DigestKind::Murmur3_x64_128>(chunk, seed, out);
    }
}

}  // namespace vantorq::columns
