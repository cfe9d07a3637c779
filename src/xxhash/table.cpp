// The family's kernel table: the scalar kernels, then each tier's entries
// over them in rising order, as far as the processor reports the tier.

#include "xxhash/classic.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/tiers.hpp"

namespace vantorq::xxhash::long_inputs {

LongEngine for_processor([[maybe_unused]] const backend::Processor& processor) {
    using backend::Capabilities, backend::Processor;
    LongEngine engine;
    use_long_kernels(engine, scalar::KERNELS, "scalar");
    engine.init_secret = initialize_secret_scalar;
    engine.xxh32_blocks = classic::mix_xxh32_blocks_scalar;
    engine.xxh64_blocks = classic::mix_xxh64_blocks_scalar;
#if defined(__aarch64__)
    // XXH3's accumulate loop only: XXH32's and XXH64's lanes are chains of a
    // multiply, add and rotate that vector lanes do not shorten (llvm-mca,
    // Neoverse N1: XXH32 in one register 14.1 cycles a 16-byte block against
    // the scalar 8.1), and NEON has no 64-bit lane multiply for XXH64.
    if (processor.has(0, Processor::ASIMD)) neon::fill(engine);
#elif defined(__x86_64__)

    // XXH3: the widest of AVX-512F, AVX2 and SSSE3 gives the single-input
    // kernels; AVX2 alone the seeded secret and the multi-input kernels.
    if (processor.has(Capabilities::SSSE3)) ssse3::fill(engine);
    if (processor.has(Capabilities::AVX2)) avx2::fill(engine);
    // AVX-512 has the 32 registers that an unrolled stripe loop needs. On
    // Sapphire Rapids (copies of the kernel, 16 KiB) one stripe per trip ran
    // 64.7 GB/s, two 75.7, four 80.1. On Zen 4 both cost 2-4% (16 KiB: one
    // 67.8-68.0, two 65.4-65.6, four 66.0-66.5; 64 KiB: 68.2, 66.0, 66.0).
    if (processor.has(Capabilities::AVX512F))
        avx512::fill(engine, processor.vendor == backend::Vendor::Intel ? 4 : 1);
    engine.avx2 = processor.has(Capabilities::AVX2);
    engine.fused_128 = engine.avx2 && !processor.has(Capabilities::AVX512F);

    // XXH32's vector loops keep the four lanes in one register, so that the
    // input's products leave the lanes' chains, but each lane's chain is then
    // VPADDD, rotate, VPMULLD. VPMULLD takes 3 cycles on Zen 4 and 10 on
    // Intel since Haswell (uops.info). Zen 4 at 16 KiB: scalar 7.3, SSE4.1
    // 9.2, AVX-512 9.8 GB/s; Sapphire Rapids: AVX-512 4.7 against the scalar
    // four-lane loop's 8.1 (13.8 against 8.0 cycles per 16 bytes).
    if (backend::has_quick_vpmulld(processor)) {
        if (processor.has(Capabilities::AVX512F))
            avx512::fill_xxh32(engine);
        else if (processor.has(Capabilities::SSE41))
            sse41::fill_xxh32(engine);
    }
    // XXH64's vector loop multiplies with VPMULLQ: see classic.hpp.
    if (processor.has(Capabilities::AVX512F, Processor::AVX512DQ | Processor::AVX512VL) &&
        backend::has_quick_vpmullq(processor))
        avx512::fill_xxh64(engine);
#endif
    return engine;
}

backend::KernelChoices kernel_choices(const LongEngine& engine) {
    return {
        {"accumulate", engine.names.accumulate},   {"init_secret", engine.names.init_secret},
        {"multi_input", engine.names.multi_input}, {"xxh32_blocks", engine.names.xxh32_blocks},
        {"xxh64_blocks", engine.names.xxh64_blocks},
    };
}

}  // namespace vantorq::xxhash::long_inputs
