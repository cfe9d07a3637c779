#include "backend/capabilities.hpp"

#if defined(__x86_64__)
#include <cpuid.h>
#elif defined(__aarch64__)
#include <sys/auxv.h>
#endif

#include <algorithm>
#include <limits>
#include <utility>

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

Processor processor_from_cpuid(const CpuidWords& w) {
    Processor processor;
    processor.vendor = w.vendor;
    if (w.max_leaf < 1) return processor;
    // The display family adds the extended family only at 15; the display
    // model takes the extended model at families 6 and 15 and above.
    const std::uint16_t base_family = (w.leaf1_eax >> 8) & 0xf;
    const std::uint16_t base_model = (w.leaf1_eax >> 4) & 0xf;
    processor.family = base_family == 15 ? base_family + ((w.leaf1_eax >> 20) & 0xff) : base_family;
    processor.model = base_family == 6 || base_family == 15 ? base_model | ((w.leaf1_eax >> 12) & 0xf0) : base_model;

    std::uint16_t& caps = processor.capabilities.flags;
    std::uint16_t& extensions = processor.extensions;
    if (w.leaf1_ecx & leaf1_ecx::SSSE3) caps |= Capabilities::SSSE3;
    if (w.leaf1_ecx & leaf1_ecx::SSE41) caps |= Capabilities::SSE41;
    if (w.leaf1_ecx & leaf1_ecx::POPCNT) extensions |= Processor::POPCNT;
    if (w.max_leaf < 7) return processor;
    if (w.leaf7_ebx & leaf7_ebx::BMI2) caps |= Capabilities::BMI2;

    const bool os_saves_avx = (w.leaf1_ecx & leaf1_ecx::OSXSAVE) && (w.xcr0 & XCR0_SSE_AVX) == XCR0_SSE_AVX;
    if (!os_saves_avx) return processor;
    if (w.leaf7_ebx & leaf7_ebx::AVX2) caps |= Capabilities::AVX2;

    const bool os_saves_avx512 = (w.xcr0 & XCR0_AVX512) == XCR0_AVX512;
    if (!os_saves_avx512) return processor;
    if (w.leaf7_ebx & leaf7_ebx::AVX512F) caps |= Capabilities::AVX512F;
    if (w.leaf7_ebx & leaf7_ebx::AVX512BW) caps |= Capabilities::AVX512BW;
    if (w.leaf7_ecx & leaf7_ecx::AVX512VBMI) caps |= Capabilities::AVX512VBMI;
    if (w.leaf7_ecx & leaf7_ecx::AVX512VBMI2) extensions |= Processor::AVX512VBMI2;
    if (w.leaf7_ebx & leaf7_ebx::AVX512DQ) extensions |= Processor::AVX512DQ;
    if (w.leaf7_ebx & leaf7_ebx::AVX512VL) extensions |= Processor::AVX512VL;
    return processor;
}

Processor processor_from_hwcap(std::uint64_t hwcap, std::uint64_t midr) {
    // AT_HWCAP bits of the Linux aarch64 ABI (asm/hwcap.h).
    constexpr std::uint64_t ASIMD_BIT = 1u << 1;
    Processor processor;
    if (hwcap & ASIMD_BIT) processor.extensions |= Processor::ASIMD;
    // MIDR_EL1: implementer in bits 31..24, part number in bits 15..4.
    processor.family = static_cast<std::uint16_t>(midr >> 24 & 0xff);
    processor.model = static_cast<std::uint16_t>(midr >> 4 & 0xfff);
    return processor;
}

std::string_view arm_part_name(std::uint16_t implementer, std::uint16_t part) {
    struct Part {
        std::uint16_t implementer, part;
        std::string_view name;
    };
    // The cores of the machines users run us on: cloud servers, single-board
    // computers, and the containers of Apple-silicon Macs (Apple's own numbers).
    static constexpr Part PARTS[] = {
        {0x41, 0xd03, "Arm Cortex-A53"},  {0x41, 0xd08, "Arm Cortex-A72"},  {0x41, 0xd0b, "Arm Cortex-A76"},
        {0x41, 0xd0c, "Arm Neoverse N1"}, {0x41, 0xd40, "Arm Neoverse V1"}, {0x41, 0xd49, "Arm Neoverse N2"},
        {0x41, 0xd4f, "Arm Neoverse V2"}, {0x41, 0xd84, "Arm Neoverse V3"}, {0x41, 0xd8e, "Arm Neoverse N3"},
        {0xc0, 0xac3, "AmpereOne"},       {0x61, 0x022, "Apple M1"},        {0x61, 0x032, "Apple M2"},
    };
    for (const Part& known : PARTS)
        if (known.implementer == implementer && known.part == part) return known.name;
    return {};
}

namespace {

#if defined(__x86_64__)
// This processor's words (CPUID and, when the OS enables it, XGETBV).
CpuidWords read_cpuid_words() {
    CpuidWords w;
    const CpuidRegisters leaf0 = cpuid(0, 0);
    w.max_leaf = leaf0.eax;
    // "AuthenticAMD" and "GenuineIntel" in EBX, EDX, ECX order, four
    // characters each, little-endian.
    if (leaf0.ebx == 0x68747541 && leaf0.edx == 0x69746e65 && leaf0.ecx == 0x444d4163) w.vendor = Vendor::Amd;
    if (leaf0.ebx == 0x756e6547 && leaf0.edx == 0x49656e69 && leaf0.ecx == 0x6c65746e) w.vendor = Vendor::Intel;
    if (w.max_leaf >= 1) {
        const CpuidRegisters leaf1 = cpuid(1, 0);
        w.leaf1_eax = leaf1.eax;
        w.leaf1_ecx = leaf1.ecx;
    }
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
#endif

constexpr std::uint32_t INTEL_CACHE_LEAF = 4;
constexpr std::uint32_t AMD_CACHE_LEAF = 0x8000001D;
constexpr std::uint32_t EXTENDED_BASE = 0x80000000;

constexpr std::uint32_t CACHE_TYPE_DATA = 1;
constexpr std::uint32_t CACHE_TYPE_UNIFIED = 3;

// Both leaves share one layout: EAX bits 4..0 type (0 ends the list); EBX
// ways 31..22, partitions 21..12, line size 11..0; ECX sets; each stored
// minus one.
std::size_t largest_data_cache_of_leaf(CpuidQuery query, std::uint32_t leaf) {
    std::size_t largest = 0;
    for (std::uint32_t subleaf = 0;; ++subleaf) {
        const CpuidRegisters r = query(leaf, subleaf);
        const std::uint32_t type = r.eax & 0x1f;
        if (type == 0) break;
        if (type != CACHE_TYPE_DATA && type != CACHE_TYPE_UNIFIED) continue;
        const std::uint64_t factors[] = {(r.ebx >> 22) + 1ull, ((r.ebx >> 12) & 0x3ff) + 1ull, (r.ebx & 0xfff) + 1ull,
                                         std::uint64_t{r.ecx} + 1};
        std::size_t size = 1;
        for (const std::uint64_t factor : factors) {
            if (__builtin_mul_overflow(size, factor, &size)) {
                size = std::numeric_limits<std::size_t>::max();
                break;
            }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

}  // namespace

std::size_t largest_data_cache(CpuidQuery query) {
    std::size_t largest = 0;
    if (query(0, 0).eax >= INTEL_CACHE_LEAF) largest = largest_data_cache_of_leaf(query, INTEL_CACHE_LEAF);
    if (largest == 0 && query(EXTENDED_BASE, 0).eax >= AMD_CACHE_LEAF) {
        largest = largest_data_cache_of_leaf(query, AMD_CACHE_LEAF);
    }
    return largest;
}

#if defined(__x86_64__)
CpuidRegisters cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
    CpuidRegisters r;
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}
#endif

Processor detect_processor() {
#if defined(__x86_64__)
    Processor processor = processor_from_cpuid(read_cpuid_words());
    processor.data_cache_bytes = largest_data_cache(cpuid);
    return processor;
#elif defined(__aarch64__)
    // The kernel traps and answers reads of the ID registers from user space
    // only where it says so (HWCAP_CPUID); the cache sizes it does not give.
    constexpr unsigned long CPUID_BIT = 1ul << 11;
    const unsigned long hwcap = getauxval(AT_HWCAP);
    std::uint64_t midr = 0;
    if (hwcap & CPUID_BIT) __asm__("mrs %0, MIDR_EL1" : "=r"(midr));
    return processor_from_hwcap(hwcap, midr);
#else
    return {};
#endif
}

const Processor& processor() {
    static const Processor PROCESSOR = detect_processor();
    return PROCESSOR;
}

std::string_view vendor_name(Vendor vendor) {
    switch (vendor) {
        case Vendor::Intel:
            return "Intel";
        case Vendor::Amd:
            return "AMD";
        default:
            return "other";
    }
}

std::vector<std::string_view> feature_names(const Processor& processor) {
    using C = Capabilities;
    using P = Processor;
    static constexpr std::pair<std::uint16_t, std::string_view> CAPABILITY_NAMES[] = {
        {C::SSSE3, "ssse3"},       {C::SSE41, "sse4.1"},       {C::AVX2, "avx2"},
        {C::BMI2, "bmi2"},         {C::AVX512F, "avx512f"},    {C::AVX512BW, "avx512bw"},
        {C::AVX512VBMI, "avx512vbmi"}};
    static constexpr std::pair<std::uint16_t, std::string_view> EXTENSION_NAMES[] = {
        {P::POPCNT, "popcnt"},     {P::AVX512VBMI2, "avx512vbmi2"}, {P::AVX512DQ, "avx512dq"},
        {P::AVX512VL, "avx512vl"}, {P::ASIMD, "asimd"}};
    std::vector<std::string_view> names;
    for (const auto& [flag, name] : CAPABILITY_NAMES)
        if (processor.has(flag)) names.push_back(name);
    for (const auto& [flag, name] : EXTENSION_NAMES)
        if (processor.has(0, flag)) names.push_back(name);
    return names;
}

std::string brand_string() {
#if defined(__x86_64__)
    constexpr std::uint32_t FIRST_BRAND_LEAF = 0x80000002, LAST_BRAND_LEAF = 0x80000004;
    if (cpuid(EXTENDED_BASE, 0).eax < LAST_BRAND_LEAF) return {};
    std::string brand;
    for (std::uint32_t leaf = FIRST_BRAND_LEAF; leaf <= LAST_BRAND_LEAF; ++leaf) {
        const CpuidRegisters r = cpuid(leaf, 0);
        for (const std::uint32_t word : {r.eax, r.ebx, r.ecx, r.edx})
            for (int byte = 0; byte < 4; ++byte) brand += static_cast<char>(word >> (8 * byte));
    }
    brand.resize(brand.find('\0') == std::string::npos ? brand.size() : brand.find('\0'));
    const std::size_t first = brand.find_first_not_of(' ');
    return first == std::string::npos ? std::string{} : brand.substr(first, brand.find_last_not_of(' ') - first + 1);
#elif defined(__aarch64__)
    return std::string(arm_part_name(processor().family, processor().model));
#else
    return {};
#endif
}

Capabilities detect_cpu_capabilities() {
#if defined(__x86_64__)
    return processor_from_cpuid(read_cpuid_words()).capabilities;
#else
    // The capability flags name x86-64 instruction sets.
    return {};
#endif
}

Capabilities capabilities() { return processor().capabilities; }

}  // namespace vantorq::backend
