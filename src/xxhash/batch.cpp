#include "xxhash/batch.hpp"

#include "xxhash/one_shot.hpp"

namespace vantorq::xxhash::batch {
namespace {

struct Width64 {
    using Digest = std::uint64_t;
    static constexpr std::size_t BYTES = DIGEST_BYTES_64;
    static void store(unsigned char* out, Digest digest) { store_u64(out, digest); }
    static Digest short_hash(ByteView item, std::uint64_t seed) {
        return one_shot::xxh3_64_short(item.data, item.len, seed);
    }
    static Digest long_hash(ByteView item, std::uint64_t seed, const unsigned char* secret,
                            const long_inputs::LongEngine& engine) {
        return one_shot::xxh3_64_long(item.data, item.len, seed, secret, engine);
    }
    static Digest finalize(std::size_t len, const unsigned char* secret, const Accumulators& acc) {
        return finalize_long_64(len, secret, acc);
    }
};

struct Width128 {
    using Digest = Hash128;
    static constexpr std::size_t BYTES = DIGEST_BYTES_128;
    static void store(unsigned char* out, Digest digest) {
        store_u64(out, digest.low);
        // Kept two word stores: merged, the words would pass through a stack
        // slot into a 16-byte store whose load cannot be forwarded the two
        // word stores, a stall longer than a short hash.
        asm("" ::: "memory");
        store_u64(out + 8, digest.high);
    }
    static Digest short_hash(ByteView item, std::uint64_t seed) {
        return one_shot::xxh3_128_short(item.data, item.len, seed);
    }
    static Digest long_hash(ByteView item, std::uint64_t seed, const unsigned char* secret,
                            const long_inputs::LongEngine& engine) {
        return one_shot::xxh3_128_long(item.data, item.len, seed, secret, engine);
    }
    static Digest finalize(std::size_t len, const unsigned char* secret, const Accumulators& acc) {
        return finalize_long_128(len, secret, acc);
    }
};

std::size_t stripe_index(const ByteView& item) { return (item.len - 1) / STRIPE_LEN; }

// Accumulates the run's items (two to four) into acc[0..run.count).
void accumulate_run(std::span<const ByteView> items, LongRun run, const unsigned char* secret,
                    const long_inputs::LongEngine& engine, Accumulators (&acc)[MAX_RUN]) {
    const ByteView* item = items.data() + run.first;
    switch (run.count) {
        case 2: {
            Accumulators out[2];
            engine.accumulate_batch2({item[0], item[1]}, secret, out);
            std::copy(out, out + 2, acc);
            return;
        }
        case 3: {
            Accumulators out[3];
            engine.accumulate_batch3({item[0], item[1], item[2]}, secret, out);
            std::copy(out, out + 3, acc);
            return;
        }
        default:
            engine.accumulate_batch4({item[0], item[1], item[2], item[3]}, secret, acc);
            return;
    }
}

template <typename Width>
void hash_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                const long_inputs::LongEngine& engine) {
    const auto put = [&](std::size_t i, typename Width::Digest digest) {
        Width::store(out + i * Width::BYTES, digest);
    };
    std::size_t i = 0;
    while (i < items.size() && items[i].len <= MIDSIZE_MAX) {
        put(i, Width::short_hash(items[i], seed));
        ++i;
    }
    if (i == items.size()) return;

    const long_inputs::SeededSecret secret(seed, engine);
    while (i < items.size()) {
        if (items[i].len <= MIDSIZE_MAX) {
            put(i, Width::short_hash(items[i], seed));
            ++i;
            continue;
        }
        const LongRun run = items[i].len <= engine.multi_input_max_len ? long_run_at(items, i) : LongRun{i, 1};
        if (run.count == 1) {
            put(i, Width::long_hash(items[i], seed, secret.data(), engine));
            ++i;
            continue;
        }
        Accumulators acc[MAX_RUN];
        accumulate_run(items, run, secret.data(), engine, acc);
        for (std::size_t k = 0; k < run.count; ++k)
            put(run.first + k, Width::finalize(items[run.first + k].len, secret.data(), acc[k]));
        i += run.count;
    }
}

}  // namespace

LongRun long_run_at(std::span<const ByteView> items, std::size_t first) {
    const std::size_t stripes = stripe_index(items[first]);
    std::size_t end = first + 1;
    while (end < items.size() && end - first < MAX_RUN && items[end].len > MIDSIZE_MAX &&
           stripe_index(items[end]) == stripes)
        ++end;
    return {first, end - first};
}

void hash_items_64(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                   const long_inputs::LongEngine& engine) {
    hash_items<Width64>(items, seed, out, engine);
}

void hash_items_128(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out,
                    const long_inputs::LongEngine& engine) {
    hash_items<Width128>(items, seed, out, engine);
}

}  // namespace vantorq::xxhash::batch
