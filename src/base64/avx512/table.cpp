#include "backend/invariant.hpp"
#include "base64/avx512/encode.hpp"
#include "base64/decode_tiers.hpp"
#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch::avx512 {
namespace {

template <std::size_t OutputAlignment>
EncodeKernels encoders() {
    namespace kernels = encode::avx512;
    return {kernels::encode<OutputAlignment>, kernels::encode_custom<OutputAlignment>, kernels::encode_wrapped,
            kernels::encode_wrapped_custom};
}

}  // namespace

void fill_codec(RuntimeBackend& table, std::size_t output_alignment) {
    if (output_alignment != 32 && output_alignment != 64)
        backend::fail_invariant("AVX-512 encoder output alignment other than 32 or 64");
    table.encoders = output_alignment == 64 ? encoders<64>() : encoders<32>();
    table.names.encode = output_alignment == 64 ? "avx512_align64" : "avx512";
    table.decoders = decode::avx512::table_entries();
    table.names.decode = "avx512";
}

void fill_scans(RuntimeBackend& table) {
    table.byte_kernels = scan::avx512::table_entries();
    table.names.byte_scan = "avx512";
    table.symbol_count = scan::avx512::symbol_count;
    table.names.symbol_count = "avx512";
    table.decode_gathered_prefix = decode::avx512::decode_gathered_prefix;
    table.names.gathered_decode = "avx512";
}

}  // namespace vantorq::base64::runtime_dispatch::avx512
