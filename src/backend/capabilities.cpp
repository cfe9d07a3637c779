#include "backend/capabilities.hpp"

#include <cpuid.h>

namespace vantorq::backend {
namespace {

namespace leaf1_ecx {
constexpr std::uint32_t SSSE3 = 1u << 9;
constexpr std::uint32_t SSE41 = 1u << 19;
constexpr std::uint32_t POPCNT = 1u << 23;
constexpr std::uint32_t OSXSAVE = 1u << 27;
}  // namespace leaf1_ecx

namespace leaf7_ebx {
constexpr std::uint32_t AVX2 = 1u << 5;
constexpr std::uint32_t BMI2 = 1u << 8;
constexpr std::uint32_t AVX512F = 1u << 16;
constexpr std::uint32_t AVX512DQ = 1u << 17;
constexpr std::uint32_t AVX512BW = 1u << 30;
constexpr std::uint32_t AVX512VL = 1u << 31;
}  // namespace leaf7_ebx

namespace leaf7_ecx {
constexpr std::uint32_t AVX512VBMI = 1u << 1;
constexpr std::uint32_t AVX512VBMI2 = 1u << 6;
}  // namespace leaf7_ecx

// XCR0: which register files the operating system saves on a context switch.
constexpr std::uint64_t XCR0_SSE_AVX = 0x06;           // XMM and YMM upper halves
constexpr std::uint64_t XCR0_AVX512 = 0xe0;            // opmask, ZMM upper halves, ZMM16-31

}  // namespace

Capabilities capabilities_from_cpuid(const CpuidWords& w) {
    Capabilities caps;
    if (w.max_leaf < 1) return caps;
    if (w.leaf1_ecx & leaf1_ecx::SSSE3) caps.flags |= Capabilities::SSSE3;
    if (w.leaf1_ecx & leaf1_ecx::SSE41) caps.flags |= Capabilities::SSE41;
    if (w.leaf1_ecx & leaf1_ecx::POPCNT) caps.flags |= Capabilities::POPCNT;
    if (w.max_leaf < 7) return caps;
    if (w.leaf7_ebx & leaf7_ebx::BMI2) caps.flags |= Capabilities::BMI2;

    const bool os_saves_avx = (w.leaf1_ecx & leaf1_ecx::OSXSAVE) && (w.xcr0 & XCR0_SSE_AVX) == XCR0_SSE_AVX;
    if (!os_saves_avx) return caps;
    if (w.leaf7_ebx & leaf7_ebx::AVX2) caps.flags |= Capabilities::AVX2;

    const bool os_saves_avx512 = (w.xcr0 & XCR0_AVX512) == XCR0_AVX512;
    if (!os_saves_avx512) return caps;
    if (w.leaf7_ebx & leaf7_ebx::AVX512F) caps.flags |= Capabilities::AVX512F;
    if (w.leaf7_ebx & leaf7_ebx::AVX512BW) caps.flags |= Capabilities::AVX512BW;
    if (w.leaf7_ecx & leaf7_ecx::AVX512VBMI) caps.flags |= Capabilities::AVX512VBMI;
    if (w.leaf7_ecx & leaf7_ecx::AVX512VBMI2) caps.flags |= Capabilities::AVX512VBMI2;
    if (w.leaf7_ebx & leaf7_ebx::AVX512DQ) caps.flags |= Capabilities::AVX512DQ;
    if (w.leaf7_ebx & leaf7_ebx::AVX512VL) caps.flags |= Capabilities::AVX512VL;
    if (w.amd && caps.has(Capabilities::AVX512DQ)) caps.flags |= Capabilities::FAST_VPMULLQ;
    return caps;
}

CpuidRegisters cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
    CpuidRegisters r;
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

namespace {

// This processor's words (CPUID and, when the OS enables it, XGETBV).
CpuidWords read_cpuid_words() {
    CpuidWords w;
    const CpuidRegisters leaf0 = cpuid(0, 0);
    w.max_leaf = leaf0.eax;
    // "AuthenticAMD" in EBX, EDX, ECX order, four characters each, little-endian.
    w.amd = leaf0.ebx == 0x68747541 && leaf0.edx == 0x69746e65 && leaf0.ecx == 0x444d4163;
    if (w.max_leaf >= 1) w.leaf1_ecx = cpuid(1, 0).ecx;
    if (w.max_leaf >= 7) {
        const CpuidRegisters leaf7 = cpuid(7, 0);
        w.leaf7_ebx = leaf7.ebx;
        w.leaf7_ecx = leaf7.ecx;
    }
    if (w.leaf1_ecx & leaf1_ecx::OSXSAVE) {
        // XGETBV with ECX = 0; spelled out so that no AVX compile flag is needed.
        std::uint32_t lo = 0, hi = 0;
        __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        w.xcr0 = (std::uint64_t{hi} << 32) | lo;
    }
    return w;
}

}  // namespace

Capabilities detect_cpu_capabilities() { return capabilities_from_cpuid(read_cpuid_words()); }

Capabilities capabilities() {
    static const Capabilities CAPABILITIES = detect_cpu_capabilities();
    return CAPABILITIES;
}

}  // namespace vantorq::backend
