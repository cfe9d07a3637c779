#pragma once
// What each tier folder's table.cpp fills into the engine. The table files
// are compiled without their tier's instruction-set flags: they only take the
// addresses of the tier's kernels, and run on every processor.

#include <cstddef>
#include <string_view>

#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash {

namespace long_inputs {
// The single-input kernels of one set, under the tier's name.
inline void use_long_kernels(LongEngine& engine, const LongKernels& kernels, std::string_view name) {
    engine.accumulate = kernels.accumulate;
    engine.continue_stripes = kernels.continue_stripes;
    engine.hash_64_medium = kernels.hash_64_medium;
    engine.hash_128_medium = kernels.hash_128_medium;
    engine.accumulate_with_secret = kernels.accumulate_with_secret;
    engine.continue_stripes_with_secret = kernels.continue_stripes_with_secret;
    engine.names.accumulate = name;
}
}  // namespace long_inputs

namespace ssse3 {
void fill(long_inputs::LongEngine& engine);
}
namespace sse41 {
void fill_xxh32(long_inputs::LongEngine& engine);
}
namespace avx2 {
// The single-input kernels, the seeded secret and the multi-input kernels.
void fill(long_inputs::LongEngine& engine);
}
namespace avx512 {
// The single-input kernels with 1 or 4 stripes per loop trip.
void fill(long_inputs::LongEngine& engine, std::size_t stripes_per_trip);
void fill_xxh32(long_inputs::LongEngine& engine);
void fill_xxh64(long_inputs::LongEngine& engine);
}  // namespace avx512
namespace neon {
// aarch64's single-input kernels (Advanced SIMD is part of the architecture).
void fill(long_inputs::LongEngine& engine);
}  // namespace neon

}  // namespace vantorq::xxhash
