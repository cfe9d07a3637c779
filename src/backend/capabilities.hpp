#pragma once
// The processor this process runs on, detected once: the eight capability
// flags that the specified tier rules read, and beside them what else the
// kernel tables choose by (further features, vendor, family and model, the
// data cache). Every family picks its kernels from this one description.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    };

    std::uint16_t flags = 0;

    constexpr bool has(std::uint16_t wanted) const { return (flags & wanted) == wanted; }
    friend constexpr bool operator==(Capabilities, Capabilities) = default;
};

enum class Vendor : std::uint8_t { Other, Intel, Amd };

// Everything the kernel tables read. A described processor (a test's, a fuzz
// tier's) is as good as a detected one: the table functions are pure.
struct Processor {
    // Features beyond the eight capability flags, with the same OS-state rules.
    enum Extension : std::uint16_t {
        POPCNT = 0x01,
        AVX512VBMI2 = 0x02,
        AVX512DQ = 0x04,
        AVX512VL = 0x08,
        // aarch64's Advanced SIMD (NEON): every aarch64 processor has it, so
        // it is the one vector tier there; the capability flags stay 0.
        ASIMD = 0x10,
    };

    Capabilities capabilities;
    std::uint16_t extensions = 0;
    Vendor vendor = Vendor::Other;
    std::uint16_t family = 0;  // display family and model, as the vendors number them
    std::uint16_t model = 0;
    // The largest cache that holds data (the last level), 0 when unknown.
    std::size_t data_cache_bytes = 0;

    constexpr bool has(std::uint16_t capability_flags, std::uint16_t extension_flags = 0) const {
        return capabilities.has(capability_flags) && (extensions & extension_flags) == extension_flags;
    }
    // Whether every feature of `described` is present here, so that the
    // kernels chosen for it can run.
    constexpr bool runs(const Processor& described) const {
        return has(described.capabilities.flags, described.extensions);
    }
};

// VPMULLQ as quick as a scalar 64-bit multiply: 3 cycles on AMD's AVX-512
// processors (Zen 4); Intel's splits it into three multiplies, about 15
// cycles (uops.info, Ice Lake to Sapphire Rapids), a poor link in a chain.
constexpr bool has_quick_vpmullq(const Processor& processor) {
    return processor.vendor == Vendor::Amd && processor.has(0, Processor::AVX512DQ);
}

// VPMULLD in about 3 cycles (Zen 4) rather than Intel's 10 (two micro-ops on
// port 0, uops.info): whether a chain of 32-bit vector multiplies keeps up
// with the scalar multiplier.
constexpr bool has_quick_vpmulld(const Processor& processor) { return processor.vendor == Vendor::Amd; }

// The registers one CPUID query returns.
struct CpuidRegisters {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

#if defined(__x86_64__)
// Executes CPUID for a leaf and subleaf: the one place the cores do. The
// caller checks that the leaf exists (leaf 0 and 0x80000000 give the highest).
CpuidRegisters cpuid(std::uint32_t leaf, std::uint32_t subleaf);
#endif

// A CPUID query: backend::cpuid, or a stand-in describing another processor.
using CpuidQuery = CpuidRegisters (*)(std::uint32_t leaf, std::uint32_t subleaf);

// The raw identification words that detection reads, so that the decision can
// be tested without the processor that would produce them.
struct CpuidWords {
    std::uint32_t max_leaf = 0;
    Vendor vendor = Vendor::Other;
    std::uint32_t leaf1_eax = 0;  // signature: stepping, model, family
    std::uint32_t leaf1_ecx = 0;
    std::uint32_t leaf7_ebx = 0;
    std::uint32_t leaf7_ecx = 0;
    std::uint64_t xcr0 = 0;  // only meaningful when leaf1_ecx has OSXSAVE
};

// The description the words give (data_cache_bytes is left 0).
Processor processor_from_cpuid(const CpuidWords& words);

// The size in bytes of the largest cache that holds data, from the
// deterministic cache parameters (leaf 4, else AMD's 0x8000001D); 0 when
// neither leaf describes one.
std::size_t largest_data_cache(CpuidQuery query);

// An aarch64 processor as Linux describes it: its AT_HWCAP word and its
// MIDR_EL1 (0 where unreadable). Family and model are the implementer and
// part numbers; no capability flag is set.
Processor processor_from_hwcap(std::uint64_t hwcap, std::uint64_t midr);

// "Arm Neoverse N1" and the like, empty for a part not in the list.
std::string_view arm_part_name(std::uint16_t implementer, std::uint16_t part);

Processor detect_processor();

// The process-wide description, detected on first use.
const Processor& processor();

Capabilities detect_cpu_capabilities();

// For the processor report: the vendor's name, the features present by their
// usual lower-case names, and the processor's own name (CPUID's brand string;
// on aarch64 the name of its part; empty where neither is known).
std::string_view vendor_name(Vendor vendor);
std::vector<std::string_view> feature_names(const Processor& processor);
std::string brand_string();

// CAPABILITIES: the process-wide flags, those of processor().
Capabilities capabilities();

}  // namespace vantorq::backend
