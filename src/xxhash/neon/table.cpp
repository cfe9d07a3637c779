#include "xxhash/neon/accumulate.hpp"
#include "xxhash/tiers.hpp"

namespace vantorq::xxhash::neon {

void fill(long_inputs::LongEngine& engine) { long_inputs::use_long_kernels(engine, KERNELS, "neon"); }

}  // namespace vantorq::xxhash::neon
