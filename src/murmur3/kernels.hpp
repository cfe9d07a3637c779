#pragma once
// The MurmurHash3 kernel table: for each variant, its vector block-mixing
// kernels with the body lengths each one mixes, and x64_128's routine for
// many messages. One pure function builds it from a processor description;
// this process's is built on first use. Which kernel mixes a body is still
// decided per call, by the body's length, from the table alone.

#include <cstddef>
#include <limits>
#include <string_view>

#include "backend/capabilities.hpp"
#include "backend/kernel_choice.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::murmur3 {

inline constexpr std::size_t ANY_LENGTH = std::numeric_limits<std::size_t>::max();

// A block-mixing routine and the body lengths it mixes, `from` to `up_to`
// bytes, both included. An unset one takes no length: a body is a whole
// number of blocks, never ANY_LENGTH bytes.
template <class MixBody>
struct BodyKernel {
    MixBody mix = nullptr;
    std::size_t from = ANY_LENGTH;
    std::size_t up_to = ANY_LENGTH;
    std::string_view name = "none";  // the tier it comes from, for the processor report

    [[gnu::always_inline]] constexpr bool takes(std::size_t byte_count) const {
        return from <= byte_count && byte_count <= up_to;
    }
    constexpr bool is_set() const { return mix != nullptr; }
};

// A variant's block mixing: the AVX2 kernel where it takes the body's length,
// else the SSE4.1 kernel where it does, else the scalar routine (which takes
// every length).
template <class MixBody>
struct BodyKernels {
    BodyKernel<MixBody> avx2;
    BodyKernel<MixBody> sse41;
    BodyKernel<MixBody> scalar;

    [[gnu::always_inline]] const BodyKernel<MixBody>& for_body(std::size_t byte_count) const {
        if (avx2.takes(byte_count)) return avx2;
        if (sse41.takes(byte_count)) return sse41;
        return scalar;
    }
};

struct Kernels {
    BodyKernels<x86_32::MixBody> x86_32;
    BodyKernels<x86_128::MixBody> x86_128;
    BodyKernels<x64_128::MixBody> x64_128;
    x64_128::ManyMessages x64_128_many;
};

// The table for a processor with the features of `processor`.
Kernels for_processor(const backend::Processor& processor);

// This process's table, built on first use.
inline const Kernels& kernels() {
    static const Kernels KERNELS = for_processor(backend::processor());
    return KERNELS;
}

// What the table chose, one line per role: "x86_32", "x86_128", "x64_128"
// (the kernel of each variant's long bodies), "x86_32_short" (x86_32 bodies
// just too short for its AVX2 kernel) and "x64_128_many" (many messages at
// once).
backend::KernelChoices kernel_choices(const Kernels& table);

// Each tier's part of the table, filled over the scalar one in tier order
// (kernels.cpp). Compiled without the tiers' instruction sets: these run on
// every processor and only take the kernels' addresses.
namespace sse41 {
void fill(Kernels& table);
}
namespace avx2 {
void fill(Kernels& table);
// x64_128's AVX2 kernel with RORX in its serial fold.
void fill_bmi2(Kernels& table);
}  // namespace avx2
namespace avx512 {
void fill(Kernels& table);
}

// Each variant's block mixing: the table's routine for the body's length.
namespace x86_32 {
[[gnu::always_inline]] inline std::uint32_t mix_body(const unsigned char* blocks, std::size_t byte_count,
                                                     std::uint32_t h1, const Kernels& table = kernels()) {
    return table.x86_32.for_body(byte_count).mix(blocks, byte_count, h1);
}
}  // namespace x86_32

namespace x86_128 {
[[gnu::always_inline]] inline void mix_body(const unsigned char* blocks, std::size_t byte_count, State& h,
                                            const Kernels& table = kernels()) {
    table.x86_128.for_body(byte_count).mix(blocks, byte_count, h);
}
}  // namespace x86_128

namespace x64_128 {
[[gnu::always_inline]] inline void mix_body(const unsigned char* blocks, std::size_t byte_count, State& h,
                                            const Kernels& table = kernels()) {
    table.x64_128.for_body(byte_count).mix(blocks, byte_count, h);
}

// out[i] = the hash of messages[i] with `seed`, on the table's routine for many messages.
[[gnu::always_inline]] inline void hash_each(Messages messages, std::uint32_t seed, State* out,
                                             const Kernels& table = kernels()) {
    table.x64_128_many.hash_each(messages, seed, out, table);
}
}  // namespace x64_128

}  // namespace vantorq::murmur3
