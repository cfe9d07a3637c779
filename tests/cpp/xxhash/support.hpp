#pragma once
// Inputs and engines shared by the XXH3 tests.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "backend/capabilities.hpp"
#include "xxhash/long_inputs.hpp"

namespace vantorq::xxhash::testing_support {

// The byte pattern of make_reference.py: the top byte of each step of a
// 64-bit linear congruential generator.
inline std::vector<unsigned char> make_pattern(std::size_t size) {
    std::vector<unsigned char> out(size);
    std::uint64_t state = 0x243F6A8885A308D3ull;
    for (auto& byte : out) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        byte = static_cast<unsigned char>(state >> 56);
    }
    return out;
}

// Long enough for every reference length, plus room for unaligned starts.
inline const std::vector<unsigned char>& pattern() {
    static const std::vector<unsigned char> bytes = make_pattern((1u << 20) + 256);
    return bytes;
}

// Every length make_reference.py folds, in its order.
inline std::vector<std::size_t> reference_lengths() {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 2048; ++n) lengths.push_back(n);
    lengths.insert(lengths.end(), {2049, 1'000'000, 1u << 20});
    return lengths;
}

// make_reference.py's checksum step.
inline std::uint64_t fold(std::uint64_t checksum, std::uint64_t word) {
    return (std::rotl(checksum, 23) ^ word) * 0x9E3779B97F4A7C15ull;
}

// A processor feature set, from the oldest tier up to this machine's best.
struct EngineCase {
    const char* name;
    std::uint16_t flags;

    backend::Capabilities capabilities() const {
        backend::Capabilities caps;
        caps.flags = flags;
        return caps;
    }
    long_inputs::LongEngine engine() const { return long_inputs::select_long_engine(capabilities()); }
    bool runs_here() const { return backend::capabilities().has(flags); }
};

using C = backend::Capabilities;
inline const EngineCase ENGINE_CASES[] = {
    {"scalar", 0},
    {"ssse3", C::SSSE3 | C::SSE41},
    {"avx2", C::SSSE3 | C::SSE41 | C::AVX2},
    {"avx512", C::SSSE3 | C::SSE41 | C::AVX2 | C::AVX512F},
};

inline void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.name; }

#define VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(flags)                                              \
    do {                                                                                      \
        if (!::vantorq::backend::capabilities().has(flags)) GTEST_SKIP() << "processor lacks the tier"; \
    } while (0)

}  // namespace vantorq::xxhash::testing_support
