// Compiled with -mavx2, without BMI2.

#include "murmur3/avx2/mix_body.hpp"

#include "murmur3/generic/mix_body.hpp"

namespace vantorq::murmur3::avx2 {
namespace {
struct Avx2 : generic::Lanes256 {};
}  // namespace

std::uint32_t mix_body_x86_32(const unsigned char* blocks, std::size_t byte_count, std::uint32_t h1) {
    return generic::mix_body_x86_32<Avx2>(blocks, byte_count, h1);
}

void mix_body_x86_128(const unsigned char* blocks, std::size_t byte_count, x86_128::State& h) {
    generic::mix_body_x86_128<Avx2>(blocks, byte_count, h);
}

void mix_body_x64_128(const unsigned char* blocks, std::size_t byte_count, x64_128::State& h) {
    generic::mix_body_x64_128<Avx2>(blocks, byte_count, h);
}

}  // namespace vantorq::murmur3::avx2
