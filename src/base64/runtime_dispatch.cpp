#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::runtime_dispatch {

using backend::Capabilities;

Tier tier_for(Capabilities caps) {
    if (caps.has(Capabilities::SSSE3 | Capabilities::AVX2 | Capabilities::AVX512F | Capabilities::AVX512BW |
                 Capabilities::AVX512VBMI)) {
        return Tier::Avx512;
    }
    if (caps.has(Capabilities::SSSE3 | Capabilities::AVX2)) return Tier::Avx2;
    if (caps.has(Capabilities::SSSE3 | Capabilities::SSE41)) return Tier::Sse41;
    if (caps.has(Capabilities::SSSE3)) return Tier::Ssse3;
    return Tier::Scalar;
}

RuntimeBackend backend_for(const backend::Processor& processor) {
    RuntimeBackend backend;
    backend.tier = tier_for(processor.capabilities);
    if (const std::size_t last_level_cache_size = processor.data_cache_bytes; last_level_cache_size != 0) {
        // source + 4/3 source > cache  <=>  source > cache * 3 / 7
        backend.streaming_enabled = true;
        backend.streaming_threshold = last_level_cache_size / 7 * 3;
    }
    return backend;
}

RuntimeBackend detect_runtime_backend() {
    return backend_for(backend::processor());
}

const RuntimeBackend& selected_backend() {
    static const RuntimeBackend SELECTED_BACKEND = detect_runtime_backend();
    return SELECTED_BACKEND;
}

}  // namespace vantorq::base64::runtime_dispatch
