// This tier's view of the processor: the detection of the shipped core,
// whose process-wide record is renamed here and masked to the flags of the
// tier's processor, so that every choice made from it picks this tier.

#define capabilities detected_capabilities
#include "backend/capabilities.cpp"
#undef capabilities

#include "tier.hpp"

namespace vantorq::backend {

Capabilities capabilities() {
    return {static_cast<std::uint16_t>(detected_capabilities().flags & VANTORQ_FUZZ_TIER_FLAGS)};
}

}  // namespace vantorq::backend

namespace vantorq::fuzz {

bool tier_present() { return backend::detected_capabilities().has(VANTORQ_FUZZ_TIER_FLAGS); }

}  // namespace vantorq::fuzz
