#include "xxhash/avx2/accumulate.hpp"
#include "xxhash/tiers.hpp"

namespace vantorq::xxhash::avx2 {

void fill(long_inputs::LongEngine& engine) {
    long_inputs::use_long_kernels(engine, KERNELS, "avx2");
    engine.init_secret = init_secret;
    engine.names.init_secret = "avx2";
    engine.accumulate_batch2 = accumulate_batch<2>;
    engine.accumulate_batch3 = accumulate_batch<3>;
    engine.accumulate_batch4 = accumulate_batch<4>;
    engine.multi_input_max_len = long_inputs::MULTI_INPUT_MAX_LEN;
    engine.names.multi_input = "avx2";
}

}  // namespace vantorq::xxhash::avx2
