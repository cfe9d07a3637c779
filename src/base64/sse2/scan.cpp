// The SSE2 byte scans: every x86-64 processor runs them. SSE2 has no byte
// shuffle, so blocks with noise are compacted byte by byte.
#include "base64/generic/scan_steps.hpp"

namespace vantorq::base64::scan::sse2 {
namespace {

struct Sse2 {};
using V = generic::Vec128<Sse2>;
constexpr bool SHUFFLES = false;

}  // namespace

#include "base64/generic/scan_tier.inc"

}  // namespace vantorq::base64::scan::sse2
