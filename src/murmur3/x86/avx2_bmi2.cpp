// The x64_128 AVX2 kernel compiled with BMI2 too: the serial fold's rotations
// become RORX, which writes a fresh register and leaves the flags alone.

#include "murmur3/x86/kernels.hpp"
#include "murmur3/x86/mix_body_vector.hpp"

namespace vantorq::murmur3 {
namespace {
struct Avx2Bmi2 : x86::Lanes256 {};
}  // namespace

void x64_128::x86::mix_body_avx2_bmi2(const unsigned char* blocks, std::size_t byte_count, State& h) {
    mix_body_vector<Avx2Bmi2>(blocks, byte_count, h);
}

}  // namespace vantorq::murmur3
