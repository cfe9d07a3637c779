// Every vector kernel of the long-input engine against the scalar kernel:
// the same eight accumulator words, at unaligned addresses, on the default
// and a derived secret.

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "support.hpp"
#include "xxhash/avx2/accumulate.hpp"
#include "xxhash/avx512/accumulate.hpp"
#include "xxhash/long_inputs.hpp"
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
