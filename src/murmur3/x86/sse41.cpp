// The SSE4.1 kernels of the three variants (compiled with -msse4.1 only).

#include "murmur3/x86/kernels.hpp"
#include "murmur3/x86/mix_body_vector.hpp"

namespace vantorq::murmur3 {
namespace {
struct Sse41 : x86::Lanes128 {};
}  // namespace

std::uint32_t x86_32::x86::mix_body_sse41(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1) {
    return mix_body_vector<Sse41>(blocks, byte_count, h1);
}

void x86_128::x86::mix_body_sse41(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_vector<Sse41>(blocks, byte_count, h);
}

void x64_128::x86::mix_body_sse41(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_vector<Sse41>(blocks, byte_count, h);
}

}  // namespace vantorq::murmur3
