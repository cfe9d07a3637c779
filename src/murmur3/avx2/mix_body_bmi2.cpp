// The x64_128 AVX2 kernel compiled with BMI2 too: the serial fold's rotations
// become RORX, which writes a fresh register and leaves the flags alone.

#include "murmur3/avx2/mix_body.hpp"
#include "murmur3/generic/mix_body.hpp"

namespace vantorq::murmur3::avx2 {
namespace {
struct LanesBmi2 : generic::Lanes256 {};
}  // namespace

void mix_body_x64_128_bmi2(const unsigned char* blocks, std::size_t byte_count, x64_128::State& h) {
    generic::mix_body_x64_128<LanesBmi2>(blocks, byte_count, h);
}

}  // namespace vantorq::murmur3::avx2
