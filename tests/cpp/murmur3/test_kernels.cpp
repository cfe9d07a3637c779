// Every vector block-mixing kernel of the tiers' tables against its
// variant's scalar routine; which kernel a table gives each body length; and
// each tier's one-shot hashes and hashers across the kernels' entry lengths.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "backend/tiers.hpp"
#include "murmur3/incremental.hpp"
#include "murmur3/kernels.hpp"
#include "murmur3/tier_tables.hpp"

namespace vantorq::murmur3 {
namespace {

using backend::Capabilities;

// A variant's state words, widened so that one test body serves all three.
using Words = std::vector<std::uint64_t>;
using MixRunner = std::function<Words(const unsigned char* blocks, std::size_t byte_count, const Words& start)>;

MixRunner runner(x86_32::MixBody mix) {
    return [mix](const unsigned char* blocks, std::size_t byte_count, const Words& start) -> Words {
        return {mix(blocks, byte_count, static_cast<std::uint32_t>(start[0]))};
    };
}

MixRunner runner(x86_128::MixBody mix) {
    return [mix](const unsigned char* blocks, std::size_t byte_count, const Words& start) {
        x86_128::State h;
        for (std::size_t i = 0; i < h.size(); ++i) h[i] = static_cast<std::uint32_t>(start[i]);
        mix(blocks, byte_count, h);
        return Words(h.begin(), h.end());
    };
}

MixRunner runner(x64_128::MixBody mix) {
    return [mix](const unsigned char* blocks, std::size_t byte_count, const Words& start) {
        x64_128::State h{start[0], start[1]};
        mix(blocks, byte_count, h);
        return Words(h.begin(), h.end());
    };
}

struct Kernel {
    std::string name;
    backend::Processor processor;  // of the tier whose table holds it
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

// Each vector kernel of the tiers' tables once, named after the first tier
// that holds it; and the AVX2 x64_128 kernel without BMI2, which no tier's
// table holds (every described AVX2 processor has BMI2).
std::vector<Kernel> kernels_of_tiers() {
    std::vector<backend::DescribedTier> tiers(backend::TIERS.begin(), backend::TIERS.end());
    tiers.push_back({"avx2_without_bmi2", {{Capabilities::SSE41 | Capabilities::AVX2}}});
    std::vector<Kernel> found;
    std::set<const void*> seen;
    const auto add = [&](const backend::DescribedTier& tier, const char* variant, const auto& kernels,
                         std::size_t block_size, std::size_t state_words, std::uint64_t mask) {
        for (const auto* slot : {&kernels.avx2, &kernels.sse41}) {
            if (!slot->is_set() || !seen.insert(reinterpret_cast<const void*>(slot->mix)).second) continue;
            found.push_back({std::string(tier.name) + "_" + variant + "_" + std::string(slot->name), tier.processor,
                             block_size, slot == &kernels.sse41 ? 16u : 32u, state_words, mask, runner(slot->mix),
                             runner(kernels.scalar.mix)});
        }
    };
    for (const auto& tier : tiers) {
        const Kernels table = for_processor(tier.processor);
        add(tier, "x86_32", table.x86_32, 4, 1, U32);
        add(tier, "x86_128", table.x86_128, 16, 4, U32);
        add(tier, "x64_128", table.x64_128, 16, 2, U64);
    }
    return found;
}

std::string kernel_name(const ::testing::TestParamInfo<Kernel>& info) { return info.param.name; }

class KernelMatchesScalar : public ::testing::TestWithParam<Kernel> {
protected:
    static constexpr std::size_t ALIGNMENT = 64;

    void SetUp() override {
        if (!backend::processor().runs(GetParam().processor)) GTEST_SKIP() << "the processor lacks this tier";
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

INSTANTIATE_TEST_SUITE_P(Murmur3, KernelMatchesScalar, ::testing::ValuesIn(kernels_of_tiers()), kernel_name);
// Where MurmurHash3 has no vector kernel (aarch64) there is nothing to compare.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(KernelMatchesScalar);

#if defined(__x86_64__)
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

std::string_view selected(const Selection& s) {
    const Kernels table = for_processor({.capabilities = {s.caps}});
    const std::string_view variant = s.variant;
    if (variant == "x86_32") return table.x86_32.for_body(s.body).name;
    if (variant == "x86_128") return table.x86_128.for_body(s.body).name;
    return table.x64_128.for_body(s.body).name;
}

class KernelSelection : public ::testing::TestWithParam<Selection> {};

TEST_P(KernelSelection, FollowsLengthAndProcessor) {
    const Selection& s = GetParam();
    EXPECT_EQ(selected(s), s.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Murmur3, KernelSelection,
    ::testing::Values(
        Selection{"x86_32", 12, ALL, "scalar"}, Selection{"x86_32", 16, ALL, "scalar"},
        Selection{"x86_32", 28, ALL, "scalar"}, Selection{"x86_32", 32, ALL, "avx2"},
        Selection{"x86_32", 32, SSE41, "sse41"}, Selection{"x86_32", 16, AVX2, "scalar"},
        Selection{"x86_32", 32, AVX2, "avx2"}, Selection{"x86_32", MiB, 0, "scalar"},
        Selection{"x86_128", 112, ALL, "scalar"}, Selection{"x86_128", 128, ALL, "avx2"},
        Selection{"x86_128", 128, AVX2, "avx2"}, Selection{"x86_128", 128, SSE41, "scalar"},
        Selection{"x86_128", 16 * MiB - 16, SSE41, "scalar"}, Selection{"x86_128", 16 * MiB, SSE41, "sse41"},
        Selection{"x86_128", 64 * MiB, 0, "scalar"}, Selection{"x64_128", 496, ALL, "scalar"},
        Selection{"x64_128", 512, ALL, "avx2_bmi2"}, Selection{"x64_128", 512, SSE41 | AVX2, "avx2"},
        Selection{"x64_128", 512, SSE41 | BMI2, "sse41"}, Selection{"x64_128", 8 * MiB, SSE41, "sse41"},
        Selection{"x64_128", 8 * MiB + 16, SSE41, "scalar"}, Selection{"x64_128", 8 * MiB + 16, AVX2, "avx2"},
        Selection{"x64_128", 512, 0, "scalar"}));
#endif

// Each tier's one-shot hashes and hashers, through its table, just below,
// at and above every length where a kernel starts or stops, against the
// scalar tier's.
class ThroughTheTable : public OnEachTier {
protected:
    static const std::vector<unsigned char>& bytes() {
        static const std::vector<unsigned char> BYTES = [] {
            std::vector<unsigned char> v((std::size_t{16} << 20) + 64);
            std::mt19937_64 rng(0x7461626c65u);
            for (auto& b : v) b = static_cast<unsigned char>(rng());
            return v;
        }();
        return BYTES;
    }

    template <auto HASH>
    void expect_as_scalar(std::initializer_list<std::size_t> entries) {
        for (const std::size_t entry : entries) {
            for (const std::size_t len : {entry - 16, entry - 4, entry - 1, entry, entry + 3, entry + 4, entry + 16}) {
                const unsigned char* data = bytes().data() + len % 7;
                ASSERT_EQ(HASH(data, len, 0x5eed, table_), HASH(data, len, 0x5eed, scalar_)) << len << " bytes";
            }
        }
    }

    // Runs one block below, at and one above each entry length, then a tail.
    template <class Hasher, auto HASH>
    void expect_hasher_as_scalar(std::initializer_list<std::size_t> entries) {
        Hasher hasher(0x5eed, table_);
        std::size_t fed = 0;
        const auto feed = [&](std::size_t piece) {
            hasher.update(bytes().data() + fed, piece);
            fed += piece;
        };
        for (const std::size_t entry : entries)
            for (const std::size_t piece : {entry - Hasher::BLOCK_SIZE, entry, entry + Hasher::BLOCK_SIZE}) feed(piece);
        feed(3);
        EXPECT_EQ(hasher.finish(), HASH(bytes().data(), fed, 0x5eed, scalar_));
    }
};

TEST_P(ThroughTheTable, X86_32) {
    expect_as_scalar<x86_32::hash_with>({x86_32::SSE41_FROM, x86_32::AVX2_FROM, 1024});
    expect_hasher_as_scalar<incremental::Murmur3X86Hasher32, x86_32::hash_with>(
        {x86_32::SSE41_FROM, x86_32::AVX2_FROM});
}

TEST_P(ThroughTheTable, X86_128) {
    expect_as_scalar<x86_128::hash_with>({x86_128::AVX2_FROM, x86_128::SSE41_FROM});
    expect_hasher_as_scalar<incremental::Murmur3X86Hasher128, x86_128::hash_with>({x86_128::AVX2_FROM});
}

TEST_P(ThroughTheTable, X64_128) {
    expect_as_scalar<x64_128::hash_with>({x64_128::VECTOR_FROM, x64_128::SSE41_UP_TO + 16});
    expect_hasher_as_scalar<incremental::Murmur3X64Hasher128, x64_128::hash_with>({x64_128::VECTOR_FROM});
}

INSTANTIATE_TEST_SUITE_P(Tiers, ThroughTheTable, ::testing::ValuesIn(backend::TIERS), tier_name);

}  // namespace
}  // namespace vantorq::murmur3
