#include "xxhash/avx2/accumulate.hpp"

#include "xxhash/avx2/lanes.hpp"
#include "xxhash/generic/long_kernels.hpp"

namespace vantorq::xxhash::avx2 {

constinit const long_inputs::LongKernels KERNELS = generic::long_kernels<Lanes>();

void init_secret(unsigned char* secret, std::uint64_t seed) {
    // Lanes alternate +seed and -seed: the even and odd words of each pair.
    const __m256i seeds = _mm256_set_epi64x(static_cast<long long>(0 - seed), static_cast<long long>(seed),
                                            static_cast<long long>(0 - seed), static_cast<long long>(seed));
    for (std::size_t offset = 0; offset < SECRET_SIZE; offset += sizeof(__m256i))
        Ops::store(secret + offset, Ops::add(Ops::load(DEFAULT_SECRET.data() + offset), seeds));
}

}  // namespace vantorq::xxhash::avx2
