#include <gtest/gtest.h>

#include "bindings/compatibility.hpp"

namespace vantorq::bindings::compatibility {
namespace {

struct Case {
    const char* version;
    PythonSemantics expected;
};

PythonSemantics flags(int from_3_15, int patched_tail, int level, int major, int minor, int patch) {
    return {static_cast<std::uint8_t>(from_3_15), static_cast<std::uint8_t>(from_3_15),
            static_cast<std::uint8_t>(patched_tail), static_cast<std::uint8_t>(level),
            static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor), static_cast<std::uint8_t>(patch)};
}

class ParsePythonVersion : public ::testing::TestWithParam<Case> {};

TEST_P(ParsePythonVersion, DerivesTheBehaviourFlags) {
    const auto parsed = parse_python_version(GetParam().version);
    ASSERT_TRUE(parsed.has_value()) << GetParam().version;
    EXPECT_EQ(*parsed, GetParam().expected) << GetParam().version;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ParsePythonVersion,
    ::testing::Values(Case{"2.7.18 (default, ...)", flags(0, 0, 0, 2, 7, 18)},
                      Case{"3.9.1", flags(0, 0, 0, 3, 9, 1)},
                      Case{"3.10.14", flags(0, 0, 0, 3, 10, 14)},
                      Case{"3.11.0", flags(0, 0, 1, 3, 11, 0)},
                      Case{"3.12.7", flags(0, 0, 1, 3, 12, 7)},
                      Case{"3.13.12", flags(0, 0, 1, 3, 13, 12)},
                      Case{"3.13.13", flags(0, 1, 1, 3, 13, 13)},
                      Case{"3.14.3", flags(0, 0, 1, 3, 14, 3)},
                      Case{"3.14.4", flags(0, 1, 1, 3, 14, 4)},
                      Case{"3.14.9", flags(0, 1, 1, 3, 14, 9)},
                      Case{"3.15.0a1+ (heads/main:abc, Jan 1 2026)", flags(1, 1, 2, 3, 15, 0)},
                      Case{"3.15.2 (main, Oct 26 2026, 15:10:10) [GCC 16.2.0]", flags(1, 1, 2, 3, 15, 2)},
                      Case{"3.16.0", flags(1, 1, 2, 3, 16, 0)},
                      Case{"4.0.0", flags(1, 1, 2, 4, 0, 0)}));

TEST(ParsePythonVersion, RejectsStringsWithoutThreeNumbers) {
    for (const char* bad : {"", "3", "3.15", "3.15.", "x3.15.0", "3..15", "3.15.999"})
        EXPECT_FALSE(parse_python_version(bad).has_value()) << bad;
}

}  // namespace
}  // namespace vantorq::bindings::compatibility
