// The SSE2 byte scans: every x86-64 processor runs them.
#include "base64/generic/scan_steps.hpp"

namespace vantorq::base64::scan::sse2 {
namespace {

struct Sse2 {};
using V = generic::Vec128<Sse2>;

}  // namespace

std::size_t alphanumeric_prefix_sse2(const unsigned char* src, std::size_t len) {
    return generic::class_prefix<false, V>(src, len, {});
}

std::size_t symbol_prefix_sse2(const unsigned char* src, std::size_t len, ExtraSymbols extra) {
    return generic::class_prefix<true, V>(src, len, extra);
}

void translate_sse2(unsigned char* data, std::size_t len, ByteMapping mapping) {
    generic::translate_bytes<V>(data, len, mapping);
}

Compacted compact_symbols_sse2(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t room,
                               ExtraSymbols extra) {
    return generic::compact_symbols<V, false>(src, len, dst, room, extra);
}

}  // namespace vantorq::base64::scan::sse2
