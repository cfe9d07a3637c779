#include <gtest/gtest.h>

#include <cstdlib>

#include "backend/capabilities.hpp"

namespace vantorq::backend {
namespace {

constexpr std::uint32_t SSSE3 = 1u << 9, SSE41 = 1u << 19, POPCNT = 1u << 23, OSXSAVE = 1u << 27;
constexpr std::uint32_t AVX2 = 1u << 5, BMI2 = 1u << 8, AVX512F = 1u << 16, AVX512BW = 1u << 30;
constexpr std::uint32_t AVX512DQ = 1u << 17, AVX512VL = 1u << 31;
constexpr std::uint32_t VBMI = 1u << 1, VBMI2 = 1u << 6;

CpuidWords icelake_like(std::uint64_t xcr0, std::uint32_t more_leaf7_ebx = 0, bool amd = false) {
    return {.max_leaf = 0x1b,
            .amd = amd,
            .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE,
            .leaf7_ebx = AVX2 | BMI2 | AVX512F | AVX512BW | more_leaf7_ebx,
            .leaf7_ecx = VBMI | VBMI2,
            .xcr0 = xcr0};
}

struct Case {
    const char* name;
    CpuidWords words;
    std::uint16_t expected;
};

class CapabilitiesFromCpuid : public ::testing::TestWithParam<Case> {};

TEST_P(CapabilitiesFromCpuid, GivesTheFlagsOfTheWords) {
    EXPECT_EQ(capabilities_from_cpuid(GetParam().words).flags, GetParam().expected) << GetParam().name;
}

using C = Capabilities;
INSTANTIATE_TEST_SUITE_P(
    Processors, CapabilitiesFromCpuid,
    ::testing::Values(
        Case{"no leaf 1", {.max_leaf = 0, .leaf1_ecx = SSSE3 | SSE41}, 0},
        Case{"core2", {.max_leaf = 0xa, .leaf1_ecx = SSSE3}, C::SSSE3},
        Case{"nehalem", {.max_leaf = 0xb, .leaf1_ecx = SSSE3 | SSE41 | POPCNT}, C::SSSE3 | C::SSE41 | C::POPCNT},
        Case{"leaf 7 absent hides AVX2",
             {.max_leaf = 6, .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE, .leaf7_ebx = AVX2 | BMI2, .xcr0 = 7},
             C::SSSE3 | C::SSE41},
        Case{"haswell",
             {.max_leaf = 0xd, .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE, .leaf7_ebx = AVX2 | BMI2, .xcr0 = 7},
             C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2},
        Case{"AVX2 without OSXSAVE",
             {.max_leaf = 0xd, .leaf1_ecx = SSSE3 | SSE41, .leaf7_ebx = AVX2 | BMI2, .xcr0 = 7},
             C::SSSE3 | C::SSE41 | C::BMI2},
        Case{"AVX2 with YMM state off",
             {.max_leaf = 0xd, .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE, .leaf7_ebx = AVX2, .xcr0 = 3},
             C::SSSE3 | C::SSE41},
        Case{"icelake", icelake_like(0xe7), 0x2fe},
        Case{"skylake-server",
             {.max_leaf = 0x16, .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE, .leaf7_ebx = AVX2 | BMI2 | AVX512F | AVX512BW,
              .xcr0 = 0xe7},
             C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2 | C::AVX512F | C::AVX512BW},
        Case{"tigerlake", icelake_like(0xe7, AVX512DQ | AVX512VL), 0x2fe | C::AVX512DQ | C::AVX512VL},
        Case{"zen4", icelake_like(0xe7, AVX512DQ | AVX512VL, true),
             0x2fe | C::AVX512DQ | C::AVX512VL | C::FAST_VPMULLQ},
        Case{"AMD without AVX-512DQ", icelake_like(0xe7, AVX512VL, true), 0x2fe | C::AVX512VL},
        Case{"AVX-512 without ZMM state", icelake_like(0x07), C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2},
        Case{"zen4 without ZMM state", icelake_like(0x07, AVX512DQ | AVX512VL, true),
             C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2},
        Case{"AVX-512 with partial ZMM state", icelake_like(0x67), C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (auto& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(Capabilities, DetectionNeverSetsTheReservedTierBitOrHighBits) {
    const auto caps = capabilities();
    EXPECT_EQ(caps.flags & 0xe001, 0);
    EXPECT_EQ(caps, detect_cpu_capabilities());
}

// Run under an emulated processor with the flags it must yield, so that the
// real CPUID and XGETBV path is checked, not only the decoding of words.
TEST(Capabilities, DetectedFlagsMatchTheEmulatedProcessor) {
    const char* expected = std::getenv("VANTORQ_EXPECT_CAPABILITIES");
    if (expected == nullptr) GTEST_SKIP() << "VANTORQ_EXPECT_CAPABILITIES not set";
    EXPECT_EQ(capabilities().flags, std::strtoul(expected, nullptr, 0));
}

}  // namespace
}  // namespace vantorq::backend
