#include "base64/decode_tiers.hpp"
#include "base64/ssse3/encode.hpp"
#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch::ssse3 {
namespace {

namespace kernels = encode::ssse3;

// The table's encoder shapes: SSSE3 never streams, and its custom encoders
// need the offsets alone.
std::size_t builtin(const unsigned char* src, std::size_t len, unsigned char* dst, bool url, bool) {
    return kernels::encode(src, len, dst, url);
}
std::size_t custom(const unsigned char* src, std::size_t len, unsigned char* dst,
                   const EncodeAlphabet& alphabet, bool) {
    return kernels::encode_custom(src, len, dst, alphabet.offsets);
}
std::size_t wrapped_custom(const unsigned char* src, std::size_t len, WrapCursor& cursor,
                           const EncodeAlphabet& alphabet) {
    return kernels::encode_wrapped_custom(src, len, cursor, alphabet.offsets);
}

}  // namespace

void fill_codec(RuntimeBackend& table) {
    table.encoders = {builtin, custom, kernels::encode_wrapped, wrapped_custom};
    table.names.encode = "ssse3";
    table.decoders = decode::ssse3::table_entries();
    table.names.decode = "ssse3";
}

}  // namespace vantorq::base64::runtime_dispatch::ssse3
