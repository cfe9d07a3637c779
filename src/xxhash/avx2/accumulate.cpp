#include "xxhash/avx2/accumulate.hpp"

#include "xxhash/avx2/lanes.hpp"

namespace vantorq::xxhash::avx2 {

Accumulators accumulate(const unsigned char* data, std::size_t len, const unsigned char* secret) {
    return generic::accumulate_one<Lanes>(data, len, secret);
}

std::size_t continue_stripes(Accumulators& acc, const unsigned char* data, std::size_t stripes,
                             std::size_t stripes_in_block, const unsigned char* secret) {
    return generic::continue_stripes<Lanes>(acc, data, stripes, stripes_in_block, secret);
}

void init_secret(unsigned char* secret, std::uint64_t seed) {
    // Lanes alternate +seed and -seed: the even and odd words of each pair.
    const __m256i seeds = _mm256_set_epi64x(static_cast<long long>(0 - seed), static_cast<long long>(seed),
                                            static_cast<long long>(0 - seed), static_cast<long long>(seed));
    for (std::size_t offset = 0; offset < SECRET_SIZE; offset += sizeof(__m256i))
        Ops::store(secret + offset, Ops::add(Ops::load(DEFAULT_SECRET.data() + offset), seeds));
}

namespace {

// Inputs of at most one block never scramble, so the whole hash is one pass
// over the stripes followed by the merge, with no kernel call, secret choice
// or accumulator copy in between.
template <typename Finalize>
[[gnu::always_inline]] inline auto hash_medium(const unsigned char* data, std::size_t len, Finalize finalize) {
    Accumulators acc[1];
    generic::accumulate_inputs<Lanes, 1>({ByteView{data, len}}, DEFAULT_SECRET.data(), acc);
    return finalize(len, DEFAULT_SECRET.data(), acc[0]);
}

}  // namespace

std::uint64_t hash_64_medium(const unsigned char* data, std::size_t len) {
    return hash_medium(data, len, finalize_long_64);
}

Hash128 hash_128_medium(const unsigned char* data, std::size_t len) {
    return hash_medium(data, len, finalize_long_128);
}

}  // namespace vantorq::xxhash::avx2
