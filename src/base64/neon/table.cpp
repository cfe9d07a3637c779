#include "base64/decode_tiers.hpp"
#include "base64/neon/encode.hpp"
#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch::neon {
namespace {

namespace kernels = encode::neon;

// The table's encoder shapes: NEON never streams, and its encoders take any
// 64 symbols.
std::size_t builtin(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool) {
    return kernels::encode(src, len, dst, url ? URL_SAFE_SYMBOLS : STANDARD_SYMBOLS);
}
std::size_t custom(const unsigned char* src, std::size_t len, unsigned char* dst, const EncodeAlphabet& alphabet,
                   bool) {
    return kernels::encode(src, len, dst, alphabet.symbols);
}
std::size_t wrapped(const unsigned char* src, std::size_t len, WrapCursor& cursor, bool url) {
    return kernels::encode_wrapped(src, len, cursor, url ? URL_SAFE_SYMBOLS : STANDARD_SYMBOLS);
}
std::size_t wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                           const EncodeAlphabet& alphabet) {
    return kernels::encode_wrapped(src, len, cursor, alphabet.symbols);
}

}  // namespace

void fill_codec(RuntimeBackend& table) {
    table.encoders = {builtin, custom, wrapped, wrapped_custom};
    table.names.encode = "neon";
    table.decoders = decode::neon::table_entries();
    table.names.decode = "neon";
}

void fill_scans(RuntimeBackend& table) {
    table.byte_kernels = scan::neon::table_entries();
    table.symbol_count = scan::neon::symbol_count;
    table.names.byte_scan = "neon";
    table.names.symbol_count = "neon";
}

}  // namespace vantorq::base64::runtime_dispatch::neon
