// The AVX-512 entry of the kernel table. Compiled without AVX-512: the table
// function runs on every processor, and only takes the routine's address.

#include "murmur3/avx512/hash_each.hpp"
#include "murmur3/kernels.hpp"

namespace vantorq::murmur3::avx512 {

// Eight rows take four vector multiplies a block, and the state update's
// shifts and adds run in the same lanes; from about 112 bytes on that beats
// each message alone (kernels.cpp gives the figures).
void fill(Kernels& table) { table.x64_128_many = {hash_each_x64_128, 112, "avx512"}; }

}  // namespace vantorq::murmur3::avx512
