#include "xxhash/sse41/xxh32_blocks.hpp"
#include "xxhash/tiers.hpp"

namespace vantorq::xxhash::sse41 {

void fill_xxh32(long_inputs::LongEngine& engine) {
    engine.xxh32_blocks = mix_xxh32_blocks;
    engine.names.xxh32_blocks = "sse41";
}

}  // namespace vantorq::xxhash::sse41
