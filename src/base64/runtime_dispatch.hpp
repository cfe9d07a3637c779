#pragma once
// The Base64 vector tier of this process, chosen once from the processor's
// features, and the source length above which the AVX2 and AVX-512 encoders
// may bypass the caches with non-temporal stores.

#include <cstddef>
#include <cstdint>

#include "backend/capabilities.hpp"

namespace vantorq::base64::runtime_dispatch {

enum class Tier : std::uint8_t { Scalar = 0, Ssse3 = 2, Sse41 = 3, Avx2 = 4, Avx512 = 5 };

struct RuntimeBackend {
    bool streaming_enabled = false;
    // Non-temporal stores only for sources strictly longer than this.
    std::size_t streaming_threshold = 0;
    Tier tier = Tier::Scalar;
};

// The tier a processor with these features runs.
Tier tier_for(backend::Capabilities capabilities);

// Non-temporal stores save the reads that would bring each output line into
// the cache, but leave the output in memory: they only win once the source
// and its output (4/3 of it) no longer fit in the last-level cache together.
// Measured on Zen 4 with a 32 MiB cache, quiet, calls repeated as a caller
// encoding many buffers of one size would: streaming lost from 4 to 8 MiB
// sources (0.55 to 0.9 times the speed) and won from 16 MiB on (1.2 to 1.4).
RuntimeBackend backend_for(const backend::Processor& processor);

RuntimeBackend detect_runtime_backend();

// SELECTED_BACKEND, detected on first use.
const RuntimeBackend& selected_backend();

}  // namespace vantorq::base64::runtime_dispatch
