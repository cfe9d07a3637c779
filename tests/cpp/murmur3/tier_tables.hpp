#pragma once
// The described tiers as test parameters: a test builds the tier's kernel
// table and skips where this processor lacks the tier's features.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "backend/tiers.hpp"
#include "murmur3/kernels.hpp"

namespace vantorq::backend {
inline void PrintTo(const DescribedTier& tier, std::ostream* out) { *out << tier.name; }
}  // namespace vantorq::backend

namespace vantorq::murmur3 {

inline std::string tier_name(const ::testing::TestParamInfo<backend::DescribedTier>& info) {
    return std::string(info.param.name);
}

class OnEachTier : public ::testing::TestWithParam<backend::DescribedTier> {
protected:
    void SetUp() override {
        if (!backend::processor().runs(GetParam().processor)) GTEST_SKIP() << "the processor lacks this tier";
    }

    const Kernels table_ = for_processor(GetParam().processor);
    // The reference every tier must reproduce.
    const Kernels scalar_ = for_processor(backend::TIERS[0].processor);
};

}  // namespace vantorq::murmur3
