#pragma once
// Processor features, detected once per process; every family picks its
// kernels from this one record.

#include <cstdint>

namespace vantorq::backend {

struct Capabilities {
    // Flag values are stable: families and tests combine them as a bit set.
    enum Flag : std::uint16_t {
        SCALAR_TIER = 0x01,  // reserved lowest tier bit; detection never sets it
        SSSE3 = 0x02,
        SSE41 = 0x04,
        AVX2 = 0x08,
        AVX512F = 0x10,
        AVX512BW = 0x20,
        AVX512VBMI = 0x40,
        BMI2 = 0x80,
        POPCNT = 0x100,
        AVX512VBMI2 = 0x200,
        AVX512DQ = 0x400,
        AVX512VL = 0x800,
        // VPMULLQ as quick as a scalar 64-bit multiply (3 cycles on AMD's
        // AVX-512 processors); Intel's splits it into three multiplies, about
        // 15 cycles, which makes it a poor choice for a multiply chain.
        FAST_VPMULLQ = 0x1000,
    };

    std::uint16_t flags = 0;

    constexpr bool has(std::uint16_t wanted) const { return (flags & wanted) == wanted; }
    friend constexpr bool operator==(Capabilities, Capabilities) = default;
};

// The registers one CPUID query returns.
struct CpuidRegisters {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// Executes CPUID for a leaf and subleaf: the one place the cores do. The
// caller checks that the leaf exists (leaf 0 and 0x80000000 give the highest).
CpuidRegisters cpuid(std::uint32_t leaf, std::uint32_t subleaf);

// The raw identification words that detection reads, so that the decision can
// be tested without the processor that would produce them.
struct CpuidWords {
    std::uint32_t max_leaf = 0;
    bool amd = false;  // leaf 0's vendor is "AuthenticAMD"
    std::uint32_t leaf1_ecx = 0;
    std::uint32_t leaf7_ebx = 0;
    std::uint32_t leaf7_ecx = 0;
    std::uint64_t xcr0 = 0;  // only meaningful when leaf1_ecx has OSXSAVE
};

Capabilities capabilities_from_cpuid(const CpuidWords& words);

Capabilities detect_cpu_capabilities();

// The process-wide record, detected on first use.
Capabilities capabilities();

}  // namespace vantorq::backend
