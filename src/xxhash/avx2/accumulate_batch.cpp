#include "xxhash/avx2/accumulate.hpp"

#include "xxhash/avx2/lanes.hpp"

namespace vantorq::xxhash::avx2 {

template <std::size_t INPUTS>
void accumulate_batch(const ByteView (&inputs)[INPUTS], const unsigned char* secret, Accumulators (&out)[INPUTS]) {
    generic::accumulate_inputs<Lanes, INPUTS>(inputs, secret, out);
}

template void accumulate_batch<2>(const ByteView (&)[2], const unsigned char*, Accumulators (&)[2]);
template void accumulate_batch<3>(const ByteView (&)[3], const unsigned char*, Accumulators (&)[3]);
template void accumulate_batch<4>(const ByteView (&)[4], const unsigned char*, Accumulators (&)[4]);

}  // namespace vantorq::xxhash::avx2
