// Compiled with -mavx2, without BMI2.

#include "murmur3/avx2/mix_body.hpp"

#include "murmur3/generic/mix_body.hpp"

namespace vantorq::murmur3::avx2 {
namespace {
struct Lanes : generic::Lanes256 {};
}  // namespace

#include "murmur3/generic/mix_body_tier.inc"

}  // namespace vantorq::murmur3::avx2
