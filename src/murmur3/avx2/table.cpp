// The AVX2 entries of the kernel table. Compiled without AVX2: the table
// function runs on every processor, and only takes the kernels' addresses.

#include "murmur3/avx2/mix_body.hpp"
#include "murmur3/kernels.hpp"

namespace vantorq::murmur3::avx2 {

void fill(Kernels& table) {
    table.x86_32.avx2 = {mix_body_x86_32, x86_32::AVX2_FROM, ANY_LENGTH, "avx2"};
    table.x86_128.avx2 = {mix_body_x86_128, x86_128::AVX2_FROM, ANY_LENGTH, "avx2"};
    table.x64_128.avx2 = {mix_body_x64_128, x64_128::VECTOR_FROM, ANY_LENGTH, "avx2"};
}

void fill_bmi2(Kernels& table) {
    table.x64_128.avx2 = {mix_body_x64_128_bmi2, x64_128::VECTOR_FROM, ANY_LENGTH, "avx2_bmi2"};
}

}  // namespace vantorq::murmur3::avx2
