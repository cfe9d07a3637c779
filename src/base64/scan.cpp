#include "base64/scan.hpp"

namespace vantorq::base64::scan {

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

}  // namespace vantorq::base64::scan
