#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base64/decode.hpp"
#include "base64/described_tiers.hpp"
#include "base64/lengths.hpp"
#include "base64/reference.hpp"

namespace vantorq::base64 {
namespace {

using decode::DecodedPrefix;
using decode::MixedDecoder;
using decode::StandardDecoder;
using decode::UrlSafeDecoder;
using decode::ValidatedStandardDecoder;
using error::KernelResult;
using testing::CanaryDestination;
using testing::GuardedBytes;
using testing::random_bytes;
using testing::reference_encode;
using testing::TierTable;
using runtime_dispatch::Tier;

std::vector<std::size_t> text_lengths() {
    std::vector<std::size_t> lengths;
    for (std::size_t len = 0; len <= 300; ++len) lengths.push_back(len);
    for (const std::size_t len : {383u, 384u, 385u, 1000u, 4099u}) lengths.push_back(len);
    return lengths;
}

// The scalar decoder's output for the first `count` characters (a multiple of 4).
std::string scalar_decoded(const unsigned char* text, std::size_t count, DecodeAlphabet alphabet) {
    std::string out(count / 4 * 3, '\0');
    const KernelResult result = decode::decode_to_ptr_with_layout_mode_on(
        testing::scalar_table(), text, count, reinterpret_cast<unsigned char*>(out.data()), 0, alphabet);
    if (!result.ok()) ADD_FAILURE() << "the scalar decoder rejects the expected output";
    return out;
}

std::vector<unsigned char> random_text(std::size_t len, const std::string& symbols, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<unsigned char> text(len);
    for (auto& c : text) c = static_cast<unsigned char>(symbols[rng() % symbols.size()]);
    return text;
}

// --- the kernels of each tier's table, called directly ---

using DecodeKernel = KernelResult (*)(const unsigned char*, std::size_t, unsigned char*);
using PrefixKernel = DecodedPrefix (*)(const unsigned char*, std::size_t, unsigned char*);

struct TierKernels {
    std::string name;
    backend::Processor processor;
    bool masked_tail;  // whole quanta from 64 characters on, not whole 16-character blocks
    DecodeKernel standard, url_safe, mixed, validated;
    PrefixKernel prefix_standard, prefix_mixed;

    // Where a kernel over `len` characters stops when the first `limit` are
    // valid: at whole 16-character blocks, or on AVX-512 from 64 characters
    // at whole quanta.
    std::size_t stop(std::size_t len, std::size_t limit) const {
        return masked_tail && len >= 64 ? limit / 4 * 4 : limit / 16 * 16;
    }
    std::size_t handled(std::size_t len) const { return stop(len, len); }
    friend void PrintTo(const TierKernels& tier, std::ostream* os) { *os << tier.name; }
};

std::vector<TierKernels> tier_kernels() {
    std::vector<TierKernels> tiers;
    for (const TierTable& tier : testing::tier_tables()) {
        const runtime_dispatch::DecodeKernels& d = tier.table.decoders;
        if (d.standard == nullptr) continue;
        tiers.push_back({tier.name, tier.processor, tier.table.tier == Tier::Avx512, d.standard, d.url_safe, d.mixed,
                         d.validated_standard, d.prefix_standard, d.prefix_mixed});
    }
    return tiers;
}

const std::vector<TierKernels> TIERS = tier_kernels();

struct ContractCase {
    const char* name;
    DecodeAlphabet alphabet;  // the scalar decoder's table for the same contract
    std::string symbols;
    DecodeKernel TierKernels::*decode;
    PrefixKernel TierKernels::*prefix;  // null where the contract has no prefix kernel
    const decode::NibbleClasses* low_classes;
    const decode::NibbleClasses* high_classes;
    friend void PrintTo(const ContractCase& contract, std::ostream* os) { *os << contract.name; }
};

const std::string STANDARD_TEXT(STANDARD_SYMBOLS.begin(), STANDARD_SYMBOLS.end());
const std::string URL_TEXT(URL_SAFE_SYMBOLS.begin(), URL_SAFE_SYMBOLS.end());

const ContractCase STANDARD_CONTRACT{"standard", DecodeAlphabet::Standard, STANDARD_TEXT, &TierKernels::standard,
                                     &TierKernels::prefix_standard, &StandardDecoder::LOW_NIBBLE_CLASSES,
                                     &StandardDecoder::HIGH_NIBBLE_CLASSES};
const ContractCase URL_SAFE_CONTRACT{"url_safe", DecodeAlphabet::UrlSafe, URL_TEXT, &TierKernels::url_safe, nullptr,
                                     &UrlSafeDecoder::LOW_NIBBLE_CLASSES, &UrlSafeDecoder::HIGH_NIBBLE_CLASSES};
const ContractCase MIXED_CONTRACT{"mixed", DecodeAlphabet::Mixed, STANDARD_TEXT + "-_", &TierKernels::mixed,
                                  &TierKernels::prefix_mixed, &MixedDecoder::LOW_NIBBLE_CLASSES,
                                  &MixedDecoder::HIGH_NIBBLE_CLASSES};
const ContractCase VALIDATED_CONTRACT{"validated_standard", DecodeAlphabet::Standard, STANDARD_TEXT,
                                      &TierKernels::validated, nullptr, nullptr, nullptr};

const ContractCase CHECKING_CONTRACTS[] = {STANDARD_CONTRACT, URL_SAFE_CONTRACT, MIXED_CONTRACT};
const ContractCase PREFIX_CONTRACTS[] = {STANDARD_CONTRACT, MIXED_CONTRACT};

std::vector<unsigned char> bytes_outside(DecodeAlphabet alphabet) {
    std::vector<unsigned char> outside;
    for (unsigned byte = 0; byte < 256; ++byte)
        if (decode_table(alphabet)[byte] == INVALID_SYMBOL) outside.push_back(static_cast<unsigned char>(byte));
    return outside;
}

class NibbleClasses : public ::testing::TestWithParam<ContractCase> {};

TEST_P(NibbleClasses, AcceptExactlyTheScalarTablesSymbols) {
    const ContractCase& contract = GetParam();
    for (unsigned byte = 0; byte < 256; ++byte) {
        const bool accepted = ((*contract.low_classes)[byte & 15] & (*contract.high_classes)[byte >> 4]) == 0;
        EXPECT_EQ(accepted, decode_table(contract.alphabet)[byte] != INVALID_SYMBOL) << "byte " << byte;
    }
}

INSTANTIATE_TEST_SUITE_P(Contracts, NibbleClasses, ::testing::ValuesIn(CHECKING_CONTRACTS),
                         [](const auto& info) { return std::string(info.param.name); });

std::string tuple_name(const TierKernels& tier, const ContractCase& contract) { return tier.name + "_" + contract.name; }

class DecodeKernelTest : public ::testing::TestWithParam<std::tuple<TierKernels, ContractCase>> {
protected:
    void SetUp() override {
        if (!vantorq::backend::processor().runs(std::get<0>(GetParam()).processor))
            GTEST_SKIP() << "processor lacks this tier";
    }
};

using VectorDecode = DecodeKernelTest;

TEST_P(VectorDecode, EqualsTheScalarDecoderWithinExactBounds) {
    const auto& [tier, contract] = GetParam();
    for (const std::size_t len : text_lengths()) {
        const auto text = random_text(len, contract.symbols, static_cast<std::uint32_t>(len));
        const GuardedBytes source(text);
        CanaryDestination dst(len / 4 * 3, len % 32);
        const KernelResult result = (tier.*contract.decode)(source.data(), len, dst.data());
        ASSERT_TRUE(result.ok()) << len;
        ASSERT_EQ(result.consumed, tier.handled(len)) << len;
        ASSERT_EQ(result.written, result.consumed / 4 * 3) << len;
        ASSERT_EQ(dst.prefix(result.written), scalar_decoded(text.data(), result.consumed, contract.alphabet)) << len;
        ASSERT_TRUE(dst.untouched_from(result.written)) << "wrote past its output: " << len;
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndContracts, VectorDecode,
                         ::testing::Combine(::testing::ValuesIn(TIERS),
                                            ::testing::Values(STANDARD_CONTRACT, URL_SAFE_CONTRACT, MIXED_CONTRACT,
                                                              VALIDATED_CONTRACT)),
                         [](const auto& info) { return tuple_name(std::get<0>(info.param), std::get<1>(info.param)); });

using VectorDecodeEveryByte = DecodeKernelTest;

// Every byte value at every position of a 100-character text: rejected
// exactly when the scalar table rejects it and the kernel reaches it.
TEST_P(VectorDecodeEveryByte, RejectsExactlyTheBytesOutsideTheAlphabet) {
    const auto& [tier, contract] = GetParam();
    const std::size_t len = 100;
    auto text = random_text(len, contract.symbols, 100);
    const DecodeTable& table = decode_table(contract.alphabet);
    std::vector<unsigned char> out(len / 4 * 3);
    for (std::size_t pos = 0; pos < len; ++pos) {
        const unsigned char original = text[pos];
        for (unsigned byte = 0; byte < 256; ++byte) {
            text[pos] = static_cast<unsigned char>(byte);
            const KernelResult result = (tier.*contract.decode)(text.data(), len, out.data());
            if (table[byte] == INVALID_SYMBOL && pos < tier.handled(len)) {
                ASSERT_EQ(result, KernelResult::invalid_input()) << "byte " << byte << " at " << pos;
                continue;
            }
            ASSERT_TRUE(result.ok()) << "byte " << byte << " at " << pos;
            ASSERT_EQ(result.consumed, tier.handled(len));
            ASSERT_EQ(testing::as_string(out.data(), result.written),
                      scalar_decoded(text.data(), result.consumed, contract.alphabet))
                << "byte " << byte << " at " << pos;
        }
        text[pos] = original;
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndContracts, VectorDecodeEveryByte,
                         ::testing::Combine(::testing::ValuesIn(TIERS), ::testing::ValuesIn(CHECKING_CONTRACTS)),
                         [](const auto& info) { return tuple_name(std::get<0>(info.param), std::get<1>(info.param)); });

using VectorDecodeFailure = DecodeKernelTest;

// A failing decode may leave decoded bytes behind, but only inside a
// destination of the decoded length: whole-register stores that a later step
// would have overwritten must not reach past it when that step fails.
TEST_P(VectorDecodeFailure, StaysInsideAnExactDestination) {
    const auto& [tier, contract] = GetParam();
    const auto outside = bytes_outside(contract.alphabet);
    for (std::size_t len = 16; len <= 300; ++len) {
        const auto text = random_text(len, contract.symbols, static_cast<std::uint32_t>(len + 3));
        GuardedBytes source(text);
        for (std::size_t bad = 0; bad < tier.handled(len); ++bad) {
            source.data()[bad] = outside[(bad * 7 + len) % outside.size()];
            CanaryDestination dst(len / 4 * 3, (bad + len) % 32);
            ASSERT_EQ((tier.*contract.decode)(source.data(), len, dst.data()), KernelResult::invalid_input())
                << len << " with an invalid byte at " << bad;
            ASSERT_TRUE(dst.untouched_from(len / 4 * 3)) << len << " with an invalid byte at " << bad;
            source.data()[bad] = text[bad];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndContracts, VectorDecodeFailure,
                         ::testing::Combine(::testing::ValuesIn(TIERS), ::testing::ValuesIn(CHECKING_CONTRACTS)),
                         [](const auto& info) { return tuple_name(std::get<0>(info.param), std::get<1>(info.param)); });

using VectorDecodePrefix = DecodeKernelTest;

// One invalid byte at every position (and none) of every length: the prefix
// stops before the block that holds it, 16 characters on the narrow tiers and
// one quantum on AVX-512 from 64 characters on.
TEST_P(VectorDecodePrefix, StopsBeforeTheBlockWithTheFirstInvalidByte) {
    const auto& [tier, contract] = GetParam();
    const auto outside = bytes_outside(contract.alphabet);
    for (std::size_t len = 0; len <= 300; ++len) {
        const auto text = random_text(len, contract.symbols, static_cast<std::uint32_t>(len + 7));
        GuardedBytes source(text);
        for (std::size_t bad = 0; bad <= len; ++bad) {
            if (bad < len) source.data()[bad] = outside[(bad + len) % outside.size()];
            CanaryDestination dst(len / 4 * 3, bad % 32);
            const DecodedPrefix prefix = (tier.*contract.prefix)(source.data(), len, dst.data());
            ASSERT_EQ(prefix.consumed, tier.stop(len, bad))
                << len << " with an invalid byte at " << bad;
            ASSERT_EQ(prefix.written, prefix.consumed / 4 * 3);
            ASSERT_EQ(dst.prefix(prefix.written), scalar_decoded(text.data(), prefix.consumed, contract.alphabet))
                << len << " with an invalid byte at " << bad;
            ASSERT_TRUE(dst.untouched_from(prefix.written)) << len << " with an invalid byte at " << bad;
            if (bad < len) source.data()[bad] = text[bad];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndContracts, VectorDecodePrefix,
                         ::testing::Combine(::testing::ValuesIn(TIERS), ::testing::ValuesIn(PREFIX_CONTRACTS)),
                         [](const auto& info) { return tuple_name(std::get<0>(info.param), std::get<1>(info.param)); });

// --- the decoder entry point and the dispatchers on every backend ---

struct AlphabetCase {
    const char* name;
    DecodeAlphabet alphabet;
    const Symbols* symbols;
    friend void PrintTo(const AlphabetCase& alphabet, std::ostream* os) { *os << alphabet.name; }
};

const AlphabetCase DECODE_ALPHABETS[] = {
    {"standard", DecodeAlphabet::Standard, &STANDARD_SYMBOLS},
    {"url_safe", DecodeAlphabet::UrlSafe, &URL_SAFE_SYMBOLS},
    {"mixed_given_url_safe", DecodeAlphabet::Mixed, &URL_SAFE_SYMBOLS},
    {"mixed_given_standard", DecodeAlphabet::Mixed, &STANDARD_SYMBOLS},
};

class DecodeEntryPoint : public ::testing::TestWithParam<std::tuple<TierTable, AlphabetCase>> {
protected:
    void SetUp() override {
        if (!std::get<0>(GetParam()).runs_here()) GTEST_SKIP() << "processor lacks this tier";
    }
};

std::size_t padding_of(const std::string& text) {
    return text.ends_with("==") ? 2 : text.ends_with("=") ? 1 : 0;
}

TEST_P(DecodeEntryPoint, RecoversEveryLengthIntoAnExactDestination) {
    const auto& [tier, alphabet] = GetParam();
    for (const std::size_t n : text_lengths()) {
        const auto bytes = random_bytes(n, static_cast<std::uint32_t>(n + 5));
        const std::string text = reference_encode(bytes.data(), n, *alphabet.symbols);
        const GuardedBytes source(std::vector<unsigned char>(text.begin(), text.end()));
        CanaryDestination dst(n, n % 32);
        const KernelResult result = decode::decode_to_ptr_with_layout_mode_on(
            tier.table, source.data(), text.size(), dst.data(), padding_of(text), alphabet.alphabet);
        ASSERT_TRUE(result.ok()) << n;
        ASSERT_EQ(dst.prefix(n), testing::as_string(bytes.data(), n)) << n;
        ASSERT_TRUE(dst.untouched_from(n)) << n;
    }
}

TEST_P(DecodeEntryPoint, RejectsOneInvalidByteAnywhere) {
    const auto& [tier, alphabet] = GetParam();
    // 77 bytes: a 100-character body and a final quantum with one "=".
    const auto bytes = random_bytes(77, 77);
    const std::string text = reference_encode(bytes.data(), bytes.size(), *alphabet.symbols);
    ASSERT_EQ(text.size(), 104u);
    const auto outside = bytes_outside(alphabet.alphabet);
    std::vector<unsigned char> out(77);
    for (std::size_t pos = 0; pos < 103; ++pos) {
        for (const unsigned char bad : outside) {
            std::string broken = text;
            broken[pos] = static_cast<char>(bad);
            const KernelResult result = decode::decode_to_ptr_with_layout_mode_on(
                tier.table, reinterpret_cast<const unsigned char*>(broken.data()), broken.size(), out.data(), 1,
                alphabet.alphabet);
            ASSERT_EQ(result, KernelResult::invalid_input()) << "byte " << int{bad} << " at " << pos;
        }
    }
}

TEST_P(DecodeEntryPoint, DispatchersRunTheTiersKernels) {
    const auto& [tier, alphabet] = GetParam();
    const bool vector = tier.table.decoders.standard != nullptr;
    const auto text = random_text(200, std::string(alphabet.symbols->begin(), alphabet.symbols->end()), 3);
    std::vector<unsigned char> out(150);

    const KernelResult decoded = decode::vector_decode(tier.table, alphabet.alphabet, text.data(), 200, out.data());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.consumed, vector ? (tier.table.tier == Tier::Avx512 ? 200u : 192u) : 0u);
    EXPECT_EQ(testing::as_string(out.data(), decoded.written),
              scalar_decoded(text.data(), decoded.consumed, alphabet.alphabet));

    const DecodedPrefix prefix = decode::vector_decode_prefix(tier.table, alphabet.alphabet, text.data(), 200,
                                                              out.data());
    EXPECT_EQ(prefix, (DecodedPrefix{decoded.consumed, decoded.written}));
    // Only the standard alphabet has a prefix kernel of its own; the others
    // accept both spellings, as lenient URL-safe decoding does.
    const std::string both = "+/-_+/-_+/-_+/-_";
    const DecodedPrefix mixed = decode::vector_decode_prefix(
        tier.table, alphabet.alphabet, reinterpret_cast<const unsigned char*>(both.data()), 16, out.data());
    EXPECT_EQ(mixed.consumed, vector && alphabet.alphabet != DecodeAlphabet::Standard ? 16u : 0u);

    const bool standard_text = alphabet.symbols == &STANDARD_SYMBOLS;

    if (standard_text) {
        const KernelResult fast = decode::vector_decode_validated(tier.table, text.data(), 200, out.data());
        EXPECT_EQ(fast, decoded);
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndAlphabets, DecodeEntryPoint,
                         ::testing::Combine(::testing::ValuesIn(testing::tier_tables()),
                                            ::testing::ValuesIn(DECODE_ALPHABETS)),
                         [](const auto& info) {
                             return std::get<0>(info.param).name + "_" + std::get<1>(info.param).name;
                         });

TEST(SelectedBackendDecoder, DecodesLongTextLikeTheScalarTier) {
    for (const std::size_t n : {0u, 47u, 4096u, 1000003u}) {
        const auto bytes = random_bytes(n, static_cast<std::uint32_t>(n));
        const std::string text = reference_encode(bytes.data(), n, STANDARD_SYMBOLS);
        std::vector<unsigned char> out(n);
        const KernelResult result = decode::decode_to_ptr_with_layout_mode(
            reinterpret_cast<const unsigned char*>(text.data()), text.size(), out.data(), padding_of(text),
            DecodeAlphabet::Standard);
        ASSERT_TRUE(result.ok()) << n;
        EXPECT_EQ(out, bytes) << n;
    }
}

}  // namespace
}  // namespace vantorq::base64
