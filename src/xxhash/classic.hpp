#pragma once
// XXH32 and XXH64: four lanes of one word each, fed 16 or 32 bytes at a time,
// then converged and mixed with the 0 to 15 (31) bytes left over. One template
// holds what the two share; a Width supplies the word, the primes and the
// steps that differ.
//
// Each lane is a serial chain (add, rotate, multiply) per word, so the speed
// comes from keeping the four chains independent and in registers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "backend/block_buffer.hpp"
#include "backend/state_bytes.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::xxhash::classic {

namespace state_bytes = backend::state_bytes;

struct Width32 {
    using Word = std::uint32_t;
    static constexpr Word P1 = PRIME32_1, P2 = PRIME32_2, P3 = PRIME32_3, P4 = PRIME32_4, P5 = PRIME32_5;
    static constexpr int ROUND_ROTATION = 13;
    static constexpr state_bytes::Kind KIND = state_bytes::Kind::XXH32;

    [[gnu::always_inline]] static Word load(const unsigned char* p) { return load_u32(p); }
};

struct Width64 {
    using Word = std::uint64_t;
    static constexpr Word P1 = PRIME64_1, P2 = PRIME64_2, P3 = PRIME64_3, P4 = PRIME64_4, P5 = PRIME64_5;
    static constexpr int ROUND_ROTATION = 31;
    static constexpr state_bytes::Kind KIND = state_bytes::Kind::XXH64;

    [[gnu::always_inline]] static Word load(const unsigned char* p) { return load_u64(p); }
};

template <class Width>
struct Algorithm {
    using Word = typename Width::Word;
    using Lanes = std::array<Word, 4>;
    static constexpr std::size_t BLOCK_SIZE = 4 * sizeof(Word);

    [[gnu::always_inline]] static Word round(Word acc, Word input) {
        return rotl<Word>(acc + input * Width::P2, Width::ROUND_ROTATION) * Width::P1;
    }

    static constexpr Lanes start(Word seed) {
        return {static_cast<Word>(seed + Width::P1 + Width::P2), static_cast<Word>(seed + Width::P2), seed,
                static_cast<Word>(seed - Width::P1)};
    }

    // Mixes `blocks` whole blocks into the lanes. The lanes live in locals for
    // the loop so that nothing ties one lane's chain to memory or to another.
    [[gnu::always_inline]] static void mix_blocks(Lanes& lanes, const unsigned char* p, std::size_t blocks) {
        Word v0 = lanes[0], v1 = lanes[1], v2 = lanes[2], v3 = lanes[3];
        for (const unsigned char* const end = p + blocks * BLOCK_SIZE; p != end; p += BLOCK_SIZE) {
            v0 = round(v0, Width::load(p));
            v1 = round(v1, Width::load(p + sizeof(Word)));
            v2 = round(v2, Width::load(p + 2 * sizeof(Word)));
            v3 = round(v3, Width::load(p + 3 * sizeof(Word)));
            // Lanes that start in memory are otherwise packed into one SSE2
            // register, whose multiplies by a constant become shift chains:
            // the streaming XXH32 ran at half the one-shot speed.
            asm("" : "+r"(v0), "+r"(v1), "+r"(v2), "+r"(v3));
        }
        lanes = {v0, v1, v2, v3};
    }

    [[gnu::always_inline]] static Word converge(const Lanes& v) {
        Word h = rotl<Word>(v[0], 1) + rotl<Word>(v[1], 7) + rotl<Word>(v[2], 12) + rotl<Word>(v[3], 18);
        // XXH64 folds each lane in once more, so that no lane's last bits
        // reach the result through additions alone.
        if constexpr (sizeof(Word) == 8)
            for (const Word lane : v) h = (h ^ round(0, lane)) * Width::P1 + Width::P4;
        return h;
    }

    [[gnu::always_inline]] static Word mix_tail(Word h, const unsigned char* p, std::size_t len) {
        if constexpr (sizeof(Word) == 8) {
            for (; len >= 8; p += 8, len -= 8) h = rotl<Word>(h ^ round(0, load_u64(p)), 27) * Width::P1 + Width::P4;
            if (len >= 4) {
                h = rotl<Word>(h ^ Word{load_u32(p)} * Width::P1, 23) * Width::P2 + Width::P3;
                p += 4;
                len -= 4;
            }
            for (; len > 0; ++p, --len) h = rotl<Word>(h ^ (*p * Width::P5), 11) * Width::P1;
        } else {
            for (; len >= 4; p += 4, len -= 4) h = rotl<Word>(h + load_u32(p) * Width::P3, 17) * Width::P4;
            for (; len > 0; ++p, --len) h = rotl<Word>(h + (*p * Width::P5), 11) * Width::P1;
        }
        return h;
    }

    [[gnu::always_inline]] static Word avalanche(Word h) {
        if constexpr (sizeof(Word) == 8) return xxh64_avalanche(h);
        h = xorshift(h, 15) * Width::P2;
        h = xorshift(h, 13) * Width::P3;
        return xorshift(h, 16);
    }

    // The hash of a message of `total_len` bytes whose whole blocks are in
    // `lanes` (started from `seed`) and whose last total_len % BLOCK_SIZE
    // bytes are `tail`. XXH32 adds the length modulo 2^32.
    [[gnu::always_inline]] static Word finish(const Lanes& lanes, Word seed, std::uint64_t total_len,
                                              const unsigned char* tail) {
        Word h = total_len >= BLOCK_SIZE ? converge(lanes) : seed + Width::P5;
        h += static_cast<Word>(total_len);
        return avalanche(mix_tail(h, tail, total_len % BLOCK_SIZE));
    }
};

// The block loops have vector forms with the four lanes in one register, so
// that each input word's product is off the lanes' chains and the four chains
// cost one: XXH32's (sse41/, avx512/) with PMULLD, XXH64's (avx512/) with
// VPMULLQ; the engine (long_inputs::for_processor) takes them where those
// multiplies are quick. Measured on Zen 4 over 1 MiB: XXH32 scalar 4.0 GB/s,
// SSE4.1 6.7-9.0, AVX-512 9.1-9.3; XXH64 scalar 14.5 GB/s (eight multiplies a
// block at one a cycle), AVX-512 18.6-19.5 (the chain's add, rotate and
// multiply take 1 + 2 + 3 cycles a block). Intel's VPMULLQ takes about 15
// cycles, which would make XXH64's chain twice as slow as the scalar loop.
template <class Width>
using BlocksKernel = long_inputs::BlocksKernel<typename Width::Word>;

using Xxh32Lanes = Algorithm<Width32>::Lanes;
using Xxh64Lanes = Algorithm<Width64>::Lanes;

void mix_xxh32_blocks_scalar(Xxh32Lanes& lanes, const unsigned char* p, std::size_t blocks);
void mix_xxh64_blocks_scalar(Xxh64Lanes& lanes, const unsigned char* p, std::size_t blocks);

// XXH32 with the low 32 bits of a seed, XXH64 with a 64-bit seed.
std::uint32_t xxh32(const unsigned char* data, std::size_t len, std::uint32_t seed,
                    const long_inputs::LongEngine& engine = long_inputs::long_engine());
std::uint64_t xxh64(const unsigned char* data, std::size_t len, std::uint64_t seed,
                    const long_inputs::LongEngine& engine = long_inputs::long_engine());

// The hashes of items in item order, packed little-endian: item i's at
// out + i * 4 (XXH32) or out + i * 8 (XXH64), the layout of the packed list forms.
void xxh32_items(std::span<const ByteView> items, std::uint32_t seed, unsigned char* out,
                 const long_inputs::LongEngine& engine = long_inputs::long_engine());
void xxh64_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                 const long_inputs::LongEngine& engine = long_inputs::long_engine());

// The hash of a message that arrives in chunks: any split gives the one-shot
// hash of the whole. Whole blocks are mixed straight from the chunk; the
// leftover bytes wait in a block buffer.
template <class Width>
class Hasher {
public:
    using Word = typename Width::Word;
    using Seed = Word;
    using Steps = Algorithm<Width>;
    static constexpr std::size_t BLOCK_SIZE = Steps::BLOCK_SIZE;

    // kind, version, seed, total length, lanes, pending count, pending bytes (zero-padded), checksum
    static constexpr std::size_t SERIALIZED_SIZE =
        state_bytes::HEADER_SIZE + sizeof(Word) + 8 + 4 * sizeof(Word) + 1 + BLOCK_SIZE + state_bytes::CHECKSUM_SIZE;
    using Serialized = std::array<unsigned char, SERIALIZED_SIZE>;

    explicit Hasher(Word seed = 0, const long_inputs::LongEngine& engine = long_inputs::long_engine())
        : engine_(&engine), seed_(seed), lanes_(Steps::start(seed)) {}

    void update(const unsigned char* data, std::size_t len);

    // The hash of everything fed so far; the hasher itself is unchanged.
    Word digest() const { return Steps::finish(lanes_, seed_, total_len_, pending_.pending()); }

    // Back to the state of a new hasher with the same seed.
    void reset() { *this = Hasher(seed_, *engine_); }

    Word seed() const { return seed_; }

    Serialized to_bytes() const;
    // The hasher that to_bytes() described, on `engine`, or nothing if `form`
    // is not such a form (wrong size, kind or version, altered bytes,
    // inconsistent fields).
    static std::optional<Hasher> from_bytes(std::span<const unsigned char> form,
                                            const long_inputs::LongEngine& engine = long_inputs::long_engine());

private:
    const long_inputs::LongEngine* engine_;
    Word seed_;
    typename Steps::Lanes lanes_;
    backend::BasicBlockBuffer<BLOCK_SIZE> pending_;
    std::uint64_t total_len_ = 0;
};

using Xxh32Hasher = Hasher<Width32>;
using Xxh64Hasher = Hasher<Width64>;

extern template class Hasher<Width32>;
extern template class Hasher<Width64>;

}  // namespace vantorq::xxhash::classic
