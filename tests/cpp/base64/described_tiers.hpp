#pragma once
// The kernel table of every described tier (backend::TIERS), built as the
// process builds its own, for tests to pass in; a tier runs only where this
// processor has all of its features.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "backend/tiers.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::testing {

struct TierTable {
    std::string name;
    backend::Processor processor;
    runtime_dispatch::RuntimeBackend table;

    bool runs_here() const { return backend::processor().runs(processor); }
    friend void PrintTo(const TierTable& tier, std::ostream* os) { *os << tier.name; }
};

inline std::vector<TierTable> tier_tables() {
    std::vector<TierTable> tables;
    for (const auto& tier : backend::TIERS)
        tables.push_back({std::string(tier.name), tier.processor, runtime_dispatch::for_processor(tier.processor)});
    return tables;
}

// The tiers, and beside each whose encoders may stream a variant that
// streams from the first byte on (where the destination allows).
inline std::vector<TierTable> tier_tables_with_streaming() {
    std::vector<TierTable> tables;
    for (TierTable& tier : tier_tables()) {
        tables.push_back(tier);
        if (tier.table.tier < runtime_dispatch::Tier::Avx2) continue;
        tier.name += "_streaming";
        tier.table.streaming_enabled = true;
        tier.table.streaming_threshold = 0;
        tables.push_back(tier);
    }
    return tables;
}

// The scalar tier's table: the reference of every other.
inline const runtime_dispatch::RuntimeBackend& scalar_table() {
    static const runtime_dispatch::RuntimeBackend SCALAR = runtime_dispatch::for_processor(backend::TIERS[0].processor);
    return SCALAR;
}

inline std::string tier_name(const ::testing::TestParamInfo<TierTable>& info) { return info.param.name; }

}  // namespace vantorq::base64::testing
