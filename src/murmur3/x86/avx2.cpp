// The AVX2 kernels of the three variants (compiled with -mavx2, without BMI2).

#include "murmur3/x86/kernels.hpp"
#include "murmur3/x86/mix_body_vector.hpp"

namespace vantorq::murmur3 {
namespace {
struct Avx2 : x86::Lanes256 {};
}  // namespace

std::uint32_t x86_32::x86::mix_body_avx2(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1) {
    return mix_body_vector<Avx2>(blocks, byte_count, h1);
}

void x86_128::x86::mix_body_avx2(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_vector<Avx2>(blocks, byte_count, h);
}

void x64_128::x86::mix_body_avx2(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_vector<Avx2>(blocks, byte_count, h);
}

}  // namespace vantorq::murmur3
