// Compiled with -msse4.1 only.

#include "murmur3/sse41/mix_body.hpp"

#include "murmur3/generic/mix_body.hpp"

namespace vantorq::murmur3::sse41 {
namespace {
struct Lanes : generic::Lanes128 {};
}  // namespace

#include "murmur3/generic/mix_body_tier.inc"

}  // namespace vantorq::murmur3::sse41
