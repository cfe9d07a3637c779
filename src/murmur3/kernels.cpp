#include "murmur3/kernels.hpp"

namespace vantorq::murmur3 {
namespace {

template <class MixBody>
constexpr BodyKernels<MixBody> scalar_only(MixBody scalar) {
    return {.avx2 = {}, .sse41 = {}, .scalar = {scalar, 0, ANY_LENGTH, "scalar"}};
}

// Three or four messages at a time were alike in the scalar form and faster
// than two (1 KiB rows: 107-109 ns a row against 117, 129 one at a time);
// below about 192 bytes the grouping cost more than the interleaving gained
// (128 B: 22.2-22.6 ns against 20.1 alone).
constexpr Kernels SCALAR = {
    .x86_32 = scalar_only(x86_32::mix_body_scalar),
    .x86_128 = scalar_only(x86_128::mix_body_scalar),
    .x64_128 = scalar_only(x64_128::mix_body_scalar),
    .x64_128_many = {x64_128::hash_each_scalar, 192, "scalar"},
};

// The kernel of a variant's long bodies.
template <class MixBody>
std::string_view long_bodies(const BodyKernels<MixBody>& kernels) {
    if (kernels.avx2.is_set()) return kernels.avx2.name;
    if (kernels.sse41.is_set()) return kernels.sse41.name;
    return kernels.scalar.name;
}

}  // namespace

Kernels for_processor([[maybe_unused]] const backend::Processor& processor) {
    using backend::Capabilities, backend::Processor;
    Kernels table = SCALAR;
#if defined(__x86_64__)
    if (processor.has(Capabilities::SSE41)) sse41::fill(table);
    if (processor.has(Capabilities::AVX2)) {
        avx2::fill(table);
        if (processor.has(Capabilities::BMI2)) avx2::fill_bmi2(table);
    }
    // Eight messages in the lanes of AVX-512 registers only where VPMULLQ is
    // quick (AMD; on Intel it is three multiplies, about 15 cycles, on every
    // key, uops.info): it then takes four vector multiplies a block and pays
    // from about 112 bytes (Zen 4, a column of 1,000,000 rows, ns a row alone
    // against grouped: 112 B 18.1-18.7 -> 16.6, 128 B 20.5-20.9 -> 17.3-18.1;
    // 96 B tied, 64 B lost, 11.3 -> 13.3-14.0).
    if (processor.has(Capabilities::AVX512F, Processor::AVX512DQ | Processor::AVX512VL) &&
        backend::has_quick_vpmullq(processor))
        avx512::fill(table);
#endif
    // On aarch64 the scalar forms stay: the state update is one serial chain
    // a block, and NEON has no 64-bit lane multiply for x64_128's key mixes.
    return table;
}

backend::KernelChoices kernel_choices(const Kernels& table) {
    return {
        {"x86_32", long_bodies(table.x86_32)},
        {"x86_32_short", table.x86_32.for_body(x86_32::AVX2_FROM - x86_32::BLOCK_SIZE).name},
        {"x86_128", long_bodies(table.x86_128)},
        {"x64_128", long_bodies(table.x64_128)},
        {"x64_128_many", table.x64_128_many.name},
    };
}

}  // namespace vantorq::murmur3
