// Every vector kernel against the scalar one: the long-input engine's
// accumulator words (at unaligned addresses, on the default and a derived
// secret), its streaming stripes kernel, and the XXH32 and XXH64 block loops.

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <tuple>

#include "support.hpp"
#include "xxhash/avx2/accumulate.hpp"
#include "xxhash/avx512/accumulate.hpp"
#include "xxhash/avx512/xxh32_blocks.hpp"
#include "xxhash/avx512/xxh64_blocks.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/long_inputs.hpp"
#include "xxhash/sse41/xxh32_blocks.hpp"
#include "xxhash/ssse3/accumulate.hpp"

namespace vantorq::xxhash::long_inputs {
namespace {

using testing_support::pattern;
using C = backend::Capabilities;

constexpr std::uint64_t ARBITRARY_SEED = 0x5F0B3C7A91D2E486ull;

Secret derived_secret(std::uint64_t seed) {
    Secret secret;
    initialize_secret_scalar(secret.data(), seed);
    return secret;
}

// Block and stripe boundaries, plus lengths drawn once from a fixed generator.
std::vector<std::size_t> kernel_lengths() {
    std::vector<std::size_t> lengths = {241, 256, 1023, 1024, 1025, 1088, 2047, 2048, 2049, 3072, 1'000'000};
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<std::size_t> draw(241, 70'000);
    for (int i = 0; i < 12; ++i) lengths.push_back(draw(random));
    return lengths;
}

struct KernelCase {
    const char* name;
    std::uint16_t flags;
    AccumulateKernel kernel;
};

void PrintTo(const KernelCase& c, std::ostream* os) { *os << c.name; }

class AccumulateKernelTest : public ::testing::TestWithParam<std::tuple<KernelCase, std::size_t>> {};

TEST_P(AccumulateKernelTest, GivesTheScalarWords) {
    const auto& [kernel, len] = GetParam();
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(kernel.flags);
    const Secret derived = derived_secret(ARBITRARY_SEED);
    for (const unsigned char* secret : {DEFAULT_SECRET.data(), derived.data()}) {
        for (const std::size_t offset : {0, 1, 7, 33}) {
            const unsigned char* data = pattern().data() + offset;
            EXPECT_EQ(kernel.kernel(data, len, secret), scalar::accumulate(data, len, secret))
                << "offset " << offset << (secret == derived.data() ? ", derived secret" : ", default secret");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    KernelsAndLengths, AccumulateKernelTest,
    ::testing::Combine(::testing::Values(KernelCase{"ssse3", C::SSSE3, ssse3::accumulate},
                                         KernelCase{"avx2", C::AVX2, avx2::accumulate},
                                         KernelCase{"avx512", C::AVX512F, avx512::accumulate}),
                       ::testing::ValuesIn(kernel_lengths())));

// The streaming kernels continue a block from any stripe of it, over runs that
// stop short of its end, end on it, or cross many blocks.
struct StripesKernelCase {
    const char* name;
    std::uint16_t flags;
    StripesKernel kernel;
};

void PrintTo(const StripesKernelCase& c, std::ostream* os) { *os << c.name; }

class StripesKernelTest : public ::testing::TestWithParam<std::tuple<StripesKernelCase, std::size_t>> {};

TEST_P(StripesKernelTest, GivesTheScalarWordsAndBlockPosition) {
    const auto& [kernel, stripes_in_block] = GetParam();
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(kernel.flags);
    const Secret derived = derived_secret(ARBITRARY_SEED);
    // Accumulators already well mixed, as they are mid-stream.
    const Accumulators start = scalar::accumulate(pattern().data(), 5000, DEFAULT_SECRET.data());
    for (const std::size_t stripes : {0, 1, 15, 16, 17, 33, 1000}) {
        const unsigned char* data = pattern().data() + 3;
        Accumulators vector_words = start, scalar_words = start;
        EXPECT_EQ(kernel.kernel(vector_words, data, stripes, stripes_in_block, derived.data()),
                  scalar::continue_stripes(scalar_words, data, stripes, stripes_in_block, derived.data()));
        EXPECT_EQ(vector_words, scalar_words) << stripes << " stripes";
    }
}

INSTANTIATE_TEST_SUITE_P(
    KernelsAndBlockPositions, StripesKernelTest,
    ::testing::Combine(::testing::Values(StripesKernelCase{"ssse3", C::SSSE3, ssse3::continue_stripes},
                                         StripesKernelCase{"avx2", C::AVX2, avx2::continue_stripes},
                                         StripesKernelCase{"avx512", C::AVX512F, avx512::continue_stripes}),
                       ::testing::Values(0, 1, 9, 15)));

// Streaming over whole stripes, then the final one, is the one-shot kernel.
TEST(ScalarStripesKernel, ThenTheLastStripeGivesTheOneShotWords) {
    for (const std::size_t len : {241, 1024, 1025, 4097, 70'000}) {
        Accumulators words = INITIAL_ACCUMULATORS;
        const std::size_t stripes = (len - 1) / STRIPE_LEN;
        std::size_t in_block = 0;
        for (std::size_t done = 0; done < stripes; done += 5)  // in runs of 5 stripes
            in_block = scalar::continue_stripes(words, pattern().data() + done * STRIPE_LEN,
                                                std::min<std::size_t>(5, stripes - done), in_block,
                                                DEFAULT_SECRET.data());
        accumulate_last_stripe(words, pattern().data() + len - STRIPE_LEN, DEFAULT_SECRET.data());
        EXPECT_EQ(words, scalar::accumulate(pattern().data(), len, DEFAULT_SECRET.data())) << "length " << len;
    }
}

class InitSecretTest : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(InitSecretTest, Avx2DerivesTheScalarSecret) {
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(C::AVX2);
    Secret vector_secret;
    avx2::init_secret(vector_secret.data(), GetParam());
    EXPECT_EQ(vector_secret, derived_secret(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, InitSecretTest,
                         ::testing::Values(1, ~0ull, 1ull << 63, 0xffffffffull, ARBITRARY_SEED));

TEST(InitSecret, SeedZeroKeepsTheDefaultSecret) { EXPECT_EQ(derived_secret(0), DEFAULT_SECRET); }

// The fused one-block hashes against the scalar kernel followed by the merge,
// for every medium length, at aligned and unaligned starts.
class MediumHashTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(MediumHashTest, Fused64EqualsAccumulateThenFinalize) {
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(C::AVX2);
    const unsigned char* data = pattern().data() + GetParam();
    for (std::size_t len = MIDSIZE_MAX + 1; len <= BLOCK_LEN; ++len) {
        const std::uint64_t expected =
            finalize_long_64(len, DEFAULT_SECRET.data(), scalar::accumulate(data, len, DEFAULT_SECRET.data()));
        ASSERT_EQ(avx2::hash_64_medium(data, len), expected) << "length " << len;
    }
}

TEST_P(MediumHashTest, Fused128EqualsAccumulateThenFinalize) {
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(C::AVX2);
    const unsigned char* data = pattern().data() + GetParam();
    for (std::size_t len = MIDSIZE_MAX + 1; len <= BLOCK_LEN; ++len) {
        const Hash128 expected =
            finalize_long_128(len, DEFAULT_SECRET.data(), scalar::accumulate(data, len, DEFAULT_SECRET.data()));
        const Hash128 fused = avx2::hash_128_medium(data, len);
        ASSERT_EQ(fused.low, expected.low) << "length " << len;
        ASSERT_EQ(fused.high, expected.high) << "length " << len;
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, MediumHashTest, ::testing::Values(0, 1, 5, 63));

// Inputs of one run share (len - 1) / 64 but may differ in length; each
// starts at its own unaligned address in a different part of the pattern.
std::vector<ByteView> run_inputs(std::size_t stripe_index, std::size_t count, bool equal_lengths) {
    static constexpr std::size_t LAST_BYTE_IN_STRIPE[] = {63, 0, 40, 17};
    std::vector<ByteView> inputs;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t len = STRIPE_LEN * stripe_index + 1 + (equal_lengths ? 63 : LAST_BYTE_IN_STRIPE[i]);
        const std::size_t start = (i * 100'003 + 2 * i + 1) % (pattern().size() - len);
        inputs.push_back({pattern().data() + start, std::max(len, MIDSIZE_MAX + 1)});
    }
    return inputs;
}

template <std::size_t N>
std::vector<Accumulators> run_batch_kernel(const std::vector<ByteView>& inputs, const unsigned char* secret) {
    ByteView in[N];
    Accumulators out[N];
    std::copy_n(inputs.begin(), N, in);
    avx2::accumulate_batch<N>(in, secret, out);
    return {out, out + N};
}

std::vector<Accumulators> run_batch(const std::vector<ByteView>& inputs, const unsigned char* secret) {
    switch (inputs.size()) {
        case 2: return run_batch_kernel<2>(inputs, secret);
        case 3: return run_batch_kernel<3>(inputs, secret);
        default: return run_batch_kernel<4>(inputs, secret);
    }
}

class BatchKernelTest : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t, bool>> {};

TEST_P(BatchKernelTest, EachInputGetsItsScalarWords) {
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(C::AVX2);
    const auto& [count, stripe_index, equal_lengths] = GetParam();
    const std::vector<ByteView> inputs = run_inputs(stripe_index, count, equal_lengths);
    const Secret derived = derived_secret(ARBITRARY_SEED);
    for (const unsigned char* secret : {DEFAULT_SECRET.data(), derived.data()}) {
        const std::vector<Accumulators> out = run_batch(inputs, secret);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(out[i], scalar::accumulate(inputs[i].data, inputs[i].len, secret))
                << "input " << i << " of length " << inputs[i].len;
    }
}

// Stripe indices 3 and 15 have no full block, 16 ends just past one, the
// others cross several; 15624 is the stripe index of 1,000,000 bytes.
INSTANTIATE_TEST_SUITE_P(RunShapes, BatchKernelTest,
                         ::testing::Combine(::testing::Values(2, 3, 4),
                                            ::testing::Values(3, 4, 15, 16, 17, 31, 32, 47, 100, 15624),
                                            ::testing::Bool()));

}  // namespace
}  // namespace vantorq::xxhash::long_inputs

namespace vantorq::xxhash::classic {
namespace {

using testing_support::pattern;
using C = backend::Capabilities;

// The hash of data[0, len) with its blocks mixed by `KERNEL`.
template <class Width, BlocksKernel<Width> KERNEL>
std::uint64_t hash_by(const unsigned char* data, std::size_t len, std::uint64_t seed) {
    using Steps = Algorithm<Width>;
    const auto word_seed = static_cast<typename Width::Word>(seed);
    typename Steps::Lanes lanes = Steps::start(word_seed);
    const std::size_t blocks = len / Steps::BLOCK_SIZE;
    KERNEL(lanes, data, blocks);
    return Steps::finish(lanes, word_seed, len, data + blocks * Steps::BLOCK_SIZE);
}

using HashBy = std::uint64_t (*)(const unsigned char* data, std::size_t len, std::uint64_t seed);

struct BlocksKernelCase {
    const char* name;
    std::uint16_t flags;
    HashBy tier;
    HashBy one_word_loop;
};

void PrintTo(const BlocksKernelCase& c, std::ostream* os) { *os << c.name; }

const BlocksKernelCase BLOCKS_KERNELS[] = {
    {"xxh32_sse41", C::SSE41, hash_by<Width32, sse41::mix_xxh32_blocks>, hash_by<Width32, mix_xxh32_blocks_scalar>},
    {"xxh32_avx512", C::AVX512F, hash_by<Width32, avx512::mix_xxh32_blocks>,
     hash_by<Width32, mix_xxh32_blocks_scalar>},
    {"xxh64_avx512dq", C::AVX512F, hash_by<Width64, avx512::mix_xxh64_blocks>,
     hash_by<Width64, mix_xxh64_blocks_scalar>},
};

class BlocksKernelTest : public ::testing::TestWithParam<BlocksKernelCase> {};

// Every length to 1100 (every block count to 68 or 34 with every tail) with a
// seed drawn for each, at an odd address; then long inputs.
TEST_P(BlocksKernelTest, HashesAsTheOneWordLoopDoes) {
    VANTORQ_SKIP_UNLESS_PROCESSOR_HAS(GetParam().flags);
    std::mt19937_64 random(0x5EED);
    std::vector<std::size_t> lengths(1101);
    std::iota(lengths.begin(), lengths.end(), 0);
    lengths.insert(lengths.end(), {16'000, 32'000, 1u << 20});
    for (const std::size_t len : lengths) {
        const std::uint64_t seed = random();
        const unsigned char* data = pattern().data() + 1 + len % 7;
        EXPECT_EQ(GetParam().tier(data, len, seed), GetParam().one_word_loop(data, len, seed))
            << len << " bytes, seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Tiers, BlocksKernelTest, ::testing::ValuesIn(BLOCKS_KERNELS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BlocksKernelSelection, PrefersTheWidestTierThatIsQuick) {
    using backend::Processor, backend::Vendor;
    const auto select_32 = [](std::uint16_t flags) { return select_xxh32_blocks({.capabilities = {flags}}); };
    EXPECT_EQ(select_32(0), mix_xxh32_blocks_scalar);
    EXPECT_EQ(select_32(C::SSSE3), mix_xxh32_blocks_scalar);
    EXPECT_EQ(select_32(C::SSSE3 | C::SSE41 | C::AVX2), sse41::mix_xxh32_blocks);
    EXPECT_EQ(select_32(C::SSSE3 | C::SSE41 | C::AVX2 | C::AVX512F), avx512::mix_xxh32_blocks);


    // XXH64's vector loop only where VPMULLQ is as quick as a scalar multiply.
    const auto select_64 = [](std::uint16_t extensions, Vendor vendor) {
        return select_xxh64_blocks({.capabilities = {C::SSSE3 | C::SSE41 | C::AVX2 | C::AVX512F},
                                    .extensions = extensions,
                                    .vendor = vendor});
    };
    constexpr std::uint16_t DQ_VL = Processor::AVX512DQ | Processor::AVX512VL;
    EXPECT_EQ(select_xxh64_blocks({}), mix_xxh64_blocks_scalar);
    EXPECT_EQ(select_64(DQ_VL, Vendor::Intel), mix_xxh64_blocks_scalar);
    EXPECT_EQ(select_64(Processor::AVX512DQ, Vendor::Amd), mix_xxh64_blocks_scalar);
    EXPECT_EQ(select_64(DQ_VL, Vendor::Amd), avx512::mix_xxh64_blocks);
}

}  // namespace
}  // namespace vantorq::xxhash::classic
