#include "base64/decode_tiers.hpp"

#include "base64/generic/decode_steps.hpp"

namespace vantorq::base64::decode::avx2 {
namespace {

struct Avx2 {};
using Wide = generic::Vec256<Avx2>;
using Narrow = generic::Vec128<Avx2>;

}  // namespace

#include "base64/generic/decode_tier.inc"

}  // namespace vantorq::base64::decode::avx2
