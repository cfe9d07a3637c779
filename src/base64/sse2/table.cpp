#include "base64/tier_tables.hpp"

namespace vantorq::base64::runtime_dispatch::sse2 {

void fill_scans(RuntimeBackend& table) {
    table.byte_kernels = scan::sse2::table_entries();
    table.symbol_count = scan::symbol_count_scalar;
    table.names.byte_scan = "sse2";
    table.names.symbol_count = "scalar";
}

}  // namespace vantorq::base64::runtime_dispatch::sse2
