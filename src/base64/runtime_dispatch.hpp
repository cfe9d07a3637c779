#pragma once
// The Base64 vector tier of this process, chosen once from the processor's
// features, and the source length above which the AVX2 encoder may bypass
// the caches with non-temporal stores.

#include <cstddef>
#include <cstdint>

#include "backend/capabilities.hpp"

namespace vantorq::base64::backend {

enum class Tier : std::uint8_t { Scalar = 0, Ssse3 = 2, Sse41 = 3, Avx2 = 4, Avx512 = 5 };

struct RuntimeBackend {
    bool streaming_enabled = false;
    // Non-temporal stores only for sources strictly longer than this.
    std::size_t streaming_threshold = 0;
    Tier tier = Tier::Scalar;
};

// The tier a processor with these features runs.
Tier tier_for(vantorq::backend::Capabilities capabilities);

// The registers one CPUID query returns.
struct CpuidRegisters {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};
using CpuidQuery = CpuidRegisters (*)(std::uint32_t leaf, std::uint32_t subleaf);

CpuidRegisters query_cpuid(std::uint32_t leaf, std::uint32_t subleaf);

// The size in bytes of the largest level-1 or level-2 cache that holds data,
// from the deterministic cache parameters (leaf 4, else AMD's 0x8000001D);
// 0 when neither leaf describes one.
std::size_t largest_near_data_cache(CpuidQuery query);

// Streaming pays once the output no longer fits beside the input in a near
// cache: three sevenths of the cache is the largest such source.
RuntimeBackend backend_for(vantorq::backend::Capabilities capabilities, std::size_t near_cache_size);

RuntimeBackend detect_runtime_backend();

// SELECTED_BACKEND, detected on first use.
const RuntimeBackend& selected_backend();

}  // namespace vantorq::base64::backend
