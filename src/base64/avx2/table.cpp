#include "base64/avx2/encode.hpp"
#include "base64/decode_tiers.hpp"
#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch::avx2 {
namespace {

namespace kernels = encode::avx2;

// The table's encoder shapes: the custom encoders need the offsets alone.
std::size_t custom(const unsigned char* src, std::size_t len, unsigned char* dst,
                   const EncodeAlphabet& alphabet, bool stream) {
    return kernels::encode_custom(src, len, dst, alphabet.offsets, stream);
}
std::size_t wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                           const EncodeAlphabet& alphabet) {
    return kernels::encode_wrapped_custom(src, len, cursor, alphabet.offsets);
}

}  // namespace

void fill_codec(RuntimeBackend& table) {
    table.encoders = {kernels::encode_with_store, custom, kernels::encode_wrapped, wrapped_custom};
    table.names.encode = "avx2";
    table.decoders = decode::avx2::table_entries();
    table.names.decode = "avx2";
}

void fill_scans(RuntimeBackend& table, bool popcnt) {
    table.byte_kernels = scan::avx2::table_entries();
    table.names.byte_scan = "avx2";
    table.symbol_count = popcnt ? scan::avx2::symbol_count_avx2_popcnt : scan::avx2::symbol_count_avx2;
    table.names.symbol_count = popcnt ? "avx2_popcnt" : "avx2";
}

}  // namespace vantorq::base64::runtime_dispatch::avx2
