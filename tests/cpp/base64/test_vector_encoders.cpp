#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base64/described_tiers.hpp"
#include "base64/encode.hpp"
#include "base64/encoder.hpp"
#include "base64/lengths.hpp"
#include "base64/reference.hpp"

namespace vantorq::base64 {
namespace {

using testing::CanaryDestination;
using testing::GuardedBytes;
using testing::random_bytes;
using testing::reference_encode;
using testing::reference_wrap;
using testing::TierTable;
using runtime_dispatch::Tier;

// Every length up to 300, the block boundaries of each tier, and one long source.
std::vector<std::size_t> source_lengths() {
    std::vector<std::size_t> lengths;
    for (std::size_t len = 0; len <= 300; ++len) lengths.push_back(len);
    for (const std::size_t len : {383u, 384u, 385u, 1000u, 1023u, 1024u, 1025u, 100000u}) lengths.push_back(len);
    return lengths;
}

const EncodeAlphabet DOT_COMMA = EncodeAlphabet::with_altchars('.', ',');

// --- the encoders of each tier's table, called directly ---

struct TierEncoder {
    std::string name;
    backend::Processor processor;
    const Symbols* symbols;
    // The bytes a tier may leave to the scalar code once it runs its widest loop.
    std::size_t max_left_over;
    std::function<std::size_t(const unsigned char*, std::size_t, unsigned char*)> encode;
    friend void PrintTo(const TierEncoder& tier, std::ostream* os) { *os << tier.name; }
};

class VectorEncoder : public ::testing::TestWithParam<TierEncoder> {};

TEST_P(VectorEncoder, EqualsTheScalarEncodingOfWhatItConsumes) {
    const TierEncoder& tier = GetParam();
    if (!vantorq::backend::processor().runs(tier.processor)) GTEST_SKIP() << "processor lacks " << tier.name;
    for (const std::size_t len : source_lengths()) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len));
        const GuardedBytes source(bytes);
        const std::string expected = reference_encode(bytes.data(), len, *tier.symbols);
        for (std::size_t alignment = 0; alignment < 64; ++alignment) {
            CanaryDestination dst(padded_encoded_length(len), alignment);
            const std::size_t consumed = tier.encode(source.data(), len, dst.data());
            ASSERT_EQ(consumed % 3, 0u) << len;
            ASSERT_LE(consumed, len);
            if (len >= 16) {
                ASSERT_GT(consumed, 0u) << "no vector step for " << len;
                ASSERT_LE(len - consumed, len >= 48 ? tier.max_left_over : 15u) << len;
            } else {
                ASSERT_EQ(consumed, 0u) << len;
            }
            const std::size_t written = consumed / 3 * 4;
            ASSERT_EQ(dst.prefix(written), expected.substr(0, written)) << len << " at alignment " << alignment;
            ASSERT_TRUE(dst.untouched_from(written)) << "wrote past its output: " << len << " at " << alignment;
        }
    }
}

// Each tier's built-in and custom encoders, and where they may stream,
// the same with streaming asked for.
std::vector<TierEncoder> tier_encoders() {
    std::vector<TierEncoder> encoders;
    for (const TierTable& tier : testing::tier_tables()) {
        const runtime_dispatch::EncodeKernels kernels = tier.table.encoders;
        if (kernels.encode == nullptr) continue;
        const std::size_t left_over = tier.table.tier == Tier::Avx512 ? 2 : 15;
        for (const bool stream : {false, true}) {
            if (stream && tier.table.tier < Tier::Avx2) continue;
            const std::string suffix = stream ? "_streaming" : "";
            const auto add = [&](const char* kind, const Symbols& symbols, auto encode) {
                encoders.push_back({tier.name + "_" + kind + suffix, tier.processor, &symbols, left_over, encode});
            };
            add("standard", STANDARD_SYMBOLS, [=](auto s, auto n, auto d) { return kernels.encode(s, n, d, false, stream); });
            add("url", URL_SAFE_SYMBOLS, [=](auto s, auto n, auto d) { return kernels.encode(s, n, d, true, stream); });
            add("custom", DOT_COMMA.symbols,
                [=](auto s, auto n, auto d) { return kernels.encode_custom(s, n, d, DOT_COMMA, stream); });
        }
    }
    return encoders;
}

INSTANTIATE_TEST_SUITE_P(Tiers, VectorEncoder, ::testing::ValuesIn(tier_encoders()),
                         [](const auto& info) { return info.param.name; });

// --- the entry points on every tier ---

struct AlphabetCase {
    const char* name;
    EncodeAlphabet alphabet;
    friend void PrintTo(const AlphabetCase& alphabet, std::ostream* os) { *os << alphabet.name; }
};

Symbols reordered_symbols() {
    Symbols symbols = STANDARD_SYMBOLS;
    std::swap(symbols[10], symbols[40]);
    return symbols;
}

const AlphabetCase ALPHABETS[] = {
    {"standard", STANDARD_ENCODE_ALPHABET},
    {"url", URL_SAFE_ENCODE_ALPHABET},
    {"plus_slash_custom", EncodeAlphabet::with_altchars('+', '/')},
    {"dot_comma", DOT_COMMA},
    {"high_bytes", EncodeAlphabet::with_altchars(0x80, 0xff)},
    {"scalar_only", EncodeAlphabet::from_symbols(reordered_symbols())},
};

std::string tuple_name(const TierTable& tier, const AlphabetCase& alphabet) { return tier.name + "_" + alphabet.name; }

class EncodeEntryPoint : public ::testing::TestWithParam<std::tuple<TierTable, AlphabetCase>> {};

// The tables' own streaming thresholds lie beyond these sources; the
// streaming variants stream from the first byte on.
TEST_P(EncodeEntryPoint, WritesExactlyThePaddedEncoding) {
    const auto& [tier, alphabet] = GetParam();
    if (!tier.runs_here()) GTEST_SKIP() << "processor lacks " << tier.name;
    for (const std::size_t len : source_lengths()) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len + 77));
        const GuardedBytes source(bytes);
        const std::string expected = reference_encode(bytes.data(), len, alphabet.alphabet.symbols);
        for (const bool cached : {false, true}) {
            for (std::size_t alignment = 0; alignment < 32; ++alignment) {
                CanaryDestination dst(expected.size(), alignment);
                encode::encode_to_ptr_on(tier.table, source.data(), len, dst.data(), alphabet.alphabet, cached);
                ASSERT_EQ(dst.prefix(expected.size()), expected) << len << " at alignment " << alignment;
                ASSERT_TRUE(dst.untouched_from(expected.size())) << len << " at alignment " << alignment;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndAlphabets, EncodeEntryPoint,
                         ::testing::Combine(::testing::ValuesIn(testing::tier_tables_with_streaming()),
                                            ::testing::ValuesIn(ALPHABETS)),
                         [](const auto& info) {
                             return tuple_name(std::get<0>(info.param), std::get<1>(info.param));
                         });

class WrappedEntryPoint : public ::testing::TestWithParam<std::tuple<TierTable, AlphabetCase>> {};

TEST_P(WrappedEntryPoint, GivesTheScalarLineLayout) {
    const auto& [tier, alphabet] = GetParam();
    if (!tier.runs_here()) GTEST_SKIP() << "processor lacks " << tier.name;
    for (const std::size_t len : source_lengths()) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len + 99));
        // The source ends at an inaccessible page, then starts right after one:
        // no load may reach past either end.
        const GuardedBytes ends_at_guard(bytes), starts_at_guard(bytes, GuardedBytes::Guard::Before);
        for (const bool pad : {true, false}) {
            const std::string encoded = reference_encode(bytes.data(), len, alphabet.alphabet.symbols, pad);
            for (const std::size_t wrapcol : {4u, 8u, 12u, 16u, 20u, 24u, 28u, 32u, 36u, 52u, 56u, 64u, 76u, 92u, 128u, 260u}) {
                const std::string expected = reference_wrap(encoded, wrapcol);
                ASSERT_EQ(wrapped_length(encoded.size(), wrapcol), expected.size());
                for (const GuardedBytes* source : {&ends_at_guard, &starts_at_guard}) {
                    CanaryDestination dst(expected.size(), len % 32);
                    encode::encode_wrapped_to_ptr_on(tier.table, source->data(), len, dst.data(), alphabet.alphabet,
                                                     pad, wrapcol);
                    ASSERT_EQ(dst.prefix(expected.size()), expected) << len << " wrapcol " << wrapcol << " pad " << pad;
                    ASSERT_TRUE(dst.untouched_from(expected.size())) << len << " wrapcol " << wrapcol;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TiersAndAlphabets, WrappedEntryPoint,
                         ::testing::Combine(::testing::ValuesIn(testing::tier_tables()), ::testing::ValuesIn(ALPHABETS)),
                         [](const auto& info) {
                             return tuple_name(std::get<0>(info.param), std::get<1>(info.param));
                         });

// Lines of 4 characters (wrapcol 4 to 7) once made the AVX2 and AVX-512 line
// encoders read the byte before a source of 35 bytes or more: here the source
// starts right after a page that cannot be read.
TEST(FourCharacterLines, ReadNothingBeforeTheSource) {
    for (const std::size_t len : {35u, 36u, 37u, 38u, 47u, 48u, 64u, 95u, 100u, 128u, 200u, 255u, 299u, 300u}) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len));
        const GuardedBytes source(bytes, GuardedBytes::Guard::Before);
        for (const AlphabetCase& alphabet : ALPHABETS) {
            for (const bool pad : {true, false}) {
                const std::string expected =
                    reference_wrap(reference_encode(bytes.data(), len, alphabet.alphabet.symbols, pad), 4);
                // The Encoder takes each of these widths as 4, on this processor's tier.
                for (std::size_t wrapcol = 4; wrapcol <= 7; ++wrapcol) {
                    CanaryDestination dst(expected.size(), 0);
                    Encoder(alphabet.alphabet, pad, wrapcol).encode(source.data(), len, dst.data(), Output::New);
                    ASSERT_EQ(dst.prefix(expected.size()), expected) << len << " wrapcol " << wrapcol;
                }
                for (const TierTable& tier : testing::tier_tables()) {
                    if (!tier.runs_here()) continue;
                    CanaryDestination dst(expected.size(), len % 32);
                    encode::encode_wrapped_to_ptr_on(tier.table, source.data(), len, dst.data(), alphabet.alphabet,
                                                     pad, 4);
                    ASSERT_EQ(dst.prefix(expected.size()), expected) << tier.name << " " << len;
                    ASSERT_TRUE(dst.untouched_from(expected.size())) << tier.name << " " << len;
                }
            }
        }
    }
}

class LongWrappedLines : public ::testing::TestWithParam<TierTable> {};

TEST_P(LongWrappedLines, FiveMebibytesGiveFullLinesAndNoTrailingLineFeed) {
    const TierTable& tier = GetParam();
    if (!tier.runs_here()) GTEST_SKIP() << "processor lacks " << tier.name;
    const std::size_t len = 5 * 1024 * 1024 + 1;
    const auto bytes = random_bytes(len, 5);
    const std::string encoded = reference_encode(bytes.data(), len, STANDARD_SYMBOLS);
    std::string out(wrapped_length(encoded.size(), 76), '?');
    encode::encode_wrapped_to_ptr_on(tier.table, bytes.data(), len, reinterpret_cast<unsigned char*>(out.data()),
                                     STANDARD_ENCODE_ALPHABET, true, 76);
    EXPECT_EQ(out, reference_wrap(encoded, 76));
    std::size_t line_start = 0;
    for (std::size_t pos = out.find('\n'); pos != std::string::npos; pos = out.find('\n', line_start)) {
        ASSERT_EQ(pos - line_start, 76u) << "line at " << line_start;
        line_start = pos + 1;
    }
    EXPECT_GT(out.size() - line_start, 0u);
    EXPECT_LE(out.size() - line_start, 76u);
}

INSTANTIATE_TEST_SUITE_P(Tiers, LongWrappedLines, ::testing::ValuesIn(testing::tier_tables()), testing::tier_name);

// --- the Encoder on every tier's table ---

class TableEncoder : public ::testing::TestWithParam<TierTable> {};

// The longest source passes the tables' streaming threshold.
TEST_P(TableEncoder, AgreesWithTheReference) {
    const runtime_dispatch::RuntimeBackend& kernels = GetParam().table;
    if (!GetParam().runs_here()) GTEST_SKIP() << "processor lacks " << GetParam().name;
    for (const std::size_t len : {0u, 5u, 47u, 300u, 4096u, 1000003u}) {
        const auto bytes = random_bytes(len, static_cast<std::uint32_t>(len));
        const std::string standard = reference_encode(bytes.data(), len, STANDARD_SYMBOLS);
        const std::string url = reference_encode(bytes.data(), len, URL_SAFE_SYMBOLS, false);
        const std::string dot = reference_encode(bytes.data(), len, DOT_COMMA.symbols);
        // A 32-byte aligned destination lets the AVX2 tier stream past its threshold.
        CanaryDestination dst(standard.size(), 0);
        for (const Output output : {Output::New, Output::Reused}) {
            Encoder(STANDARD_ENCODE_ALPHABET, true, 0, kernels).encode(bytes.data(), len, dst.data(), output);
            EXPECT_EQ(dst.prefix(standard.size()), standard);
            Encoder(URL_SAFE_ENCODE_ALPHABET, false, 0, kernels).encode(bytes.data(), len, dst.data(), output);
            EXPECT_EQ(dst.prefix(url.size()), url);
            Encoder(DOT_COMMA, true, 0, kernels).encode(bytes.data(), len, dst.data(), output);
            EXPECT_EQ(dst.prefix(dot.size()), dot);
        }
        EXPECT_TRUE(dst.untouched_from(standard.size()));

        const std::string url_lines = reference_wrap(url, 76);
        CanaryDestination wrapped(url_lines.size(), 3);
        Encoder(URL_SAFE_ENCODE_ALPHABET, false, 78, kernels).encode(bytes.data(), len, wrapped.data(), Output::New);
        EXPECT_EQ(wrapped.prefix(url_lines.size()), url_lines);
        const std::string dot_lines = reference_wrap(dot, 4);
        CanaryDestination custom(dot_lines.size(), 5);
        Encoder(DOT_COMMA, true, 7, kernels).encode(bytes.data(), len, custom.data(), Output::Reused);
        EXPECT_EQ(custom.prefix(dot_lines.size()), dot_lines);
        EXPECT_TRUE(custom.untouched_from(dot_lines.size()));
        EXPECT_EQ(Encoder(DOT_COMMA, true, 7, kernels).encoded_size(len, SIZE_MAX), dot_lines.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Tiers, TableEncoder, ::testing::ValuesIn(testing::tier_tables_with_streaming()),
                         testing::tier_name);

}  // namespace
}  // namespace vantorq::base64
