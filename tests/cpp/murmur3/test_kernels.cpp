// Every vector block-mixing kernel against its variant's scalar routine, and
// the kernel choice for each body length and processor.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "backend/capabilities.hpp"
#include "murmur3/avx2/mix_body.hpp"
#include "murmur3/sse41/mix_body.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::murmur3 {
namespace {

using backend::Capabilities;

// A variant's state words, widened so that one test body serves all three.
using Words = std::vector<std::uint64_t>;
using MixRunner = Words (*)(const unsigned char* blocks, std::size_t byte_count, const Words& start);

template <auto Mix>
Words run_x86_32(const unsigned char* blocks, std::size_t byte_count, const Words& start) {
    return {Mix(blocks, byte_count, static_cast<std::uint32_t>(start[0]))};
}

template <auto Mix>
Words run_x86_128(const unsigned char* blocks, std::size_t byte_count, const Words& start) {
    x86_128::State h;
    for (std::size_t i = 0; i < h.size(); ++i) h[i] = static_cast<std::uint32_t>(start[i]);
    Mix(blocks, byte_count, h);
    return {h.begin(), h.end()};
}

template <auto Mix>
Words run_x64_128(const unsigned char* blocks, std::size_t byte_count, const Words& start) {
    x64_128::State h{start[0], start[1]};
    Mix(blocks, byte_count, h);
    return {h.begin(), h.end()};
}

struct Kernel {
    const char* name;
    std::uint16_t tier;  // the capability flags it needs
    std::size_t block_size;
    std::size_t vector_bytes;  // its smaller step; a main step is four vectors
    std::size_t state_words;
    std::uint64_t word_mask;
    MixRunner kernel;
    MixRunner scalar;
};

void PrintTo(const Kernel& k, std::ostream* out) { *out << k.name; }

constexpr std::uint64_t U32 = 0xffffffffu;
constexpr std::uint64_t U64 = ~std::uint64_t{0};

const Kernel KERNELS[] = {
    {"x86_32_sse41", Capabilities::SSE41, 4, 16, 1, U32, run_x86_32<sse41::mix_body_x86_32>,
     run_x86_32<x86_32::mix_body_scalar>},
    {"x86_32_avx2", Capabilities::AVX2, 4, 32, 1, U32, run_x86_32<avx2::mix_body_x86_32>,
     run_x86_32<x86_32::mix_body_scalar>},
    {"x86_128_sse41", Capabilities::SSE41, 16, 16, 4, U32, run_x86_128<sse41::mix_body_x86_128>,
     run_x86_128<x86_128::mix_body_scalar>},
    {"x86_128_avx2", Capabilities::AVX2, 16, 32, 4, U32, run_x86_128<avx2::mix_body_x86_128>,
     run_x86_128<x86_128::mix_body_scalar>},
    {"x64_128_sse41", Capabilities::SSE41, 16, 16, 2, U64, run_x64_128<sse41::mix_body_x64_128>,
     run_x64_128<x64_128::mix_body_scalar>},
    {"x64_128_avx2", Capabilities::AVX2, 16, 32, 2, U64, run_x64_128<avx2::mix_body_x64_128>,
     run_x64_128<x64_128::mix_body_scalar>},
    {"x64_128_avx2_bmi2", Capabilities::AVX2 | Capabilities::BMI2, 16, 32, 2, U64,
     run_x64_128<avx2::mix_body_x64_128_bmi2>, run_x64_128<x64_128::mix_body_scalar>},
};

std::string kernel_name(const ::testing::TestParamInfo<Kernel>& info) { return info.param.name; }

class KernelMatchesScalar : public ::testing::TestWithParam<Kernel> {
protected:
    static constexpr std::size_t ALIGNMENT = 64;

    void SetUp() override {
        if (!backend::capabilities().has(GetParam().tier)) GTEST_SKIP() << "the processor lacks this tier";
    }

    // Random bytes; `at(offset)` points `offset` bytes past a 64-byte boundary.
    void fill_random(std::size_t size) {
        storage_.resize(size + 2 * ALIGNMENT);
        for (auto& byte : storage_) byte = static_cast<unsigned char>(rng_());
    }
    unsigned char* at(std::size_t offset) {
        const auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
        return storage_.data() + (ALIGNMENT - address % ALIGNMENT) + offset;
    }

    Words random_state() {
        Words start(GetParam().state_words);
        for (auto& word : start) word = rng_() & GetParam().word_mask;
        return start;
    }

    void expect_same_state(std::size_t byte_count, std::size_t offset) {
        const Kernel& k = GetParam();
        ASSERT_EQ(byte_count % k.block_size, 0u);
        const Words start = random_state();
        EXPECT_EQ(k.kernel(at(offset), byte_count, start), k.scalar(at(offset), byte_count, start))
            << byte_count << " bytes at offset " << offset;
    }

    std::mt19937_64 rng_{0x6d75726d7572u};
    std::vector<unsigned char> storage_;
};

TEST_P(KernelMatchesScalar, EveryStepShape) {
    const Kernel& k = GetParam();
    const std::size_t vector = k.vector_bytes;
    const std::size_t main_step = 4 * vector;
    const std::size_t shapes[] = {
        0,
        k.block_size,
        vector - k.block_size,  // no vector step at all
        vector,
        main_step,
        main_step + vector,
        main_step + k.block_size,
        main_step + vector + k.block_size,
        main_step + 3 * vector + (vector - k.block_size),  // every leftover step at its largest
        3 * main_step + 2 * vector + k.block_size,
    };
    fill_random(4 * main_step);
    for (std::size_t byte_count : shapes) {
        expect_same_state(byte_count, 0);
        expect_same_state(byte_count, 1);
    }
}

TEST_P(KernelMatchesScalar, EveryAlignment) {
    const Kernel& k = GetParam();
    const std::size_t byte_count = 4 * k.vector_bytes + k.vector_bytes + k.block_size;
    fill_random(byte_count + ALIGNMENT);
    for (std::size_t offset = 0; offset < ALIGNMENT; ++offset) expect_same_state(byte_count, offset);
}

TEST_P(KernelMatchesScalar, RandomLengthsAndOffsets) {
    const Kernel& k = GetParam();
    constexpr std::size_t MAX_BYTES = 8192;
    fill_random(MAX_BYTES + ALIGNMENT);
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t byte_count = rng_() % (MAX_BYTES / k.block_size + 1) * k.block_size;
        expect_same_state(byte_count, rng_() % ALIGNMENT);
    }
}

// Uniform bytes drive the multiplies' carries to their extremes (all-ones
// lanes), which random data rarely reaches.
TEST_P(KernelMatchesScalar, UniformBytes) {
    const Kernel& k = GetParam();
    const std::size_t byte_count = 2 * 4 * k.vector_bytes + k.vector_bytes + k.block_size;
    fill_random(byte_count + ALIGNMENT);
    for (int value : {0x00, 0xff, 0x80, 0x7f, 0x01}) {
        SCOPED_TRACE(value);
        std::fill(storage_.begin(), storage_.end(), static_cast<unsigned char>(value));
        expect_same_state(byte_count, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Murmur3, KernelMatchesScalar, ::testing::ValuesIn(KERNELS), kernel_name);

// Which routine each body length gets on each processor.
struct Selection {
    const char* variant;
    std::size_t body;
    std::uint16_t caps;
    const char* expected;
};

constexpr std::uint16_t SSE41 = Capabilities::SSE41;
constexpr std::uint16_t AVX2 = Capabilities::AVX2;
constexpr std::uint16_t BMI2 = Capabilities::BMI2;
constexpr std::uint16_t ALL = SSE41 | AVX2 | BMI2 | Capabilities::SSSE3 | Capabilities::AVX512F;
constexpr std::size_t MiB = std::size_t{1} << 20;

void PrintTo(const Selection& s, std::ostream* out) {
    *out << s.variant << " body " << s.body << " caps 0x" << std::hex << s.caps;
}

template <class Fn>
std::string name_of(Fn selected, std::initializer_list<std::pair<Fn, const char*>> known) {
    for (const auto& [fn, name] : known)
        if (fn == selected) return name;
    return "unknown";
}

std::string selected(const Selection& s) {
    const Capabilities caps{s.caps};
    const std::string variant = s.variant;
    if (variant == "x86_32") {
        return name_of(x86_32::select_mix_body(s.body, caps), {{x86_32::mix_body_scalar, "scalar"},
                                                                {sse41::mix_body_x86_32, "sse41"},
                                                                {avx2::mix_body_x86_32, "avx2"}});
    }
    if (variant == "x86_128") {
        return name_of(x86_128::select_mix_body(s.body, caps), {{x86_128::mix_body_scalar, "scalar"},
                                                                 {sse41::mix_body_x86_128, "sse41"},
                                                                 {avx2::mix_body_x86_128, "avx2"}});
    }
    return name_of(x64_128::select_mix_body(s.body, caps), {{x64_128::mix_body_scalar, "scalar"},
                                                             {sse41::mix_body_x64_128, "sse41"},
                                                             {avx2::mix_body_x64_128, "avx2"},
                                                             {avx2::mix_body_x64_128_bmi2, "avx2_bmi2"}});
}

class KernelSelection : public ::testing::TestWithParam<Selection> {};

TEST_P(KernelSelection, FollowsLengthAndProcessor) {
    const Selection& s = GetParam();
    EXPECT_EQ(selected(s), s.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Murmur3, KernelSelection,
    ::testing::Values(
        Selection{"x86_32", 32, ALL, "scalar"}, Selection{"x86_32", 60, ALL, "scalar"},
        Selection{"x86_32", 64, ALL, "avx2"}, Selection{"x86_32", 60, SSE41, "scalar"},
        Selection{"x86_32", 64, SSE41, "sse41"}, Selection{"x86_32", 60, AVX2, "scalar"},
        Selection{"x86_32", 64, AVX2, "avx2"}, Selection{"x86_32", MiB, 0, "scalar"},
        Selection{"x86_128", 240, ALL, "scalar"}, Selection{"x86_128", 256, ALL, "avx2"},
        Selection{"x86_128", 256, AVX2, "avx2"}, Selection{"x86_128", 256, SSE41, "scalar"},
        Selection{"x86_128", 16 * MiB - 16, SSE41, "scalar"}, Selection{"x86_128", 16 * MiB, SSE41, "sse41"},
        Selection{"x86_128", 64 * MiB, 0, "scalar"}, Selection{"x64_128", 496, ALL, "scalar"},
        Selection{"x64_128", 512, ALL, "avx2_bmi2"}, Selection{"x64_128", 512, SSE41 | AVX2, "avx2"},
        Selection{"x64_128", 512, SSE41 | BMI2, "sse41"}, Selection{"x64_128", 8 * MiB, SSE41, "sse41"},
        Selection{"x64_128", 8 * MiB + 16, SSE41, "scalar"}, Selection{"x64_128", 8 * MiB + 16, AVX2, "avx2"},
        Selection{"x64_128", 512, 0, "scalar"}));

}  // namespace
}  // namespace vantorq::murmur3
