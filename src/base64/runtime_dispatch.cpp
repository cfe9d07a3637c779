#include "base64/runtime_dispatch.hpp"

#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch {

using backend::Capabilities;

#if !defined(__x86_64__)
namespace {
// Where no vector scans are built (SSE2 is part of x86-64, not of others).
void fill_scalar_scans(RuntimeBackend& table) {
    table.byte_kernels = scan::scalar::table_entries();
    table.symbol_count = scan::symbol_count_scalar;
    table.names.byte_scan = "scalar";
    table.names.symbol_count = "scalar";
}
}  // namespace
#endif

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

RuntimeBackend for_processor(const backend::Processor& processor) {
    RuntimeBackend table;
    table.tier = tier_for(processor.capabilities);
    // Non-temporal stores save the reads that would bring each output line
    // into the cache, but leave the output in memory: they only win once the
    // source and its output (4/3 of it) no longer fit in the last-level cache
    // together. Measured on Zen 4 with a 32 MiB cache, quiet, calls repeated
    // as a caller encoding many buffers of one size would: streaming lost
    // from 4 to 8 MiB sources (0.55 to 0.9 times the speed) and won from
    // 16 MiB on (1.2 to 1.4).
    if (const std::size_t last_level_cache_size = processor.data_cache_bytes; last_level_cache_size != 0) {
        // source + 4/3 source > cache  <=>  source > cache * 3 / 7
        table.streaming_enabled = true;
        table.streaming_threshold = last_level_cache_size / 7 * 3;
    }

#if defined(__aarch64__)
    if (processor.has(0, backend::Processor::ASIMD)) {
        neon::fill_codec(table);
        neon::fill_scans(table);
    } else {
        fill_scalar_scans(table);
    }
#elif defined(__x86_64__)
    // The codec by tier; the SSE4.1 tier keeps the SSSE3 encoders.
    if (table.tier >= Tier::Ssse3) ssse3::fill_codec(table);
    if (table.tier >= Tier::Sse41) sse41::fill_decoders(table);
    if (table.tier >= Tier::Avx2) avx2::fill_codec(table);
    if (table.tier == Tier::Avx512) {
        // The unwrapped encoders align their output before the bulk loop.
        // Sapphire Rapids splits a cache line at every 64-byte store at 32
        // mod 64: aligned to 64, 21.2 -> 28.3 GB/s at 64 KiB. Zen 4 stores a
        // register as two 32-byte halves, so 32 already keeps them within
        // lines, and aligning to 64 was 3-10% slower there with the
        // destination at 32 mod 64.
        const std::size_t output_alignment = processor.vendor == backend::Vendor::Intel ? 64 : 32;
        avx512::fill_codec(table, output_alignment);
    }

    // The byte scans by their own features, whatever the codec's tier.
    if (processor.runs(scan::AVX512_SCAN_FEATURES)) {
        avx512::fill_scans(table);
    } else if (processor.has(Capabilities::AVX2)) {
        avx2::fill_scans(table, processor.has(0, backend::Processor::POPCNT));
    } else {
        sse2::fill_scans(table);
    }
#else
    fill_scalar_scans(table);
#endif
    return table;
}

RuntimeBackend detect_runtime_backend() {
    return for_processor(backend::processor());
}

const RuntimeBackend& selected_backend() {
    static const RuntimeBackend SELECTED_BACKEND = detect_runtime_backend();
    return SELECTED_BACKEND;
}

backend::KernelChoices kernel_choices(const RuntimeBackend& table) {
    const KernelNames& names = table.names;
    return {{"encode", names.encode},
            {"decode", names.decode},
            {"gathered_decode", names.gathered_decode},
            {"byte_scan", names.byte_scan},
            {"symbol_count", names.symbol_count}};
}

}  // namespace vantorq::base64::runtime_dispatch
