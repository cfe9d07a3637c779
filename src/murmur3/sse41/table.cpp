// The SSE4.1 entries of the kernel table. Compiled without SSE4.1: the table
// function runs on every processor, and only takes the kernels' addresses.

#include "murmur3/kernels.hpp"
#include "murmur3/sse41/mix_body.hpp"

namespace vantorq::murmur3::sse41 {

void fill(Kernels& table) {
    table.x86_32.sse41 = {mix_body_x86_32, x86_32::SSE41_FROM, ANY_LENGTH, "sse41"};
    table.x86_128.sse41 = {mix_body_x86_128, x86_128::SSE41_FROM, ANY_LENGTH, "sse41"};
    table.x64_128.sse41 = {mix_body_x64_128, x64_128::VECTOR_FROM, x64_128::SSE41_UP_TO, "sse41"};
}

}  // namespace vantorq::murmur3::sse41
