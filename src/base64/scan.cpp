#include "base64/scan.hpp"

namespace vantorq::base64::scan {
namespace {

using backend::Capabilities;

// Below one register a vector counter has nothing to do.
constexpr std::size_t VECTOR_COUNT_MIN = 32;

}  // namespace

DecodeByteKernels byte_kernels_for(const backend::Processor& processor) {
    if (processor.runs(AVX512_SCAN_FEATURES))
        return {avx512::alphanumeric_prefix, avx512::symbol_prefix, avx512::translate, avx512::compact_symbols,
                avx512::compact_symbols_checked};
    if (processor.has(Capabilities::AVX2))
        return {avx2::alphanumeric_prefix, avx2::symbol_prefix, avx2::translate, avx2::compact_symbols,
                avx2::compact_symbols_checked};
    return {sse2::alphanumeric_prefix, sse2::symbol_prefix, sse2::translate, sse2::compact_symbols,
            sse2::compact_symbols_checked};
}

const DecodeByteKernels& decode_byte_kernels() {
    static const DecodeByteKernels KERNELS = byte_kernels_for(backend::processor());
    return KERNELS;
}

std::size_t symbol_count_scalar(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    std::size_t count = 0, i = 0;
    // Sixteen independent tests per step, which the compiler keeps branch-free.
    for (; len - i >= 16; i += 16) {
        unsigned step = 0;
        for (std::size_t j = 0; j < 16; ++j) step += is_symbol(src[i + j], extra) ? 1u : 0u;
        count += step;
    }
    for (; i < len; ++i) count += is_symbol(src[i], extra) ? 1 : 0;
    return count;
}

std::size_t symbol_count(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    const backend::Processor& processor = backend::processor();
    if (processor.runs(AVX512_SCAN_FEATURES)) return avx512::symbol_count(src, len, extra);
    if (len < VECTOR_COUNT_MIN || !processor.has(Capabilities::AVX2)) return symbol_count_scalar(src, len, extra);
    if (processor.has(0, backend::Processor::POPCNT)) return avx2::symbol_count_avx2_popcnt(src, len, extra);
    return avx2::symbol_count_avx2(src, len, extra);
}

}  // namespace vantorq::base64::scan
