#include "base64/runtime_dispatch.hpp"

#include <algorithm>
#include <limits>

namespace vantorq::base64::runtime_dispatch {
namespace {

using backend::Capabilities;

constexpr std::uint32_t INTEL_CACHE_LEAF = 4;
constexpr std::uint32_t AMD_CACHE_LEAF = 0x8000001D;
constexpr std::uint32_t EXTENDED_BASE = 0x80000000;

constexpr std::uint32_t CACHE_TYPE_DATA = 1;
constexpr std::uint32_t CACHE_TYPE_UNIFIED = 3;

// Both leaves share one layout: EAX bits 4..0 type (0 ends the list); EBX
// ways 31..22, partitions 21..12, line size 11..0; ECX sets; each stored
// minus one.
std::size_t largest_data_cache_of_leaf(CpuidQuery query, std::uint32_t leaf) {
    std::size_t largest = 0;
    for (std::uint32_t subleaf = 0;; ++subleaf) {
        const CpuidRegisters r = query(leaf, subleaf);
        const std::uint32_t type = r.eax & 0x1f;
        if (type == 0) break;
        if (type != CACHE_TYPE_DATA && type != CACHE_TYPE_UNIFIED) continue;
        const std::uint64_t factors[] = {(r.ebx >> 22) + 1ull, ((r.ebx >> 12) & 0x3ff) + 1ull, (r.ebx & 0xfff) + 1ull,
                                         std::uint64_t{r.ecx} + 1};
        std::size_t size = 1;
        for (const std::uint64_t factor : factors) {
            if (__builtin_mul_overflow(size, factor, &size)) {
                size = std::numeric_limits<std::size_t>::max();
                break;
            }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

}  // namespace

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

std::size_t largest_data_cache(CpuidQuery query) {
    std::size_t largest = 0;
    if (query(0, 0).eax >= INTEL_CACHE_LEAF) largest = largest_data_cache_of_leaf(query, INTEL_CACHE_LEAF);
    if (largest == 0 && query(EXTENDED_BASE, 0).eax >= AMD_CACHE_LEAF) {
        largest = largest_data_cache_of_leaf(query, AMD_CACHE_LEAF);
    }
    return largest;
}

RuntimeBackend backend_for(Capabilities caps, std::size_t last_level_cache_size) {
    RuntimeBackend backend;
    backend.tier = tier_for(caps);
    if (last_level_cache_size != 0) {
        // source + 4/3 source > cache  <=>  source > cache * 3 / 7
        backend.streaming_enabled = true;
        backend.streaming_threshold = last_level_cache_size / 7 * 3;
    }
    return backend;
}

RuntimeBackend detect_runtime_backend() {
    return backend_for(backend::capabilities(), largest_data_cache(backend::cpuid));
}

const RuntimeBackend& selected_backend() {
    static const RuntimeBackend SELECTED_BACKEND = detect_runtime_backend();
    return SELECTED_BACKEND;
}

}  // namespace vantorq::base64::runtime_dispatch
