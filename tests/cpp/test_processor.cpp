#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <map>
#include <utility>

#include "backend/capabilities.hpp"

namespace vantorq::backend {
namespace {

constexpr std::uint32_t SSSE3 = 1u << 9, SSE41 = 1u << 19, POPCNT = 1u << 23, OSXSAVE = 1u << 27;
constexpr std::uint32_t AVX2 = 1u << 5, BMI2 = 1u << 8, AVX512F = 1u << 16, AVX512BW = 1u << 30;
constexpr std::uint32_t AVX512DQ = 1u << 17, AVX512VL = 1u << 31;
constexpr std::uint32_t VBMI = 1u << 1, VBMI2 = 1u << 6;

// Leaf 1 EAX: family 6 model 0x8f (Sapphire Rapids), family 0x19 model 0x11 (Zen 4 EPYC).
constexpr std::uint32_t SAPPHIRE_RAPIDS = 0x000806f8, ZEN4 = 0x00a10f11;

CpuidWords icelake_like(std::uint64_t xcr0, std::uint32_t more_leaf7_ebx = 0, Vendor vendor = Vendor::Intel) {
    return {.max_leaf = 0x1b,
            .vendor = vendor,
            .leaf1_eax = vendor == Vendor::Amd ? ZEN4 : SAPPHIRE_RAPIDS,
            .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE,
            .leaf7_ebx = AVX2 | BMI2 | AVX512F | AVX512BW | more_leaf7_ebx,
            .leaf7_ecx = VBMI | VBMI2,
            .xcr0 = xcr0};
}

struct Case {
    const char* name;
    CpuidWords words;
    std::uint16_t expected;
    std::uint16_t expected_extensions = 0;
};

class ProcessorFromCpuid : public ::testing::TestWithParam<Case> {};

TEST_P(ProcessorFromCpuid, GivesTheFeaturesOfTheWords) {
    const Processor processor = processor_from_cpuid(GetParam().words);
    EXPECT_EQ(processor.capabilities.flags, GetParam().expected);
    EXPECT_EQ(processor.extensions, GetParam().expected_extensions);
    EXPECT_EQ(processor.vendor, GetParam().words.vendor);
}

using C = Capabilities;
using P = Processor;
constexpr std::uint16_t ICELAKE = 0xfe;
INSTANTIATE_TEST_SUITE_P(
    Processors, ProcessorFromCpuid,
    ::testing::Values(
        Case{"no leaf 1", {.max_leaf = 0, .leaf1_ecx = SSSE3 | SSE41}, 0},
        Case{"core2", {.max_leaf = 0xa, .leaf1_ecx = SSSE3}, C::SSSE3},
        Case{"nehalem", {.max_leaf = 0xb, .leaf1_ecx = SSSE3 | SSE41 | POPCNT}, C::SSSE3 | C::SSE41, P::POPCNT},
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
        Case{"icelake", icelake_like(0xe7), ICELAKE, P::AVX512VBMI2},
        Case{"skylake-server",
             {.max_leaf = 0x16, .leaf1_ecx = SSSE3 | SSE41 | OSXSAVE, .leaf7_ebx = AVX2 | BMI2 | AVX512F | AVX512BW,
              .xcr0 = 0xe7},
             C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2 | C::AVX512F | C::AVX512BW},
        Case{"sapphire rapids", icelake_like(0xe7, AVX512DQ | AVX512VL), ICELAKE,
             P::AVX512VBMI2 | P::AVX512DQ | P::AVX512VL},
        Case{"zen4", icelake_like(0xe7, AVX512DQ | AVX512VL, Vendor::Amd), ICELAKE,
             P::AVX512VBMI2 | P::AVX512DQ | P::AVX512VL},
        Case{"AVX-512 without ZMM state", icelake_like(0x07), C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2},
        Case{"zen4 without ZMM state", icelake_like(0x07, AVX512DQ | AVX512VL, Vendor::Amd),
             C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2},
        Case{"AVX-512 with partial ZMM state", icelake_like(0x67), C::SSSE3 | C::SSE41 | C::AVX2 | C::BMI2}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (auto& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(Processor, FamilyAndModelAreTheDisplayValues) {
    const Processor intel = processor_from_cpuid(icelake_like(0xe7));
    EXPECT_EQ(intel.family, 6);
    EXPECT_EQ(intel.model, 0x8f);
    const Processor amd = processor_from_cpuid(icelake_like(0xe7, 0, Vendor::Amd));
    EXPECT_EQ(amd.family, 0x19);
    EXPECT_EQ(amd.model, 0x11);
}

// A processor described by the CPUID leaves the cache walk reads.
using Leaves = std::map<std::pair<std::uint32_t, std::uint32_t>, CpuidRegisters>;
const Leaves* current_leaves = nullptr;

CpuidRegisters fake_cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
    const auto it = current_leaves->find({leaf, subleaf});
    return it == current_leaves->end() ? CpuidRegisters{} : it->second;
}

// One cache descriptor: type 1 data, 2 instruction, 3 unified.
CpuidRegisters cache(std::uint32_t type, std::uint32_t level, std::uint32_t ways, std::uint32_t partitions,
                     std::uint32_t line, std::uint32_t sets) {
    return {type | level << 5, (ways - 1) << 22 | (partitions - 1) << 12 | (line - 1), sets - 1, 0};
}

struct CacheCase {
    const char* name;
    Leaves leaves;
    std::size_t expected;
};

class CacheWalk : public ::testing::TestWithParam<CacheCase> {};

TEST_P(CacheWalk, FindsTheLargestDataCache) {
    current_leaves = &GetParam().leaves;
    EXPECT_EQ(largest_data_cache(fake_cpuid), GetParam().expected);
}

const Leaves INTEL = {
    {{0, 0}, {0x1f, 0, 0, 0}},
    {{4, 0}, cache(1, 1, 12, 1, 64, 64)},    // 48 KiB L1d
    {{4, 1}, cache(2, 1, 8, 1, 64, 64)},     // 32 KiB L1i
    {{4, 2}, cache(3, 2, 10, 1, 64, 2048)},  // 1.25 MiB L2
    {{4, 3}, cache(3, 3, 12, 1, 64, 49152)}, // 36 MiB L3
    {{4, 4}, cache(2, 2, 8, 1, 64, 1 << 20)}, // a larger instruction cache does not count
};
const Leaves AMD = {
    {{0, 0}, {0x10, 0, 0, 0}},
    {{0x80000000, 0}, {0x80000023, 0, 0, 0}},
    {{0x8000001D, 0}, cache(1, 1, 8, 1, 64, 64)},     // 32 KiB L1d
    {{0x8000001D, 1}, cache(2, 1, 8, 1, 64, 64)},
    {{0x8000001D, 2}, cache(3, 2, 8, 1, 64, 1024)},   // 512 KiB L2
    {{0x8000001D, 3}, cache(3, 3, 16, 1, 64, 32768)}, // 32 MiB L3
};
const Leaves L1_ONLY = {
    {{0, 0}, {0x0d, 0, 0, 0}},
    {{4, 0}, cache(2, 1, 8, 1, 64, 64)},
    {{4, 1}, cache(1, 1, 8, 2, 64, 64)},  // two partitions: 64 KiB
};
const Leaves SATURATING = {
    {{0, 0}, {0x0d, 0, 0, 0}},
    {{4, 0}, {1 | 2 << 5, 0xffffffff, 0xffffffff, 0}},
    {{4, 1}, cache(1, 1, 8, 1, 64, 64)},
};

INSTANTIATE_TEST_SUITE_P(
    Processors, CacheWalk,
    ::testing::Values(CacheCase{"intel", INTEL, 36 << 20}, CacheCase{"amd", AMD, 32 << 20},
                      CacheCase{"l1_only", L1_ONLY, 64 * 1024},
                      CacheCase{"saturating", SATURATING, std::numeric_limits<std::size_t>::max()},
                      CacheCase{"leaf4_absent", Leaves{{{0, 0}, {3, 0, 0, 0}}, {{4, 0}, cache(1, 1, 8, 1, 64, 64)}}, 0},
                      CacheCase{"nothing", Leaves{}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Processor, Aarch64FromHwcapAndMidr) {
    // A Neoverse N1 (Graviton 2): implementer 0x41, variant 3, part 0xd0c, revision 1.
    const Processor n1 = processor_from_hwcap(0b10, 0x413fd0c1);
    EXPECT_EQ(n1.extensions, Processor::ASIMD);
    EXPECT_EQ(n1.capabilities.flags, 0);
    EXPECT_EQ(arm_part_name(n1.family, n1.model), "Arm Neoverse N1");
    EXPECT_EQ(processor_from_hwcap(0, 0).extensions, 0);
    EXPECT_EQ(arm_part_name(0x41, 0xfff), "");
#if defined(__aarch64__)
    // Advanced SIMD is part of the architecture: every aarch64 Linux reports it.
    EXPECT_TRUE(processor().has(0, Processor::ASIMD));
#endif
}

// Run under an emulated processor with the flags it must yield, so that the
// real CPUID and XGETBV path is checked, not only the decoding of words.
TEST(Processor, DetectedFlagsMatchTheEmulatedProcessor) {
    const char* expected = std::getenv("VANTORQ_EXPECT_CAPABILITIES");
    if (expected == nullptr) GTEST_SKIP() << "VANTORQ_EXPECT_CAPABILITIES not set";
    EXPECT_EQ(capabilities().flags, std::strtoul(expected, nullptr, 0));
    EXPECT_EQ(capabilities(), detect_cpu_capabilities());
}

}  // namespace
}  // namespace vantorq::backend
