#include "xxhash/long_inputs.hpp"
#include "xxhash/long_inputs/x86/avx2/lanes.hpp"

namespace vantorq::xxhash::long_inputs::x86::avx2_batch {

void accumulate_batch2(const ByteView (&inputs)[2], const unsigned char* secret, Accumulators (&out)[2]) {
    accumulate_inputs<avx2::Lanes, 2>(inputs, secret, out);
}

void accumulate_batch3(const ByteView (&inputs)[3], const unsigned char* secret, Accumulators (&out)[3]) {
    accumulate_inputs<avx2::Lanes, 3>(inputs, secret, out);
}

void accumulate_batch4(const ByteView (&inputs)[4], const unsigned char* secret, Accumulators (&out)[4]) {
    accumulate_inputs<avx2::Lanes, 4>(inputs, secret, out);
}

}  // namespace vantorq::xxhash::long_inputs::x86::avx2_batch
