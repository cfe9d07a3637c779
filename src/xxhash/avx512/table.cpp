#include "xxhash/avx512/accumulate.hpp"
#include "xxhash/avx512/xxh32_blocks.hpp"
#include "xxhash/avx512/xxh64_blocks.hpp"
#include "xxhash/tiers.hpp"

namespace vantorq::xxhash::avx512 {

void fill(long_inputs::LongEngine& engine, std::size_t stripes_per_trip) {
    if (stripes_per_trip == 4)
        long_inputs::use_long_kernels(engine, KERNELS_4_STRIPES, "avx512_4stripes");
    else
        long_inputs::use_long_kernels(engine, KERNELS, "avx512");
}

void fill_xxh32(long_inputs::LongEngine& engine) {
    engine.xxh32_blocks = mix_xxh32_blocks;
    engine.names.xxh32_blocks = "avx512";
}

void fill_xxh64(long_inputs::LongEngine& engine) {
    engine.xxh64_blocks = mix_xxh64_blocks;
    engine.names.xxh64_blocks = "avx512";
}

}  // namespace vantorq::xxhash::avx512
