#include "columns/hash.hpp"

#include <algorithm>
#include <cstring>

#include "murmur3/digest.hpp"
#include "murmur3/kernels.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_32.hpp"
#include "xxhash/batch.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::columns {
namespace {

using xxhash::ByteView;

// A block of rows at a time (small enough that its staged values and their
// places stay in the first-level cache).
constexpr std::size_t BLOCK_ROWS = 256;

// Each kind hashes a row directly (`hash_one`); XXH3 and MurmurHash3 x64_128
// stage the values they do not take directly (not `direct`) for a kernel that
// hashes long values several at once (`hash_staged`).
template <DigestKind KIND>
struct Digests;

// A 16-byte digest that comes back in two registers, written a word at a
// time: merged, the words would pass through a stack slot into one 16-byte
// store, whose load stalls on the two word stores just made; that stall
// took most of a MurmurHash3 column's time.
inline void store_words(unsigned char* out, std::uint64_t first, std::uint64_t second) {
    xxhash::store_u64(out, first);
    asm("" ::: "memory");
    xxhash::store_u64(out + 8, second);
}

template <class Width, auto SHORT_HASH, auto LIST_HASH>
struct Xxh3Digests {
    static constexpr std::size_t BYTES = Width::BYTES;
    static constexpr bool STAGES = true;
    static bool direct(std::size_t size) { return size <= xxhash::MIDSIZE_MAX; }
    static void hash_one(const Value& value, std::uint64_t seed, unsigned char* out) {
        Width::store(out, SHORT_HASH(value.data, value.size, seed));
    }
    static void hash_staged(std::span<const ByteView> rows, std::uint64_t seed, unsigned char* out) {
        LIST_HASH(rows, seed, out, xxhash::long_inputs::long_engine());
    }
};

struct Store64 {
    static constexpr std::size_t BYTES = xxhash::batch::DIGEST_BYTES_64;
    static void store(unsigned char* out, std::uint64_t digest) { xxhash::store_u64(out, digest); }
};

struct Store128 {
    static constexpr std::size_t BYTES = xxhash::batch::DIGEST_BYTES_128;
    static void store(unsigned char* out, xxhash::Hash128 digest) { store_words(out, digest.low, digest.high); }
};

template <>
struct Digests<DigestKind::Xxh3_64>
    : Xxh3Digests<Store64, &xxhash::one_shot::xxh3_64_short, &xxhash::batch::hash_items_64> {};
template <>
struct Digests<DigestKind::Xxh3_128>
    : Xxh3Digests<Store128, &xxhash::one_shot::xxh3_128_short, &xxhash::batch::hash_items_128> {};

// MurmurHash3: the digest in the digest layout.
template <std::size_t SIZE, auto HASH>
struct MurmurDigests {
    static constexpr std::size_t BYTES = SIZE;
    static constexpr bool STAGES = false;
    template <class Result>
    static void write(unsigned char* out, const Result& digest) {
        if constexpr (SIZE == 16) {
            unsigned char bytes[16];
            murmur3::digest::write(bytes, digest);
            store_words(out, backend::load_u64(bytes), backend::load_u64(bytes + 8));
        } else {
            murmur3::digest::write(out, digest);
        }
    }
    static void hash_one(const Value& value, std::uint64_t seed, unsigned char* out) {
        write(out, HASH(value.data, value.size, static_cast<std::uint32_t>(seed)));
    }
};

// x64_128 stages the values long enough to gain from being hashed several at
// a time, their block chains side by side (the kernel table's x64_128_many).
// x86_128 gains nothing so: four 32-bit lanes a block make its scalar key
// mixing twice the work, and interleaved it lost to its own vector kernel one
// at a time (1 KiB: 186-264 ns against 149).
struct Murmur3X64Digests : MurmurDigests<16, &murmur3::x64_128::hash> {
    static constexpr bool STAGES = true;
    static bool direct(std::size_t size) { return size < murmur3::kernels().x64_128_many.worth_from; }
    static void hash_staged(std::span<const ByteView> rows, std::uint64_t seed, unsigned char* out) {
        std::span<const unsigned char> messages[BLOCK_ROWS];
        murmur3::x64_128::State digests[BLOCK_ROWS];
        for (std::size_t i = 0; i < rows.size(); ++i) messages[i] = {rows[i].data, rows[i].len};
        murmur3::x64_128::hash_each({messages, rows.size()}, static_cast<std::uint32_t>(seed), digests);
        for (std::size_t i = 0; i < rows.size(); ++i) write(out + i * BYTES, digests[i]);
    }
};

template <>
struct Digests<DigestKind::Murmur3_32> : MurmurDigests<4, &murmur3::x86_32::hash> {};
template <>
struct Digests<DigestKind::Murmur3_x86_128> : MurmurDigests<16, &murmur3::x86_128::hash> {};
template <>
struct Digests<DigestKind::Murmur3_x64_128> : Murmur3X64Digests {};

template <DigestKind KIND, Layout L, bool NULLS>
void hash_rows(const Chunk& source, std::uint64_t seed, unsigned char* out) {
    using D = Digests<KIND>;
    // A copy of the chunk's fields that nothing else can reach: the digests
    // are written through a byte pointer, which may alias the caller's chunk,
    // so its fields would be loaded again after every digest.
    const Chunk chunk = source;
    ByteView staged[BLOCK_ROWS];
    std::uint32_t staged_rows[BLOCK_ROWS];
    unsigned char staged_digests[BLOCK_ROWS * D::BYTES];
    for (std::size_t first = 0; first < chunk.length(); first += BLOCK_ROWS) {
        const std::size_t end = std::min(first + BLOCK_ROWS, chunk.length());
        std::size_t staged_count = 0;
        for (std::size_t row = first; row < end; ++row) {
            unsigned char* digest = out + row * D::BYTES;
            if (NULLS && chunk.is_null(row)) {
                std::memset(digest, 0, D::BYTES);  // a null row's bytes may be anything
                continue;
            }
            const Value value = chunk.template value<L>(row);
            if constexpr (D::STAGES) {
                if (!D::direct(value.size)) {
                    staged[staged_count] = {value.data, value.size};
                    staged_rows[staged_count++] = static_cast<std::uint32_t>(row - first);
                    continue;
                }
            }
            D::hash_one(value, seed, digest);
        }
        if constexpr (D::STAGES) {
            if (staged_count == 0) continue;
            D::hash_staged({staged, staged_count}, seed, staged_digests);
            for (std::size_t i = 0; i < staged_count; ++i)
                std::memcpy(out + (first + staged_rows[i]) * D::BYTES, staged_digests + i * D::BYTES, D::BYTES);
        }
    }
}

template <DigestKind KIND>
void hash_kind(const Chunk& chunk, std::uint64_t seed, unsigned char* out) {
    with_layout(chunk.layout(), [&](auto layout) {
        constexpr Layout L = decltype(layout)::value;
        if (chunk.has_nulls())
            hash_rows<KIND, L, true>(chunk, seed, out);
        else
            hash_rows<KIND, L, false>(chunk, seed, out);
    });
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
