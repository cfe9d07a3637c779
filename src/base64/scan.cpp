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

namespace vantorq::base64::scan::scalar {
namespace {

template <bool Checked>
Compacted compact(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room, ExtraSymbols extra,
                  AllowedNoise noise) {
    std::size_t i = 0, written = 0;
    for (; i < len && written != room; ++i) {
        const unsigned char byte = src[i];
        const bool symbol = is_symbol(byte, extra);
        if (Checked && !symbol && byte != noise.bytes[0] && byte != noise.bytes[1] && byte != noise.bytes[2] &&
            byte != noise.bytes[3])
            return {i, written, true};
        // Stored whatever it is and kept only if a symbol: no branch on the byte.
        dst[written] = byte;
        written += symbol ? 1 : 0;
    }
    return {i, written, false};
}

}  // namespace

std::size_t alphanumeric_prefix(const unsigned char* src, std::size_t len) {
    std::size_t i = 0;
    while (i < len && is_alphanumeric(src[i])) ++i;
    return i;
}

std::size_t symbol_prefix(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    std::size_t i = 0;
    while (i < len && is_symbol(src[i], extra)) ++i;
    return i;
}

void translate(unsigned char* data, std::size_t len, ByteMapping m) {
    for (std::size_t i = 0; i < len; ++i) {
        const unsigned char byte = data[i];
        data[i] = byte == m.from_second ? m.to_second : byte == m.from_first ? m.to_first : byte;
    }
}

Compacted compact_symbols(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                          ExtraSymbols extra) {
    return compact<false>(src, len, dst, room, extra, {});
}

Compacted compact_symbols_checked(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                                  ExtraSymbols extra, AllowedNoise noise) {
    return compact<true>(src, len, dst, room, extra, noise);
}

}  // namespace vantorq::base64::scan::scalar
