#include "base64/decode_tiers.hpp"

#include "base64/generic/decode_steps.hpp"

namespace vantorq::base64::decode::sse41 {
namespace {

struct Sse41 {};

// The SSSE3 loop; only the test that a block holds no invalid byte differs.
struct Wide : generic::Vec128<Sse41> {
    static bool all_zero(Reg a) { return _mm_testz_si128(a, a) != 0; }
};
using Narrow = Wide;

}  // namespace

#include "base64/generic/decode_tier.inc"

}  // namespace vantorq::base64::decode::sse41
