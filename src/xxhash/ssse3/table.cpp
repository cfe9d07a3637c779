#include "xxhash/ssse3/accumulate.hpp"
#include "xxhash/tiers.hpp"

namespace vantorq::xxhash::ssse3 {

void fill(long_inputs::LongEngine& engine) { long_inputs::use_long_kernels(engine, KERNELS, "ssse3"); }

}  // namespace vantorq::xxhash::ssse3
