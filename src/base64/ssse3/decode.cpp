#include "base64/decode_tiers.hpp"

#include "base64/generic/decode_steps.hpp"

namespace vantorq::base64::decode::ssse3 {
namespace {

struct Ssse3 {};
using Wide = generic::Vec128<Ssse3>;
using Narrow = Wide;

}  // namespace

#include "base64/generic/decode_tier.inc"

}  // namespace vantorq::base64::decode::ssse3
