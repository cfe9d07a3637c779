// The AVX2 byte scans and symbol counters.
#include <bit>

#include "base64/generic/scan_steps.hpp"

namespace vantorq::base64::scan::avx2 {
namespace {

struct Avx2 {};
using V = generic::Vec256<Avx2>;
constexpr bool SHUFFLES = true;

// Byte counters hold at most 255 before they are summed.
constexpr std::size_t STEPS_PER_SUM = 255;

}  // namespace

#include "base64/generic/scan_tier.inc"

// Without POPCNT: every byte lane counts its own symbols (a match is -1, so
// subtracting it adds one), and the lanes are summed every 255 steps.
std::size_t symbol_count_avx2(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    if (len < V::WIDTH) return symbol_count_scalar(src, len, extra);  // not one register: no constants to make
    const generic::SymbolClasses<V> k(extra);
    std::size_t count = 0, i = 0;
    while (len - i >= V::WIDTH) {
        __m256i lanes = _mm256_setzero_si256();
        for (std::size_t step = 0; step < STEPS_PER_SUM && len - i >= V::WIDTH; ++step, i += V::WIDTH)
            lanes = _mm256_sub_epi8(lanes, generic::class_bytes<true, V>(V::loadu(src + i), k));
        const __m256i sums = _mm256_sad_epu8(lanes, _mm256_setzero_si256());
        alignas(32) std::uint64_t parts[4];
        _mm256_store_si256(reinterpret_cast<__m256i*>(parts), sums);
        count += parts[0] + parts[1] + parts[2] + parts[3];
    }
    return count + symbol_count_scalar(src + i, len - i, extra);
}

[[gnu::target("popcnt")]] std::size_t symbol_count_avx2_popcnt(const unsigned char* src, std::size_t len,
                                                               ExtraSymbols extra) {
    if (len < V::WIDTH) return symbol_count_scalar(src, len, extra);
    const generic::SymbolClasses<V> k(extra);
    std::size_t count = 0, i = 0;
    for (; len - i >= V::WIDTH; i += V::WIDTH)
        count += static_cast<std::size_t>(std::popcount(V::movemask(generic::class_bytes<true, V>(V::loadu(src + i), k))));
    return count + symbol_count_scalar(src + i, len - i, extra);
}

}  // namespace vantorq::base64::scan::avx2
