#include "base64/decode_tiers.hpp"
#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch::sse41 {

void fill_decoders(RuntimeBackend& table) {
    table.decoders = decode::sse41::table_entries();
    table.names.decode = "sse41";
}

}  // namespace vantorq::base64::runtime_dispatch::sse41
